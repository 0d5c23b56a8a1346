// The system's popup help viewer: short help texts from a popup help file,
// shown at a position. Requests are recorded in the journal (kind "help").
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/Geometry.h"
#include "platform/Windows.h"

namespace platform {

// Where the next popup appears (screen pixels).
void HelpSetPopupPosition(Point position);
// Shows the popup of a context number from a popup help file, owned by a
// window: adds the journal entry
//   "popup <file> context <n> at <x>,<y>"
// with the position set last. True when the request was accepted; false,
// and no entry, when the fault point "platform.WinHelp" fails it.
bool HelpShowContextPopup(HWND owner, std::string_view helpFile, uint32_t context);

}  // namespace platform
