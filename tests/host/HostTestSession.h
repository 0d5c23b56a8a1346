// A machine of its own and a fresh host for every test.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host/Host.h"
#include "host/HostSettings.h"
#include "host/HostStatus.h"
#include "host/OptionsStore.h"
#include "tests/TestMachine.h"

namespace quorvex::test {

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // What the host keeps on the machine, taken away for the test and put
    // back afterwards where the machine is the system's own.
    machine_.IsolateFile(HostSettingsPath());
    machine_.IsolateFile(OptionsFilePath("Brelix"));
    Host::Instance().Reset();
  }
  void TearDown() override { Host::Instance().Reset(); }

  Host& host() { return Host::Instance(); }
  qvabi::IClient* client() { return host().GetClient(); }

  TestMachine machine_;
  // A folder of the test's own (native path).
  const std::string root_ = machine_.root().string();
};

}  // namespace quorvex::test
