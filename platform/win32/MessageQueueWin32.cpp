// The message queues are the system's: every module of the process links its
// own copy of this file, and all of them post to and read from the one queue
// the system keeps for each thread.
//
// What a queued message carries beside its number and two parameters is the
// system's business, so a message for a window the system does not know (a
// window of the platform's table alone, one destroyed since, or a number that
// never was a window) travels as a thread message whose parameters point to
// a small record in the process heap, which every module shares; reading it
// gives back the window it was posted to, as for any other message.
#include <algorithm>
#include <vector>

#include "platform/MessageQueue.h"
#include "platform/Safely.h"
#include "platform/Threads.h"
#include "platform/Windows.h"
#include "platform/win32/SystemWindows.h"
#include "platform/win32/WindowsApi.h"

namespace platform {
namespace {

// Larger message numbers are reserved by the system.
constexpr uint32_t kLargestMessage = 0xFFFF;

// Only what was posted: sent messages are handled inside every PeekMessageW
// call anyway, and the paint and input messages the system makes up for a
// window are not the platform's to return.
constexpr UINT kPostedOnly = PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE;

struct Addressed {
  const void* self;  // the record's own address: what a forged message cannot fake
  int32_t window;
  intptr_t wParam;
  intptr_t lParam;
};

// lParam of an addressed thread message is its wParam (the record's address)
// sealed with this pattern, so that an ordinary thread message is never taken
// for one and its parameters are never read as an address.
constexpr uintptr_t kSeal = static_cast<uintptr_t>(0x9E3779B97F4A7C15ull);

// The record an addressed thread message carries; nil for any other message.
// Another program can post a thread message of the same shape, so the
// address must be a live block of the process heap holding a record before
// anything reads or frees it.
Addressed* AddressedRecord(const ::MSG& system) {
  if (system.hwnd != nullptr || system.wParam == 0 ||
      static_cast<uintptr_t>(system.lParam) != (static_cast<uintptr_t>(system.wParam) ^ kSeal))
    return nullptr;
  void* block = reinterpret_cast<void*>(system.wParam);
  if (!::HeapValidate(::GetProcessHeap(), 0, block) ||
      ::HeapSize(::GetProcessHeap(), 0, block) != sizeof(Addressed))
    return nullptr;
  auto* record = static_cast<Addressed*>(block);
  return record->self == record ? record : nullptr;
}

void Release(const ::MSG& system) {
  if (Addressed* record = AddressedRecord(system)) {
    record->self = nullptr;
    ::HeapFree(::GetProcessHeap(), 0, record);
  }
}

Message FromSystem(const ::MSG& system) {
  if (const Addressed* record = AddressedRecord(system))
    return {record->window, system.message, record->wParam, record->lParam};
  return {system.hwnd != nullptr ? PlatformHandle(system.hwnd) : 0, system.message,
          static_cast<intptr_t>(system.wParam), static_cast<intptr_t>(system.lParam)};
}

// A thread gets its queue with its first call that reads one.
void EnsureQueue() {
  ::MSG ignored;
  ::PeekMessageW(&ignored, nullptr, 0, 0, PM_NOREMOVE | kPostedOnly);
}

bool PostToThread(DWORD thread, UINT message, WPARAM wParam, LPARAM lParam) {
  if (::PostThreadMessageW(thread, message, wParam, lParam)) return true;
  if (thread != ::GetCurrentThreadId() || ::GetLastError() != ERROR_INVALID_THREAD_ID) return false;
  EnsureQueue();
  return ::PostThreadMessageW(thread, message, wParam, lParam) != 0;
}

// Puts a message taken from the queue back at its end, as it was posted.
bool Repost(const ::MSG& system) {
  if (system.hwnd != nullptr)
    return ::PostMessageW(system.hwnd, system.message, system.wParam, system.lParam) != 0;
  return PostToThread(::GetCurrentThreadId(), system.message, system.wParam, system.lParam);
}

bool IsForeign(const ::MSG& system) { return system.hwnd != nullptr && !IsPlatformWindow(system.hwnd); }

void DispatchForeign(const ::MSG& system) {
  ::TranslateMessage(&system);
  ::DispatchMessageW(&system);
}

// The oldest platform message in [filterMin, filterMax] (0, 0: any); the
// messages of other windows met on the way are dispatched to them. Only this
// thread takes messages off its queue, so removing with the same filter takes
// the message just seen.
bool NextMessage(::MSG* system, bool remove, uint32_t filterMin, uint32_t filterMax) {
  while (::PeekMessageW(system, nullptr, filterMin, filterMax, PM_NOREMOVE | kPostedOnly)) {
    const bool foreign = IsForeign(*system);
    if (!foreign && !remove) return true;
    ::PeekMessageW(system, nullptr, filterMin, filterMax, PM_REMOVE | kPostedOnly);
    if (!foreign) return true;
    DispatchForeign(*system);
  }
  return false;
}

// Takes every platform message off the queue.
std::vector<::MSG> TakeAll() {
  std::vector<::MSG> taken;
  ::MSG system{};
  while (NextMessage(&system, true, 0, 0)) {
    try {
      taken.push_back(system);
    } catch (...) {
      // Out of memory: what was taken goes back rather than being lost.
      for (const ::MSG& each : taken) Repost(each);
      Repost(system);
      throw;
    }
  }
  return taken;
}

}  // namespace

bool PeekMessage(Message* message, bool remove) { return PeekMessage(message, remove, 0, 0); }

bool PeekMessage(Message* message, bool remove, uint32_t filterMin, uint32_t filterMax) {
  return Safely(false, [&] {
    if (filterMin > kLargestMessage) return false;
    ::MSG system{};
    if (!NextMessage(&system, remove, filterMin, filterMax)) return false;
    if (message) *message = FromSystem(system);
    if (remove) Release(system);
    return true;
  });
}

void PostMessage(int32_t window, uint32_t message, intptr_t wParam, intptr_t lParam) {
  if (message > kLargestMessage) return;
  if (window != 0 && IsPlatformWindow(SystemHandle(window))) {
    ::PostMessageW(SystemHandle(window), message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
    return;
  }
  if (window == 0) {
    PostToThread(::GetCurrentThreadId(), message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
    return;
  }
  const ThreadId owner = GetWindowThread(window);
  const DWORD thread = owner != 0 ? static_cast<DWORD>(owner) : ::GetCurrentThreadId();
  auto* record = static_cast<Addressed*>(::HeapAlloc(::GetProcessHeap(), 0, sizeof(Addressed)));
  if (record == nullptr) return;  // out of memory: the message is dropped, as from a full queue
  *record = {record, window, wParam, lParam};
  const auto address = reinterpret_cast<uintptr_t>(record);
  if (!PostToThread(thread, message, static_cast<WPARAM>(address), static_cast<LPARAM>(address ^ kSeal)))
    ::HeapFree(::GetProcessHeap(), 0, record);
}

int QueuedMessageCount() {
  // The system keeps no count: every platform message is taken out, then
  // posted back in the order it came.
  return Safely(0, [] {
    int count = 0;
    for (const ::MSG& each : TakeAll()) {
      if (Repost(each))
        ++count;
      else
        Release(each);
    }
    return count;
  });
}

void ClearMessageQueue() {
  ::MSG system{};
  while (NextMessage(&system, true, 0, 0)) Release(system);
}

bool WaitMessage(std::chrono::milliseconds timeout) {
  return Safely(false, [&] {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
      if (PeekMessage(nullptr, false)) return true;
      const auto left =
          std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      const auto wait =
          static_cast<DWORD>(std::min<std::chrono::milliseconds::rep>(left.count(), INFINITE - 1));
      ::MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_POSTMESSAGE | QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
    }
  });
}

}  // namespace platform
