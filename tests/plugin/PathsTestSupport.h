// A machine of its own and a fresh host for tests of the preference paths
// and the help navigation, with the host's flat functions resolved and the
// path caches forgotten before and after each test.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>

#include "host/Host.h"
#include "host/HostSettings.h"
#include "platform/Journal.h"
#include "platform/Machine.h"
#include "plugin/RTL/ClientApi.h"
#include "plugin/RTL/HostClient.h"
#include "plugin/RTL/PreferencePaths.h"
#include "tests/TestMachine.h"

namespace strativue::pathstest {

class PathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // What the paths read at fixed places, where the machine is the system's
    // own: the preference location and the host's settings.
    machine_.IsolateKey(platform::HKEY_CURRENT_USER, "Software\\Verdane2004");
    machine_.IsolateFile(quorvex::HostSettingsPath());
    quorvex::Host::Instance().Reset();
    ClientAPI::Resolve();
    SetHostClient(quorvex::Host::Instance().GetClient());
    FreePreferencePaths();
    platform::JournalClear();
  }
  void TearDown() override {
    FreePreferencePaths();
    SetHostClient(nullptr);
    ClientAPI::ResolveFrom(nullptr);
    quorvex::Host::Instance().Reset();
    platform::JournalClear();
  }

  // Writes a file at a Windows path, making its folders; both are taken
  // back afterwards.
  void WriteFile(std::string_view windowsPath, std::string_view text) {
    machine_.WriteFile(std::string(windowsPath), std::string(text));
    ASSERT_TRUE(platform::FileExists(windowsPath)) << windowsPath;
  }
  // The host program's folder as the paths give it: upper-cased, with a
  // trailing backslash. On Windows the host program is this test program.
  static std::string HostFolder() {
#if defined(_WIN32)
    std::string folder = platform::GetHostProgramPath();
    folder.erase(folder.find_last_of('\\') + 1);
    for (char& c : folder) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return folder;
#else
    return "C:\\PROGRAM FILES\\QUORVEX\\";
#endif
  }
  // Sets one [Preferences] value of the host's settings file.
  void SetHostPreference(std::string_view name, bool value) {
    WriteFile(quorvex::HostSettingsPath(),
              "[Preferences]\r\n" + std::string(name) + "=" + (value ? "1" : "0") + "\r\n");
  }

  TestMachine machine_;
  // The machine root (on Windows a scratch folder that nothing reads).
  const std::string root_ = machine_.root().string();
};

}  // namespace strativue::pathstest
