// What the Win32 backend keeps about its windows beside the system: each
// window's styles, visibility, rectangle and parent, and the active window,
// the focus and the Z order of top-level windows. The system keeps the last
// three per thread and acts on all of them visibly, while the platform's
// meaning is one of each for the whole process, with nothing drawn. Every
// module carries its own copy of the platform, so the state lives in one
// section of memory named after the process, which each copy opens by name.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Geometry.h"
#include "platform/win32/WindowsApi.h"

namespace platform {

// Windows the process can hold at once; one more is refused.
inline constexpr uint32_t kMaxWindows = 1024;

struct WindowRecord {
  int32_t handle;
  int32_t parent;  // 0 for a top-level window
  // Counts windows as they are made, so that children list in creation
  // order. It is also the system window's GWLP_USERDATA, which tells the
  // window from a later one that the system gives the same handle.
  uint32_t serial;
  uint32_t style;
  uint32_t exStyle;
  uint32_t classStyle;
  uint32_t flags;
  Rect rect;
};

struct SharedWindowState {
  // Zero-filled by the system when the section is made, which is an
  // unlocked lock, no windows and no active or focused window.
  SRWLOCK lock;
  uint32_t lastSerial;
  int32_t active;
  int32_t focus;
  uint32_t windowCount;
  uint32_t topLevelCount;
  int32_t zOrder[kMaxWindows];  // top-level windows, topmost first
  WindowRecord windows[kMaxWindows];
};

// The section's name for a process: one per process, whichever module asks.
std::wstring SharedWindowStateName(DWORD process);

// This process's state, opened once per module and kept until the process
// ends (a module's static destructors may still close windows while it
// unloads); nullptr when the system could not give the section.
SharedWindowState* TheSharedWindowState();

}  // namespace platform
