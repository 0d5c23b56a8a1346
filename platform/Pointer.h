// The mouse pointer's screen position, process-wide; the automation API (the
// simulated user) moves it.
#pragma once

#include "platform/Geometry.h"

namespace platform {

Point GetCursorPos();
void SetCursorPos(Point position);

}  // namespace platform
