// The pointer is the system's cursor.
#include "platform/Pointer.h"
#include "platform/win32/WindowsApi.h"

namespace platform {

Point GetCursorPos() {
  ::POINT position{};
  if (!::GetCursorPos(&position)) return {};
  return {static_cast<int32_t>(position.x), static_cast<int32_t>(position.y)};
}

void SetCursorPos(Point position) { ::SetCursorPos(position.x, position.y); }

}  // namespace platform
