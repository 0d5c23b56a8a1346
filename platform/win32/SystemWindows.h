// How the Win32 backend's windows meet the system's: a platform window is a
// system window, its handle narrowed to the 32 bits Windows guarantees a
// window handle fits in, and it carries a property of this name so that the
// backend tells its own windows apart from every other window of the thread
// (the DDE library's hidden ones, say).
#pragma once

#include <cstdint>

#include "platform/Windows.h"
#include "platform/win32/WindowsApi.h"

namespace platform {

inline constexpr wchar_t kPlatformWindowProperty[] = L"Strativue.PlatformWindow";

inline ::HWND SystemHandle(platform::HWND window) {
  return reinterpret_cast<::HWND>(static_cast<intptr_t>(window));
}

inline platform::HWND PlatformHandle(::HWND window) {
  return static_cast<platform::HWND>(reinterpret_cast<intptr_t>(window));
}

// A live window of this process that the platform made.
inline bool IsPlatformWindow(::HWND window) {
  DWORD process = 0;
  return window != nullptr && ::GetWindowThreadProcessId(window, &process) != 0 &&
         process == ::GetCurrentProcessId() &&
         ::GetPropW(window, kPlatformWindowProperty) != nullptr;
}

}  // namespace platform
