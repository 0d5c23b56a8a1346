#include "editor/kicad/KicadText.h"

#include <array>
#include <cmath>

#include "editor/kicad/KicadUnits.h"

namespace brelix::kicad {
namespace {

// Advances of KiCad's stroke font for the characters ' ' to '~', in 1/21 of
// the font width, as KiCad 6 measures them (a text of width 21 mm and
// thickness 0 is as wide as the sum of these in mm).
constexpr std::array<uint8_t, 95> kAdvance = {
    16, 10, 16, 21, 20, 24, 26, 10, 14, 14, 16, 26, 10, 26, 10, 22, 20, 20, 20, 20, 20, 20, 20, 20,
    20, 20, 10, 10, 26, 26, 26, 18, 27, 18, 21, 21, 21, 19, 18, 21, 22, 10, 16, 21, 17, 24, 22, 22,
    21, 22, 21, 20, 16, 22, 18, 24, 20, 18, 20, 14, 14, 14, 12, 16, 8,  19, 19, 18, 19, 18, 12, 19,
    19, 10, 10, 17, 11, 28, 19, 19, 19, 19, 13, 17, 12, 19, 16, 22, 17, 16, 17, 28, 20, 14, 15};
constexpr int kAdvanceUnits = 21;
// Characters outside that range count as wide as a digit.
constexpr int kOtherAdvance = 20;

// The width of the text in 1/21 of the font width.
int64_t Advances(const std::string& text) {
  int64_t sum = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80 && (c & 0xC0) == 0x80) continue;  // UTF-8 continuation bytes
    sum += c >= 32 && c < 127 ? kAdvance[c - 32] : kOtherAdvance;
  }
  return sum;
}

}  // namespace

KicadTextPlacement PlaceText(const EditorObject& text) {
  // The editor's box is n * a + stroke wide and size + stroke high from its
  // left-bottom corner (a = 2/3 of the size). KiCad's is the sum of the
  // advances times the font width, plus the thickness, wide, and its
  // capitals are the font height tall; drawn with the stroke, that is
  // height + thickness. So thickness = stroke, height = size and the width
  // spreads n * a over the advances of this very text.
  KicadTextPlacement t;
  t.thicknessNm = UnitsToNanometres(text.width);
  t.heightNm = UnitsToNanometres(text.size);
  const int64_t n = static_cast<int64_t>(text.textData->text.size());
  const int64_t advanceUnits = int64_t{text.size} * 2 / 3;
  const int64_t advances = Advances(text.textData->text);
  t.widthNm = advances > 0 ? UnitsToNanometres(n * advanceUnits) * kAdvanceUnits / advances : t.heightNm;
  t.x = text.x;
  t.y = text.y;
  t.degrees = text.rotation;
  return t;
}

}  // namespace brelix::kicad
