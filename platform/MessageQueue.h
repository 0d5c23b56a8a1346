// Per-thread message queues, as Windows keeps them for UI threads.
//
// On Windows the queue is the system's own queue of the thread, so every
// module of the process (each links its own copy of this library) posts to
// and reads from the same one, and the system's PostMessageW,
// PostThreadMessageW and PeekMessageW meet these functions on it. There:
// - only posted messages are returned; messages for a system window the
//   platform did not make (the DDE library's hidden windows, say) are
//   dispatched to their window procedure on the way and never returned;
// - a message for a window the system does not know is queued for the
//   window's thread, or the caller's, and keeps that window, at the cost of a
//   small record in the process heap that is freed when it is removed (and
//   lost when its thread ends with it still queued);
// - message numbers above 0xFFFF are reserved by the system and not queued,
//   nor are numbers below WM_USER whose parameters the system takes for
//   pointers (WM_SETTEXT, for one) and so refuses to post;
// - the system keeps no count: QueuedMessageCount takes the thread's messages
//   out and posts them back in order, so a message another thread posts
//   meanwhile lands before them.
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
