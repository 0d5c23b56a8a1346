#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

#include "platform/MessageQueue.h"
#include "platform/Threads.h"
#include "platform/Windows.h"

namespace platform {
namespace {

struct Queue {
  std::deque<Message> messages;
  std::condition_variable arrived;
};

struct Queues {
  std::mutex mutex;
  std::map<ThreadId, Queue> byThread;
};

Queues& AllQueues() {
  static Queues queues;
  return queues;
}

}  // namespace

bool PeekMessage(Message* message, bool remove) { return PeekMessage(message, remove, 0, 0); }

bool PeekMessage(Message* message, bool remove, uint32_t filterMin, uint32_t filterMax) {
  auto& all = AllQueues();
  std::lock_guard lock(all.mutex);
  auto it = all.byThread.find(CurrentThreadId());
  if (it == all.byThread.end()) return false;
  std::deque<Message>& messages = it->second.messages;
  const bool everything = filterMin == 0 && filterMax == 0;
  const auto found = std::find_if(messages.begin(), messages.end(), [&](const Message& queued) {
    return everything || (queued.message >= filterMin && queued.message <= filterMax);
  });
  if (found == messages.end()) return false;
  if (message) *message = *found;
  if (remove) messages.erase(found);
  return true;
}

void PostMessage(int32_t window, uint32_t message, intptr_t wParam, intptr_t lParam) {
  ThreadId target = window != 0 ? GetWindowThread(window) : 0;
  if (target == 0) target = CurrentThreadId();
  auto& all = AllQueues();
  try {
    std::lock_guard lock(all.mutex);
    Queue& queue = all.byThread[target];
    queue.messages.push_back({window, message, wParam, lParam});
    queue.arrived.notify_all();
  } catch (...) {
    // Out of memory: Windows drops the message the same way when a queue is full.
  }
}

int QueuedMessageCount() {
  auto& all = AllQueues();
  std::lock_guard lock(all.mutex);
  auto it = all.byThread.find(CurrentThreadId());
  return it == all.byThread.end() ? 0 : static_cast<int>(it->second.messages.size());
}

void ClearMessageQueue() {
  auto& all = AllQueues();
  std::lock_guard lock(all.mutex);
  auto it = all.byThread.find(CurrentThreadId());
  if (it != all.byThread.end()) it->second.messages.clear();
}

bool WaitMessage(std::chrono::milliseconds timeout) {
  auto& all = AllQueues();
  try {
    std::unique_lock lock(all.mutex);
    Queue& queue = all.byThread[CurrentThreadId()];
    return queue.arrived.wait_for(lock, timeout, [&] { return !queue.messages.empty(); });
  } catch (...) {
    return false;
  }
}

}  // namespace platform
