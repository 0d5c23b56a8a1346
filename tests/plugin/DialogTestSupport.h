// Dialog tests: a machine root of their own, the host's client as the
// plug-in's, an empty input queue, and a way to see the errors that reach
// the application's error handling.
#pragma once

#include <gtest/gtest.h>

#include <exception>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "host/Host.h"
#include "host/HostSettings.h"
#include "host/OptionsStore.h"
#include "platform/Keys.h"
#include "platform/Machine.h"
#include "platform/MessageQueue.h"
#include "platform/Windows.h"
#include "plugin/RTL/HostClient.h"
#include "plugin/RTL/PreferencePaths.h"
#include "tests/TestMachine.h"
#include "toolkit/Application.h"
#include "toolkit/Automation.h"

namespace strativue::dialogtest {

inline std::string ReadMachineFile(const std::string& windowsPath) {
  std::string text;
  platform::ReadFile(windowsPath, &text);
  return text;
}

// Records the message of every error handed to the application's error
// handling instead of showing it in a box.
class ErrorRecorder {
 public:
  explicit ErrorRecorder(std::vector<std::string>& errors)
      : previous_(std::move(toolkit::Application().OnException)) {
    toolkit::Application().OnException = [&errors](toolkit::TComponent*, std::exception_ptr error) {
      try {
        std::rethrow_exception(error);
      } catch (const std::exception& e) {
        errors.push_back(e.what());
      } catch (...) {
        errors.push_back("?");
      }
    };
  }
  ~ErrorRecorder() { toolkit::Application().OnException = std::move(previous_); }
  ErrorRecorder(const ErrorRecorder&) = delete;
  ErrorRecorder& operator=(const ErrorRecorder&) = delete;

 private:
  decltype(toolkit::TApplication::OnException) previous_;
};

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    quorvex::Host::Instance().Reset();
    SetHostClient(quorvex::Host::Instance().GetClient());
    // What dialogs keep on the machine: the host's options files and the
    // placements under the preference key. Taken away for the test and put
    // back afterwards, where the machine is the system's own.
    machine_.IsolateFile(quorvex::OptionsFilePath("Brelix"));
    machine_.IsolateFile(quorvex::HostSettingsPath());
    machine_.IsolateKey(platform::HKEY_CURRENT_USER, GetPreferenceRegistryPath());
    FreePreferencePaths();
    platform::ClearMessageQueue();
    platform::ResetKeyStates();
    toolkit::automation::Reset();
  }
  void TearDown() override {
    toolkit::automation::Reset();
    platform::ClearMessageQueue();
    platform::ResetKeyStates();
    FreePreferencePaths();
    SetHostClient(nullptr);
    quorvex::Host::Instance().Reset();
    platform::ResetWindows();
  }

  // Writes machine.ini under the root (the machine's monitors, version...).
  void WriteMachineFacts(const std::string& text) const {
    std::ofstream(machine_.root() / "machine.ini", std::ios::binary) << text;
  }

  TestMachine machine_;
};

}  // namespace strativue::dialogtest
