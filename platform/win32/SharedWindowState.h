// What the Win32 backend keeps about its windows beside the system: the
// active window, the focus and the Z order of top-level windows. The system
// keeps these per thread and acts on them visibly, while the platform's
// meaning is one of each for the whole process, with nothing drawn. Every
// module carries its own copy of the platform, so the state lives in one
// section of memory named after the process, which each copy opens by name.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32/WindowsApi.h"

namespace platform {

// Top-level windows the process can hold at once; one more is refused.
inline constexpr uint32_t kMaxTopLevelWindows = 2048;

struct SharedWindowState {
  // Zero-filled by the system when the section is made, which is an
  // unlocked lock, no windows and no active or focused window.
  SRWLOCK lock;
  // Counts windows as they are made, so that children list in creation order.
  uint32_t lastSerial;
  int32_t active;
  int32_t focus;
  uint32_t topLevelCount;
  int32_t zOrder[kMaxTopLevelWindows];  // topmost first
};

// The section's name for a process: one per process, whichever module asks.
std::wstring SharedWindowStateName(DWORD process);

// This process's state, opened once per module and kept until the process
// ends (a module's static destructors may still close windows while it
// unloads); nullptr when the system could not give the section.
SharedWindowState* TheSharedWindowState();

}  // namespace platform
