// The DDE client through the system's DDEML, against a server this test runs
// on a thread of its own: the server must receive the command text exactly.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Dde.h"
#include "platform/Journal.h"
#include "platform/Process.h"
#include "platform/WideString.h"
#include "platform/win32/WindowsApi.h"

namespace {

constexpr wchar_t kService[] = L"StrativueProbe";
constexpr wchar_t kTopic[] = L"control";

// A DDE server for kService that accepts the topic kTopic and keeps every
// execute command it receives.
class DdeServer {
 public:
  DdeServer() {
    thread_ = std::thread([this] { Run(); });
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return threadId_ != 0; });
  }
  ~DdeServer() {
    ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
  bool registered() const { return registered_; }

  // The commands received so far, once `count` have come (or a bound far
  // above any normal delivery has passed).
  std::vector<std::u16string> Commands(size_t count) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(30), [&] { return commands_.size() >= count; });
    return commands_;
  }

 private:
  static HDDEDATA CALLBACK Callback(UINT type, UINT, HCONV, HSZ topic, HSZ, HDDEDATA data, ULONG_PTR,
                                    ULONG_PTR) {
    DdeServer* server = current_;
    if (type == XTYP_CONNECT)
      return reinterpret_cast<HDDEDATA>(
          static_cast<uintptr_t>(::DdeCmpStringHandles(topic, server->topic_) == 0));
    if (type == platform::XTYP_EXECUTE) {
      const DWORD size = ::DdeGetData(data, nullptr, 0, 0);
      std::u16string text(size / sizeof(char16_t), u'\0');
      ::DdeGetData(data, reinterpret_cast<BYTE*>(text.data()), size, 0);
      if (!text.empty() && text.back() == u'\0') text.pop_back();
      {
        std::lock_guard lock(server->mutex_);
        server->commands_.push_back(text);
      }
      server->changed_.notify_all();
      return reinterpret_cast<HDDEDATA>(static_cast<uintptr_t>(DDE_FACK));
    }
    return nullptr;
  }

  void Run() {
    current_ = this;
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // gives the thread its queue
    DWORD instance = 0;
    HSZ service = nullptr;
    if (::DdeInitializeW(&instance, &Callback,
                         APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_POKES | CBF_FAIL_REQUESTS |
                             CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                         0) == 0) {
      service = ::DdeCreateStringHandleW(instance, kService, platform::CP_WINUNICODE);
      topic_ = ::DdeCreateStringHandleW(instance, kTopic, platform::CP_WINUNICODE);
      registered_ = ::DdeNameService(instance, service, nullptr, DNS_REGISTER) != nullptr;
    }
    {
      std::lock_guard lock(mutex_);
      threadId_ = ::GetCurrentThreadId();
    }
    changed_.notify_all();
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    if (instance) {
      ::DdeNameService(instance, service, nullptr, DNS_UNREGISTER);
      ::DdeFreeStringHandle(instance, service);
      ::DdeFreeStringHandle(instance, topic_);
      ::DdeUninitialize(instance);
    }
    current_ = nullptr;
  }

  static inline DdeServer* current_ = nullptr;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable changed_;
  DWORD threadId_ = 0;
  bool registered_ = false;
  HSZ topic_ = nullptr;
  std::vector<std::u16string> commands_;
};

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
  DdeServer server;
  ASSERT_TRUE(server.registered());
  const std::string command = "[DocGoTo(NULL, 11)][Öffne(\"Größe\")]";
  EXPECT_TRUE(platform::DdeExecute("StrativueProbe", "control", command));
  EXPECT_EQ(server.Commands(1), (std::vector<std::u16string>{platform::Utf8ToUtf16(command)}));
  EXPECT_EQ(platform::JournalEntries(),
            (std::vector<platform::JournalEntry>{{"dde", "StrativueProbe|control: " + command}}));
}

TEST_F(SystemDde, AsynchronousExecuteThenDisconnectStillDelivers) {
  DdeServer server;
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
    DdeServer server;
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
