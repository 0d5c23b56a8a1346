// The mouse pointer's screen position, process-wide; the automation API (the
// simulated user) moves it. On Windows it is the system's cursor, which the
// system keeps within the screen, so a position outside it reads back moved
// to the nearest point inside.
#pragma once

#include "platform/Geometry.h"

namespace platform {

Point GetCursorPos();
void SetCursorPos(Point position);

}  // namespace platform
