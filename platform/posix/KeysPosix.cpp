#include <array>
#include <atomic>

#include "platform/Keys.h"

namespace platform {
namespace {

std::array<std::atomic<bool>, 256>& KeyTable() {
  static std::array<std::atomic<bool>, 256> down{};
  return down;
}

}  // namespace

int16_t GetKeyState(int virtualKey) {
  if (virtualKey < 0 || virtualKey > 255) return 0;
  return KeyTable()[static_cast<size_t>(virtualKey)].load() ? static_cast<int16_t>(0x8000 - 0x10000) : 0;
}

void SetKeyState(int virtualKey, bool down) {
  if (virtualKey < 0 || virtualKey > 255) return;
  KeyTable()[static_cast<size_t>(virtualKey)].store(down);
}

void ResetKeyStates() {
  for (auto& key : KeyTable()) key.store(false);
}

}  // namespace platform
