#include "platform/HelpViewer.h"

#include <atomic>
#include <string>

#include "platform/FaultPoints.h"
#include "platform/Journal.h"

namespace platform {
namespace {

std::atomic<uint64_t> g_popupPosition{0};

}  // namespace

void HelpSetPopupPosition(Point position) {
  g_popupPosition.store((static_cast<uint64_t>(static_cast<uint32_t>(position.x)) << 32) |
                        static_cast<uint32_t>(position.y));
}

bool HelpShowContextPopup(HWND, std::string_view helpFile, uint32_t context) {
  if (faults::ShouldFail("platform.WinHelp")) return false;
  const uint64_t packed = g_popupPosition.load();
  const auto x = static_cast<int32_t>(static_cast<uint32_t>(packed >> 32));
  const auto y = static_cast<int32_t>(static_cast<uint32_t>(packed));
  JournalAppend("help", "popup " + std::string(helpFile) + " context " + std::to_string(context) + " at " +
                            std::to_string(x) + "," + std::to_string(y));
  return true;
}

}  // namespace platform
