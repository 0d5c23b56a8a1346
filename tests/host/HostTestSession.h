// A fresh machine root and a fresh host for every test.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <random>
#include <string>

#include "host/Host.h"
#include "host/HostStatus.h"
#include "platform/Machine.h"

namespace quorvex::test {

inline std::string MakeMachineRoot() {
  static std::atomic<int> counter{0};
  const auto root =
      std::filesystem::temp_directory_path() /
      ("quorvex-host-" + std::to_string(std::random_device{}()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root);
  return root.string();
}

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = MakeMachineRoot();
    platform::SetMachineRoot(root_);
    Host::Instance().Reset();
  }
  void TearDown() override {
    Host::Instance().Reset();
    platform::SetMachineRoot("");
    std::filesystem::remove_all(root_);
  }

  Host& host() { return Host::Instance(); }
  abi::IClient* client() { return host().client(); }

  std::string root_;
};

}  // namespace quorvex::test
