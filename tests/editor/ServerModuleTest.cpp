// The editor's server module, and Brelix.so itself as the host loads it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EditorTestSupport.h"
#include "abi/ModuleFiles.h"
#include "abi/PcbServer.h"
#include "generated/BuildPaths.h"
#include "platform/Modules.h"
#include "platform/WideString.h"

namespace brelix::testing {
namespace {

class ServerModuleTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    ASSERT_EQ(ServerFactory(nullptr, module.put()), qvabi::S_OK);
    server = qvabi::QueryAs<qvabi::IPCB_ServerInterface>(module.get());
    ASSERT_TRUE(server);
  }
  qvabi::ComPtr<qvabi::IServerModule> module;
  qvabi::ComPtr<qvabi::IPCB_ServerInterface> server;
};

TEST_F(ServerModuleTest, IsNamedPcb) {
  platform::BStr name;
  ASSERT_EQ(module->GetModuleName(name.put()), qvabi::S_OK);
  EXPECT_EQ(name.utf8(), "PCB");
  qvabi::ICommandLauncher* launcher = nullptr;
  ASSERT_EQ(module->GetCommandLauncher(&launcher), qvabi::S_OK);
  qvabi::BOOL32 enabled = qvabi::kTrue32;
  EXPECT_EQ(launcher->GetCommandState("Anything", "", nullptr, &enabled, nullptr, nullptr, nullptr, nullptr),
            qvabi::S_OK);
  EXPECT_EQ(enabled, qvabi::kFalse32);
  EXPECT_EQ(ServerFactory(nullptr, nullptr), qvabi::E_UNEXPECTED);
}

TEST_F(ServerModuleTest, BoardInterfaceAnswersWhetherTheBoardRefusesCommands) {
  const qvabi::PcbHandle open = OpenSmallBoard();
  const qvabi::PcbHandle refusing =
      editor().OpenBoardText(SmallBoardText(R"("refusesCommands": true,)"), "refusing.board.json");
  for (const auto& [board, expected] :
       {std::pair{open, qvabi::kFalse32}, std::pair{refusing, qvabi::kTrue32}}) {
    qvabi::ComPtr<qvabi::BoardAccessInterface> access;
    qvabi::BOOL32 found = 0;
    ASSERT_EQ(server->QueryBoardInterface(board, qvabi::BoardAccessInterface::IID, access.putVoid(), &found),
              qvabi::S_OK);
    ASSERT_EQ(found, qvabi::kTrue32);
    qvabi::BOOL32 disallows = 5;
    EXPECT_EQ(access->BoardDisallowsCommand(&disallows), qvabi::S_OK);
    EXPECT_EQ(disallows, expected);
  }
}

TEST_F(ServerModuleTest, NoBoardInterfaceForUnknownBoardsOrInterfaces) {
  const qvabi::PcbHandle board = OpenSmallBoard();
  void* object = reinterpret_cast<void*>(1);
  qvabi::BOOL32 found = 5;
  EXPECT_EQ(server->QueryBoardInterface(4242, qvabi::BoardAccessInterface::IID, &object, &found),
            qvabi::S_OK);
  EXPECT_EQ(found, qvabi::kFalse32);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(server->QueryBoardInterface(board, qvabi::IServerModule::IID, &object, &found), qvabi::S_OK);
  EXPECT_EQ(found, qvabi::kFalse32);

  qvabi::ComPtr<qvabi::BoardAccessInterface> access;
  server->QueryBoardInterface(board, qvabi::BoardAccessInterface::IID, access.putVoid(), &found);
  BrelixSim_CloseBoard(board);
  qvabi::BOOL32 disallows = 0;
  EXPECT_EQ(access->BoardDisallowsCommand(&disallows), qvabi::E_UNEXPECTED) << "a closed board";
}

TEST_F(ServerModuleTest, NotificationsAreRecordedInOrder) {
  EXPECT_EQ(server->NotifyHandlerCreated(), qvabi::S_OK);
  EXPECT_EQ(server->NotifyHandlerDestroyed(), qvabi::S_OK);
  EXPECT_STREQ(BrelixSim_Notifications(), "NotifyHandlerCreated\nNotifyHandlerDestroyed\n");
  BrelixSim_Reset();
  EXPECT_STREQ(BrelixSim_Notifications(), "");
}

// The editor module as the host sees it: loaded by path, resolved by name.
TEST(BrelixModule, ExportsEveryEditorFunctionAndTheSimulationApi) {
  std::string error;
  platform::ModuleHandle module =
      platform::LoadModule(std::string(STRATIVUE_BIN_DIR) + "/" + qvabi::kEditorModuleFile, &error);
  ASSERT_NE(module, nullptr) << error;
#define BRELIX_TEST_RESOLVES(name, result, params) \
  EXPECT_NE(platform::FindFunction(module, "PcbApi_" #name), nullptr) << #name;
  ABI_PCBAPI_TYPED_FUNCTIONS(BRELIX_TEST_RESOLVES)
#undef BRELIX_TEST_RESOLVES
  EXPECT_NE(platform::FindFunction(module, "ServerFactory"), nullptr);
  EXPECT_EQ(platform::FindFunction(module, "_ZN6brelix6Editor8InstanceEv"), nullptr)
      << "internals stay hidden";

  SimApi sim;
  ASSERT_TRUE(sim.Load(module));
  const char* message = nullptr;
  const qvabi::PcbHandle board = sim.OpenBoardFile(ExamplePath("six-layer").c_str(), &message);
  ASSERT_NE(board, 0) << message;
  auto current = reinterpret_cast<qvabi::pcbapi::GetCurrentBoardHandle_t*>(
      platform::FindFunction(module, "PcbApi_GetCurrentBoardHandle"));
  EXPECT_EQ(current(), board);
  EXPECT_EQ(sim.BoardObjectCount(board), 6);
  EXPECT_EQ(std::string(sim.BoardText(board)), LoadTextFile(ExamplePath("six-layer")));
  sim.Reset();
  EXPECT_EQ(current(), 0);
}

}  // namespace
}  // namespace brelix::testing
