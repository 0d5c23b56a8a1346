// A machine root and a fresh host for tests of the preference paths and the
// help navigation, with the host's flat functions resolved and the path
// caches forgotten before and after each test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "PluginModuleSession.h"
#include "host/Host.h"
#include "platform/Journal.h"
#include "platform/Machine.h"
#include "plugin/RTL/ClientApi.h"
#include "plugin/RTL/HostClient.h"
#include "plugin/RTL/PreferencePaths.h"

namespace strativue::pathstest {

class PathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = moduletest::MakeMachineRoot();
    platform::SetMachineRoot(root_);
    quorvex::Host::Instance().Reset();
    ClientAPI::Resolve();
    SetHostClient(quorvex::Host::Instance().client());
    FreePreferencePaths();
    platform::JournalClear();
  }
  void TearDown() override {
    FreePreferencePaths();
    SetHostClient(nullptr);
    ClientAPI::ResolveFrom(nullptr);
    quorvex::Host::Instance().Reset();
    platform::JournalClear();
    platform::SetMachineRoot("");
    std::filesystem::remove_all(root_);
  }

  // Writes a file at a Windows path under the root, making its folders.
  static void WriteFile(std::string_view windowsPath, std::string_view text) {
    const std::string path(windowsPath);
    ASSERT_TRUE(platform::CreateDirectories(path.substr(0, path.find_last_of('\\'))));
    ASSERT_TRUE(platform::WriteFile(path, text));
  }
  // Sets one [Preferences] value of the host's settings file.
  static void SetHostPreference(std::string_view name, bool value) {
    WriteFile("C:\\Users\\user\\AppData\\Roaming\\Quorvex\\Host.ini",
              "[Preferences]\r\n" + std::string(name) + "=" + (value ? "1" : "0") + "\r\n");
  }

  std::string root_;
};

}  // namespace strativue::pathstest
