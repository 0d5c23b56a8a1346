// Every toolkit test starts from a clean process state: its own machine
// root, no windows, an empty message queue, keys up, no recorded boxes.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/Journal.h"
#include "platform/Keys.h"
#include "platform/Machine.h"
#include "platform/MessageQueue.h"
#include "platform/Windows.h"
#include "toolkit/Application.h"
#include "toolkit/Automation.h"
#include "toolkit/HintWindow.h"
#include "toolkit/MessageLog.h"

class ToolkitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() /
            ("toolkit-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
    platform::SetMachineRoot(root_.string());
    Reset();
  }
  void TearDown() override {
    Reset();
    platform::SetMachineRoot("");
    std::filesystem::remove_all(root_);
  }

 private:
  static void Reset() {
    platform::ClearMessageQueue();
    platform::ResetKeyStates();
    platform::JournalClear();
    toolkit::automation::Reset();
    toolkit::MessageLog::Clear();
    toolkit::Application().OnException = nullptr;
    toolkit::Application().OnIdle = nullptr;
    toolkit::Application().OnShowHint = nullptr;
    toolkit::Application().SetHandle(0);
    toolkit::Application().SetHintWindowClass<toolkit::THintWindow>();
  }

  std::filesystem::path root_;
};
