#include "platform/MessageQueue.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include "platform/Windows.h"

namespace platform {
namespace {

struct Queue {
  std::deque<Message> messages;
  std::condition_variable arrived;
};

struct Queues {
  std::mutex mutex;
  std::map<std::thread::id, Queue> byThread;
};

Queues& AllQueues() {
  static Queues queues;
  return queues;
}

}  // namespace

bool PeekMessage(Message* message, bool remove) {
  auto& all = AllQueues();
  std::lock_guard lock(all.mutex);
  auto it = all.byThread.find(std::this_thread::get_id());
  if (it == all.byThread.end() || it->second.messages.empty()) return false;
  if (message) *message = it->second.messages.front();
  if (remove) it->second.messages.pop_front();
  return true;
}

void PostMessage(int32_t window, uint32_t message, intptr_t wParam, intptr_t lParam) {
  std::thread::id target = window != 0 ? GetWindowThread(window) : std::thread::id();
  if (target == std::thread::id()) target = std::this_thread::get_id();
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
  auto it = all.byThread.find(std::this_thread::get_id());
  return it == all.byThread.end() ? 0 : static_cast<int>(it->second.messages.size());
}

void ClearMessageQueue() {
  auto& all = AllQueues();
  std::lock_guard lock(all.mutex);
  auto it = all.byThread.find(std::this_thread::get_id());
  if (it != all.byThread.end()) it->second.messages.clear();
}

bool WaitMessage(std::chrono::milliseconds timeout) {
  auto& all = AllQueues();
  try {
    std::unique_lock lock(all.mutex);
    Queue& queue = all.byThread[std::this_thread::get_id()];
    return queue.arrived.wait_for(lock, timeout, [&] { return !queue.messages.empty(); });
  } catch (...) {
    return false;
  }
}

}  // namespace platform
