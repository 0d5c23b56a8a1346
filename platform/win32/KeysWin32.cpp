// Key states are the system's keyboard state of the calling thread (its input
// state), which every module of the process reads and writes alike.
#include "platform/Keys.h"
#include "platform/win32/WindowsApi.h"

namespace platform {
namespace {

constexpr BYTE kDown = 0x80;

bool IsKeyCode(int virtualKey) { return virtualKey >= 0 && virtualKey <= 255; }

}  // namespace

int16_t GetKeyState(int virtualKey) {
  if (!IsKeyCode(virtualKey)) return 0;
  // Only whether the key is down: the system's low bit (toggled) is no
  // state the platform keeps.
  return static_cast<int16_t>(::GetKeyState(virtualKey) & static_cast<SHORT>(0x8000 - 0x10000));
}

void SetKeyState(int virtualKey, bool down) {
  if (!IsKeyCode(virtualKey)) return;
  BYTE keys[256];
  if (!::GetKeyboardState(keys)) return;
  const auto index = static_cast<size_t>(virtualKey);
  keys[index] = static_cast<BYTE>(down ? keys[index] | kDown : keys[index] & ~kDown);
  ::SetKeyboardState(keys);
}

void ResetKeyStates() {
  BYTE keys[256];
  if (!::GetKeyboardState(keys)) return;
  for (BYTE& key : keys) key = static_cast<BYTE>(key & ~kDown);
  ::SetKeyboardState(keys);
}

}  // namespace platform
