// The DDE client through the system's DDEML, against a server this test runs
// on a thread of its own: the server must receive the command text exactly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Dde.h"
#include "platform/Journal.h"
#include "platform/Process.h"
#include "platform/WideString.h"
#include "tests/platform/win32/DdeTestServer.h"

namespace {

using ddetest::DdeServer;

constexpr wchar_t kService[] = L"StrativueProbe";
constexpr wchar_t kTopic[] = L"control";

class SystemDde : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ResetDde();
    platform::JournalClear();
  }
  void TearDown() override {
    // Every instance, handle and conversation was given back.
    EXPECT_EQ(platform::DdeOpenObjectCount(), 0);
    platform::ResetDde();
  }
};

TEST_F(SystemDde, ExecuteReachesTheServerExactly) {
  DdeServer server(kService, kTopic);
  ASSERT_TRUE(server.registered());
  const std::string command = "[DocGoTo(NULL, 11)][Öffne(\"Größe\")]";
  EXPECT_TRUE(platform::DdeExecute("StrativueProbe", "control", command));
  EXPECT_EQ(server.Commands(1), (std::vector<std::u16string>{platform::Utf8ToUtf16(command)}));
  EXPECT_EQ(platform::JournalEntries(),
            (std::vector<platform::JournalEntry>{{"dde", "StrativueProbe|control: " + command}}));
}

TEST_F(SystemDde, AsynchronousExecuteThenDisconnectStillDelivers) {
  DdeServer server(kService, kTopic);
  ASSERT_TRUE(server.registered());
  // The order of calls the help makes: an asynchronous execute, then at once
  // a disconnect and every handle freed.
  uint32_t instance = 0;
  ASSERT_EQ(platform::DdeInitialize(
                &instance,
                [](uint32_t, uint32_t, platform::HCONV, platform::HSZ, platform::HSZ, platform::HDDEDATA,
                   uintptr_t, uintptr_t) STDCALL -> platform::HDDEDATA { return 0; },
                0),
            platform::DMLERR_NO_ERROR);
  const platform::HSZ service =
      platform::DdeCreateStringHandle(instance, "strativueprobe", platform::CP_WINANSI);
  const platform::HSZ topic = platform::DdeCreateStringHandle(instance, "CONTROL", platform::CP_WINANSI);
  platform::CONVCONTEXT context{};
  context.cb = sizeof context;
  context.iCodePage = platform::CP_WINANSI;
  const platform::HCONV conversation = platform::DdeConnect(instance, service, topic, &context);
  ASSERT_NE(conversation, 0u);
  // The size counts a terminating zero, which is not part of the command.
  const char command[] = "[DocGoTo(NULL, 4)]";
  uint32_t transaction = 0;
  EXPECT_NE(platform::DdeClientTransaction(command, sizeof command, conversation, 0, platform::CF_TEXT,
                                           platform::XTYP_EXECUTE, platform::TIMEOUT_ASYNC, &transaction),
            0u);
  EXPECT_NE(transaction, 0u);
  EXPECT_TRUE(platform::DdeDisconnect(conversation));
  EXPECT_TRUE(platform::DdeFreeStringHandle(instance, service));
  EXPECT_TRUE(platform::DdeFreeStringHandle(instance, topic));
  EXPECT_TRUE(platform::DdeUninitialize(instance));
  EXPECT_EQ(server.Commands(1), (std::vector<std::u16string>{u"[DocGoTo(NULL, 4)]"}));
}

TEST_F(SystemDde, NoConversationWithoutAServerOrAnswer) {
  {
    DdeServer server(kService, kTopic);
    ASSERT_TRUE(server.registered());
    // The server refuses topics it does not know.
    EXPECT_FALSE(platform::DdeExecute("StrativueProbe", "other", "[Open]"));
    // A service made unavailable is never asked.
    platform::SetDdeServerAvailable("StrativueProbe", "control", false);
    EXPECT_FALSE(platform::DdeExecute("StrativueProbe", "control", "[Open]"));
    platform::SetDdeServerAvailable("StrativueProbe", "control", true);
    EXPECT_TRUE(platform::DdeExecute("StrativueProbe", "control", "[Then]"));
    EXPECT_EQ(server.Commands(1), (std::vector<std::u16string>{u"[Then]"}));
  }
  // Gone with its thread.
  EXPECT_FALSE(platform::DdeExecute("StrativueProbe", "control", "[Open]"));
  EXPECT_EQ(platform::JournalEntries(),
            (std::vector<platform::JournalEntry>{{"dde", "StrativueProbe|control: [Then]"}}));
}

}  // namespace
