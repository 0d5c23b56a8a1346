// Per-thread message queues, as Windows keeps them for UI threads.
#pragma once

#include <chrono>
#include <cstdint>

namespace platform {

inline constexpr uint32_t WM_USER = 0x0400;

struct Message {
  int32_t window;  // target window handle, 0 for a thread message
  uint32_t message;
  intptr_t wParam;
  intptr_t lParam;
};

// Looks at the calling thread's queue. With remove false the message stays
// queued. False when the queue is empty.
bool PeekMessage(Message* message, bool remove);
// The same for the oldest message whose number lies in [filterMin,
// filterMax], as Windows filters (0, 0: every message).
bool PeekMessage(Message* message, bool remove, uint32_t filterMin, uint32_t filterMax);
// Appends a message to the queue of the thread that owns `window` (the
// calling thread for window 0 or an unknown window).
void PostMessage(int32_t window, uint32_t message, intptr_t wParam, intptr_t lParam);
// Number of messages waiting on the calling thread's queue.
int QueuedMessageCount();
// Empties the calling thread's queue.
void ClearMessageQueue();
// Waits until the calling thread's queue holds a message or `timeout` has
// passed; true when a message is waiting.
bool WaitMessage(std::chrono::milliseconds timeout);

}  // namespace platform
