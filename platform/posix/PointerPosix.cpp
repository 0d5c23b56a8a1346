#include <atomic>
#include <cstdint>

#include "platform/Pointer.h"

namespace platform {
namespace {

// Both coordinates in one word, so that a reader never sees half a move.
std::atomic<uint64_t> g_position{0};

}  // namespace

Point GetCursorPos() {
  const uint64_t packed = g_position.load();
  return {static_cast<int32_t>(static_cast<uint32_t>(packed >> 32)),
          static_cast<int32_t>(static_cast<uint32_t>(packed))};
}

void SetCursorPos(Point position) {
  g_position.store((static_cast<uint64_t>(static_cast<uint32_t>(position.x)) << 32) |
                   static_cast<uint32_t>(position.y));
}

}  // namespace platform
