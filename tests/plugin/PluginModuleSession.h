// Loads the built plug-in module into the test process, as the host would, and
// gives tests its ServerFactory; every test also gets its own machine root
// and a fresh host.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <random>
#include <string>

#include "abi/IServerModule.h"
#include "abi/ModuleFiles.h"
#include "generated/BuildPaths.h"
#include "host/Host.h"
#include "host/HostStatus.h"
#include "platform/ErrorInfo.h"
#include "platform/Machine.h"
#include "platform/MessageQueue.h"
#include "platform/Modules.h"

namespace strativue::moduletest {

// A fresh, empty machine root under the system's temporary folder.
inline std::string MakeMachineRoot() {
  static std::atomic<int> counter{0};
  const auto root =
      std::filesystem::temp_directory_path() /
      ("strativue-plugin-" + std::to_string(std::random_device{}()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root);
  return root.string();
}

class PluginModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = MakeMachineRoot();
    platform::SetMachineRoot(root_);
    quorvex::Host::Instance().Reset();
    platform::ClearMessageQueue();
    std::string error;
    module_ = platform::LoadModule(std::string(STRATIVUE_BIN_DIR) + "/" + qvabi::kPluginModuleFile, &error);
    ASSERT_NE(module_, nullptr) << error;
    factory_ = reinterpret_cast<qvabi::ServerFactory_t*>(platform::FindFunction(module_, "ServerFactory"));
    ASSERT_NE(factory_, nullptr);
  }
  void TearDown() override {
    quorvex::Host::Instance().Reset();
    if (module_) platform::UnloadModule(module_);
    platform::ClearMessageQueue();
    platform::SetMachineRoot("");
    std::filesystem::remove_all(root_);
  }

  qvabi::IClient* client() { return quorvex::Host::Instance().GetClient(); }

  // A module created with the host's client; the test owns the reference.
  qvabi::ComPtr<qvabi::IServerModule> CreateModule() {
    qvabi::ComPtr<qvabi::IServerModule> module;
    EXPECT_EQ(factory_(client(), module.put()), qvabi::S_OK);
    return module;
  }

  std::string root_;
  platform::ModuleHandle module_ = nullptr;
  qvabi::ServerFactory_t* factory_ = nullptr;
};

}  // namespace strativue::moduletest
