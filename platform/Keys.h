// Key states per virtual-key code, set by the automation API (the simulated
// user) and read as Windows' GetKeyState answers them.
//
// On Linux they are process-wide. On Windows they are the system's keyboard
// state of the calling thread, which every module of the process shares and
// the system's GetKeyState reads, but another thread has its own: the
// simulated user sets them on the thread whose modal loop carries out its
// actions, and that is the thread whose forms read them. There the system's
// toggle bit (Caps Lock, say) is kept but never reported.
#pragma once

#include <cstdint>

namespace platform {

inline constexpr int VK_BACK = 0x08;
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12;  // Alt
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_SPACE = 0x20;
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;
inline constexpr int VK_F1 = 0x70;

// High bit set (negative) while the key is down; 0 otherwise and for codes
// outside 0..255.
int16_t GetKeyState(int virtualKey);
// Codes outside 0..255 are ignored.
void SetKeyState(int virtualKey, bool down);
// Every key up.
void ResetKeyStates();

}  // namespace platform
