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
#include "platform/Keys.h"
#include "platform/Machine.h"
#include "platform/MessageQueue.h"
#include "platform/Windows.h"
#include "plugin/RTL/HostClient.h"
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
    root_ = std::filesystem::temp_directory_path() /
            ("strativue-dialog-" + std::to_string(std::random_device{}()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
    platform::SetMachineRoot(root_.string());
    quorvex::Host::Instance().Reset();
    SetHostClient(quorvex::Host::Instance().client());
    platform::ClearMessageQueue();
    platform::ResetKeyStates();
    toolkit::automation::Reset();
  }
  void TearDown() override {
    toolkit::automation::Reset();
    platform::ClearMessageQueue();
    platform::ResetKeyStates();
    SetHostClient(nullptr);
    quorvex::Host::Instance().Reset();
    platform::ResetWindows();
    platform::SetMachineRoot("");
    std::filesystem::remove_all(root_);
  }

  // Writes machine.ini under the root (the machine's monitors, version...).
  void WriteMachineFacts(const std::string& text) const {
    std::ofstream(root_ / "machine.ini", std::ios::binary) << text;
  }

  std::filesystem::path root_;
};

}  // namespace strativue::dialogtest
