// A machine root of its own in a temporary folder for one test, removed
// afterwards.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Machine.h"

class TempMachine {
 public:
  TempMachine() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "machine";
    for (char& c : name)
      if (c == '/') c = '_';
    root_ = std::filesystem::temp_directory_path() / ("platform-tests-" + std::to_string(::getpid())) / name;
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
    platform::SetMachineRoot(root_.string());
  }
  ~TempMachine() {
    platform::SetMachineRoot("");
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  TempMachine(const TempMachine&) = delete;
  TempMachine& operator=(const TempMachine&) = delete;

  const std::filesystem::path& root() const { return root_; }

  // Writes a native file under the root, making its folders.
  void Write(const std::filesystem::path& relative, const std::string& text) const {
    const auto path = root_ / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  std::string Read(const std::filesystem::path& relative) const {
    std::ifstream in(root_ / relative, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

 private:
  std::filesystem::path root_;
};
