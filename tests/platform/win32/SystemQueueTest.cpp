// What the system, and so every other module of a Windows process, sees of
// the platform's message queue, key states and pointer.
#include <gtest/gtest.h>

#include <future>
#include <thread>
#include <vector>

#include "platform/Keys.h"
#include "platform/MessageQueue.h"
#include "platform/Pointer.h"
#include "platform/win32/SystemWindows.h"
#include "platform/win32/WindowsApi.h"

namespace {

using platform::WM_USER;

struct Received {
  ::HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// A hidden system window of the calling thread, the platform's when marked
// with its property; its procedure records what reaches it from WM_USER on.
class SystemWindow {
 public:
  explicit SystemWindow(bool platforms) {
    static const ATOM windowClass = [] {
      WNDCLASSW description{};
      description.lpfnWndProc = &Procedure;
      description.hInstance = ::GetModuleHandleW(nullptr);
      description.lpszClassName = L"StrativueQueueTestWindow";
      return ::RegisterClassW(&description);
    }();
    handle_ = ::CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(windowClass)), L"", 0, 0,
                                0, 10, 10, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (platforms) ::SetPropW(handle_, platform::kPlatformWindowProperty, reinterpret_cast<HANDLE>(1));
    received().clear();
  }
  ~SystemWindow() {
    ::RemovePropW(handle_, platform::kPlatformWindowProperty);
    ::DestroyWindow(handle_);
  }
  SystemWindow(const SystemWindow&) = delete;
  SystemWindow& operator=(const SystemWindow&) = delete;

  ::HWND handle() const { return handle_; }
  platform::HWND platformHandle() const { return platform::PlatformHandle(handle_); }
  static std::vector<Received>& received() {
    static std::vector<Received> messages;
    return messages;
  }

 private:
  static LRESULT CALLBACK Procedure(::HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_USER) received().push_back({window, message, wParam, lParam});
    return ::DefWindowProcW(window, message, wParam, lParam);
  }

  ::HWND handle_;
};

class SystemQueue : public testing::Test {
 protected:
  void SetUp() override { platform::ClearMessageQueue(); }
  void TearDown() override { platform::ClearMessageQueue(); }
};

TEST_F(SystemQueue, ThreadMessagesCrossBothWays) {
  ASSERT_TRUE(::PostThreadMessageW(::GetCurrentThreadId(), WM_USER + 1, 5, 6));
  platform::Message message{};
  ASSERT_TRUE(platform::PeekMessage(&message, true));
  EXPECT_EQ(message.window, 0);
  EXPECT_EQ(message.message, WM_USER + 1);
  EXPECT_EQ(message.wParam, 5);
  EXPECT_EQ(message.lParam, 6);

  platform::PostMessage(0, WM_USER + 2, 7, -8);
  ::MSG system{};
  ASSERT_TRUE(::PeekMessageW(&system, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(system.hwnd, nullptr);
  EXPECT_EQ(system.message, WM_USER + 2);
  EXPECT_EQ(system.wParam, 7u);
  EXPECT_EQ(system.lParam, -8);
  EXPECT_FALSE(platform::PeekMessage(&message, false));
}

TEST_F(SystemQueue, APlatformWindowsMessagesGoThroughTheSystemToItsThread) {
  SystemWindow window(true);
  platform::PostMessage(window.platformHandle(), WM_USER + 3, 1, 2);
  ::MSG system{};
  ASSERT_TRUE(::PeekMessageW(&system, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(system.hwnd, window.handle());
  EXPECT_EQ(system.message, WM_USER + 3);

  ASSERT_TRUE(::PostMessageW(window.handle(), WM_USER + 4, 3, 4));
  platform::Message message{};
  ASSERT_TRUE(platform::PeekMessage(&message, true));
  EXPECT_EQ(message.window, window.platformHandle());
  EXPECT_EQ(message.message, WM_USER + 4);
  EXPECT_EQ(message.lParam, 4);

  // Posted from another thread, it still lands on the window's thread.
  int leftOnWorker = -1;
  std::thread worker([&] {
    platform::PostMessage(window.platformHandle(), WM_USER + 5, 0, 0);
    leftOnWorker = platform::QueuedMessageCount();
  });
  worker.join();
  EXPECT_EQ(leftOnWorker, 0);
  ASSERT_TRUE(platform::PeekMessage(&message, true));
  EXPECT_EQ(message.window, window.platformHandle());
  EXPECT_EQ(message.message, WM_USER + 5);
  EXPECT_TRUE(window.received().empty());
}

TEST_F(SystemQueue, OtherWindowsMessagesAreDispatchedToThemAndNeverReturned) {
  SystemWindow foreign(false);
  ASSERT_TRUE(::PostMessageW(foreign.handle(), WM_USER + 6, 9, 10));
  platform::PostMessage(0, WM_USER + 7, 0, 0);
  platform::Message message{};
  ASSERT_TRUE(platform::PeekMessage(&message, false));
  EXPECT_EQ(message.message, WM_USER + 7);
  ASSERT_EQ(foreign.received().size(), 1u);
  EXPECT_EQ(foreign.received()[0].message, WM_USER + 6);
  EXPECT_EQ(foreign.received()[0].lParam, 10);

  // Met by a filtered look or by the count, they go the same way.
  ASSERT_TRUE(::PostMessageW(foreign.handle(), WM_USER + 8, 0, 0));
  EXPECT_FALSE(platform::PeekMessage(&message, true, WM_USER + 8, WM_USER + 8));
  ASSERT_TRUE(::PostMessageW(foreign.handle(), WM_USER + 9, 0, 0));
  EXPECT_EQ(platform::QueuedMessageCount(), 1);
  EXPECT_EQ(foreign.received().size(), 3u);

  // Nor does a message only for them end a wait.
  platform::ClearMessageQueue();
  ASSERT_TRUE(::PostMessageW(foreign.handle(), WM_USER + 10, 0, 0));
  EXPECT_FALSE(platform::WaitMessage(std::chrono::milliseconds(0)));
  EXPECT_EQ(foreign.received().size(), 4u);
}

TEST_F(SystemQueue, CountingPutsEveryMessageBackInOrderWithItsWindow) {
  SystemWindow window(true);
  constexpr platform::HWND kUnknown = 999999;
  platform::PostMessage(0, WM_USER + 1, 1, 0);
  platform::PostMessage(window.platformHandle(), WM_USER + 2, 2, 0);
  platform::PostMessage(kUnknown, WM_USER + 3, 3, 33);
  platform::PostMessage(0, WM_USER + 4, 4, 0);
  EXPECT_EQ(platform::QueuedMessageCount(), 4);
  EXPECT_EQ(platform::QueuedMessageCount(), 4);

  const platform::Message expected[] = {{0, WM_USER + 1, 1, 0},
                                        {window.platformHandle(), WM_USER + 2, 2, 0},
                                        {kUnknown, WM_USER + 3, 3, 33},
                                        {0, WM_USER + 4, 4, 0}};
  for (const platform::Message& each : expected) {
    platform::Message message{};
    ASSERT_TRUE(platform::PeekMessage(&message, true));
    EXPECT_EQ(message.window, each.window);
    EXPECT_EQ(message.message, each.message);
    EXPECT_EQ(message.wParam, each.wParam);
    EXPECT_EQ(message.lParam, each.lParam);
  }
  ::MSG system{};
  EXPECT_FALSE(::PeekMessageW(&system, nullptr, 0, 0, PM_REMOVE));
}

// A message for a window the system does not know travels with a record of
// the platform's; another program can post a thread message of that very
// shape. Whatever such a message points at is neither read as a record nor
// freed: it comes out as the plain thread message it is.
TEST_F(SystemQueue, AForgedRecordIsAPlainThreadMessage) {
  constexpr platform::HWND kUnknown = 999999;
  platform::PostMessage(kUnknown, WM_USER + 1, 1, 11);
  ::MSG genuine{};
  ASSERT_TRUE(::PeekMessageW(&genuine, nullptr, WM_USER + 1, WM_USER + 1, PM_NOREMOVE));
  // The shape: the second parameter is the first sealed with a fixed pattern.
  const uintptr_t seal = static_cast<uintptr_t>(genuine.wParam) ^ static_cast<uintptr_t>(genuine.lParam);

  void* lookalike = ::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY,
                                ::HeapSize(::GetProcessHeap(), 0, reinterpret_cast<void*>(genuine.wParam)));
  ASSERT_NE(lookalike, nullptr);
  int onTheStack = 0;
  for (const uintptr_t forged :
       {reinterpret_cast<uintptr_t>(lookalike), reinterpret_cast<uintptr_t>(&onTheStack), uintptr_t{0x10}}) {
    ASSERT_TRUE(::PostThreadMessageW(::GetCurrentThreadId(), WM_USER + 2, forged,
                                     static_cast<LPARAM>(forged ^ seal)));
    platform::Message message{};
    ASSERT_TRUE(platform::PeekMessage(&message, true, WM_USER + 2, WM_USER + 2));
    EXPECT_EQ(message.window, 0);
    EXPECT_EQ(static_cast<uintptr_t>(message.wParam), forged);
    EXPECT_EQ(static_cast<uintptr_t>(message.lParam), forged ^ seal);
  }
  EXPECT_TRUE(::HeapValidate(::GetProcessHeap(), 0, lookalike)) << "a forged record was freed";
  ::HeapFree(::GetProcessHeap(), 0, lookalike);

  platform::Message message{};
  ASSERT_TRUE(platform::PeekMessage(&message, true));
  EXPECT_EQ(message.window, kUnknown);
  EXPECT_EQ(message.wParam, 1);
  EXPECT_EQ(message.lParam, 11);
}

TEST_F(SystemQueue, NumbersTheSystemRefusesAreNotQueued) {
  platform::PostMessage(0, 0x10000, 1, 2);
  platform::PostMessage(0, 0x000C /* WM_SETTEXT: its text is a pointer */, 0, 0x1000);
  EXPECT_EQ(platform::QueuedMessageCount(), 0);
}

TEST_F(SystemQueue, AWaitEndsWhenAnotherThreadPosts) {
  const DWORD me = ::GetCurrentThreadId();
  std::promise<void> waiting;
  std::future<void> started = waiting.get_future();
  std::thread poster([&] {
    started.wait();
    ::PostThreadMessageW(me, WM_USER + 11, 0, 0);
  });
  waiting.set_value();
  const bool woke = platform::WaitMessage(std::chrono::seconds(60));
  poster.join();
  ASSERT_TRUE(woke);
  platform::Message message{};
  ASSERT_TRUE(platform::PeekMessage(&message, true));
  EXPECT_EQ(message.message, WM_USER + 11);
}

TEST(SystemKeys, KeyStatesAreTheThreadsKeyboardState) {
  platform::ResetKeyStates();
  platform::SetKeyState(platform::VK_SHIFT, true);
  EXPECT_LT(::GetKeyState(platform::VK_SHIFT), 0);
  BYTE keys[256];
  ASSERT_TRUE(::GetKeyboardState(keys));
  EXPECT_NE(keys[platform::VK_SHIFT] & 0x80, 0);

  keys[platform::VK_CONTROL] = 0x80;
  ASSERT_TRUE(::SetKeyboardState(keys));
  EXPECT_LT(platform::GetKeyState(platform::VK_CONTROL), 0);

  // Another thread has keys of its own.
  int16_t shiftElsewhere = -1;
  std::thread([&] { shiftElsewhere = platform::GetKeyState(platform::VK_SHIFT); }).join();
  EXPECT_EQ(shiftElsewhere, 0);

  // A toggled key is not down, and letting every key up keeps its toggle.
  ASSERT_TRUE(::GetKeyboardState(keys));
  keys[VK_CAPITAL] = 0x01;
  ASSERT_TRUE(::SetKeyboardState(keys));
  EXPECT_EQ(platform::GetKeyState(VK_CAPITAL), 0);
  platform::ResetKeyStates();
  ASSERT_TRUE(::GetKeyboardState(keys));
  EXPECT_EQ(keys[platform::VK_SHIFT] & 0x80, 0);
  EXPECT_EQ(keys[platform::VK_CONTROL] & 0x80, 0);
  EXPECT_EQ(keys[VK_CAPITAL], 0x01);
  keys[VK_CAPITAL] = 0;
  ::SetKeyboardState(keys);
}

TEST(SystemPointer, ThePointerIsTheSystemsCursor) {
  ::POINT before{};
  ASSERT_TRUE(::GetCursorPos(&before));
  platform::SetCursorPos({37, 41});
  ::POINT system{};
  ASSERT_TRUE(::GetCursorPos(&system));
  EXPECT_EQ(system.x, 37);
  EXPECT_EQ(system.y, 41);
  ASSERT_TRUE(::SetCursorPos(52, 18));
  EXPECT_EQ(platform::GetCursorPos(), (platform::Point{52, 18}));
  ::SetCursorPos(before.x, before.y);
}

}  // namespace
