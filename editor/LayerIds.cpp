#include "editor/LayerIds.h"

#include <array>

namespace brelix {

std::string DefaultLayerName(int id) {
  if (id == 1) return "TopLayer";
  if (id >= 2 && id <= 31) return "MidLayer" + std::to_string(id - 1);
  if (id == 32) return "BottomLayer";
  if (id >= 39 && id <= 54) return "InternalPlane" + std::to_string(id - 38);
  if (id >= 57 && id <= 72) return "Mechanical" + std::to_string(id - 56);
  static const std::array<const char*, 6> kSurface = {"TopOverlay",  "BottomOverlay", "TopPaste",
                                                      "BottomPaste", "TopSolder",     "BottomSolder"};
  if (id >= 33 && id <= 38) return kSurface[id - 33];
  if (id == 55) return "DrillGuide";
  if (id == 56) return "KeepOutLayer";
  static const std::array<const char*, 10> kSpecial = {
      "DrillDrawing",   "MultiLayer", "ConnectLayer", "BackGroundLayer", "DRCErrorLayer",
      "HighlightLayer", "GridColor1", "GridColor10",  "PadHoleLayer",    "ViaHoleLayer"};
  if (id >= 73 && id <= 82) return kSpecial[id - 73];
  return {};
}

bool IsSignalLayer(int id) { return id >= kTopLayer && id <= kBottomLayer; }
bool IsInternalPlane(int id) { return id >= kFirstPlane && id <= kLastPlane; }

std::optional<uint8_t> LayerFromRecordId(uint32_t value) {
  if (value >= 1 && value <= kLayerCount) return static_cast<uint8_t>(value);
  const uint32_t high = value >> 16;
  const uint32_t number = value & 0xFFFF;
  if (number == 0) return std::nullopt;
  switch (high) {
    case 0x0101:
      if (number == 1) return kTopLayer;
      if (number == 0xFFFF) return kBottomLayer;
      return static_cast<uint8_t>(number <= 31 ? number : 31);
    case 0x0104:
      return static_cast<uint8_t>(number <= 16 ? number + 38 : 54);
    case 0x0400:
      return static_cast<uint8_t>(number <= 16 ? number + 56 : 72);
    default:
      return std::nullopt;
  }
}

}  // namespace brelix
