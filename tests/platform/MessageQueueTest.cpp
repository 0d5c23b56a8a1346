#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "platform/MessageQueue.h"
#include "platform/Windows.h"

namespace platform {
namespace {

TEST(MessageQueue, PeekWithoutRemovingLeavesTheMessage) {
  ClearMessageQueue();
  Message message{};
  EXPECT_FALSE(PeekMessage(&message, false));
  PostMessage(0, WM_USER, 1, 2);
  PostMessage(0, WM_USER + 1, 3, 4);
  ASSERT_TRUE(PeekMessage(&message, false));
  EXPECT_EQ(message.message, WM_USER);
  EXPECT_EQ(QueuedMessageCount(), 2);
  ASSERT_TRUE(PeekMessage(&message, true));
  EXPECT_EQ(message.wParam, 1);
  ASSERT_TRUE(PeekMessage(&message, true));
  EXPECT_EQ(message.message, WM_USER + 1);
  EXPECT_EQ(message.lParam, 4);
  EXPECT_EQ(QueuedMessageCount(), 0);
}

TEST(MessageQueue, AFilterTakesTheOldestMessageInItsRangeAndLeavesTheRest) {
  ClearMessageQueue();
  PostMessage(0, WM_USER, 1, 0);
  PostMessage(0, WM_USER + 5, 2, 0);
  PostMessage(0, WM_USER + 6, 3, 0);
  Message message{};
  EXPECT_FALSE(PeekMessage(&message, true, WM_USER + 1, WM_USER + 4));
  ASSERT_TRUE(PeekMessage(&message, true, WM_USER + 5, WM_USER + 9));
  EXPECT_EQ(message.wParam, 2);
  ASSERT_TRUE(PeekMessage(&message, true, 0, 0));
  EXPECT_EQ(message.wParam, 1);
  ASSERT_TRUE(PeekMessage(&message, true));
  EXPECT_EQ(message.wParam, 3);
  EXPECT_EQ(QueuedMessageCount(), 0);
}

TEST(MessageQueue, PostGoesToTheWindowsThread) {
  ClearMessageQueue();
  std::atomic<HWND> window = 0;
  // A promise rather than std::atomic::wait: the latter loses wake-ups in
  // the mingw-w64 build of the C++ library, and the worker then waits forever.
  std::promise<void> posted;
  const std::future<void> postedSeen = posted.get_future();
  int received = 0;
  std::thread worker([&] {
    // On Windows a thread takes posted messages once it has a queue, which
    // its first look at one gives it.
    EXPECT_EQ(QueuedMessageCount(), 0);
    WindowCreateParams params;
    params.className = "TWorker";
    const HWND mine = CreateWindow(params);
    window = mine;
    postedSeen.wait();
    received = QueuedMessageCount();
    DestroyWindow(mine);
  });
  while (true) {
    if (IsWindow(window)) break;
    std::this_thread::yield();
  }
  PostMessage(window, WM_USER, 7, 8);
  posted.set_value();
  worker.join();
  EXPECT_EQ(received, 1);
  EXPECT_EQ(QueuedMessageCount(), 0);

  // An unknown window's message comes to the caller, still addressed to
  // that window: it is no thread message for whatever form has the input.
  PostMessage(999999, WM_USER, 5, 6);
  EXPECT_EQ(QueuedMessageCount(), 1);
  Message message{};
  ASSERT_TRUE(PeekMessage(&message, false));
  EXPECT_EQ(message.window, 999999);
  EXPECT_EQ(message.wParam, 5);
  EXPECT_EQ(message.lParam, 6);
  ClearMessageQueue();
  EXPECT_EQ(QueuedMessageCount(), 0);
  ResetWindows();
}

TEST(MessageQueue, WaitReturnsAtOnceWhenInputIsQueued) {
  ClearMessageQueue();
  EXPECT_FALSE(WaitMessage(std::chrono::milliseconds(0)));
  PostMessage(0, WM_USER, 0, 0);
  EXPECT_TRUE(WaitMessage(std::chrono::milliseconds(0)));
  ClearMessageQueue();
}

}  // namespace
}  // namespace platform
