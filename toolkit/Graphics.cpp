#include "toolkit/Graphics.h"

#include <array>
#include <cstdio>

#include "toolkit/Hooks.h"

namespace toolkit {
namespace {

struct NamedColor {
  TColor color;
  const char* name;
};

constexpr std::array<NamedColor, 25> kNames = {{
    {0x000000, "clBlack"},       {0x000080, "clMaroon"},
    {0x008000, "clGreen"},       {0x008080, "clOlive"},
    {0x800000, "clNavy"},        {0x800080, "clPurple"},
    {0x808000, "clTeal"},        {0x808080, "clGray"},
    {0xC0C0C0, "clSilver"},      {0x0000FF, "clRed"},
    {0x00FF00, "clLime"},        {0x00FFFF, "clYellow"},
    {0xFF0000, "clBlue"},        {0xFF00FF, "clFuchsia"},
    {0xFFFF00, "clAqua"},        {0xFFFFFF, "clWhite"},
    {0xFF000005, "clWindow"},    {0xFF000008, "clWindowText"},
    {0xFF00000F, "clBtnFace"},   {0xFF000010, "clBtnShadow"},
    {0xFF000012, "clBtnText"},   {0xFF000014, "clBtnHighlight"},
    {0xFF000018, "clInfoBk"},    {0xFF000017, "clInfoText"},
    {0xFF00000D, "clHighlight"},
}};

// The usual system palette, indexed by system colour number.
uint32_t SystemRgb(uint32_t index) {
  switch (index) {
    case 5:
      return 0xFFFFFF;
    case 8:
      return 0x000000;
    case 13:
      return 0xD77800;
    case 15:
      return 0xF0F0F0;
    case 16:
      return 0xA0A0A0;
    case 18:
      return 0x000000;
    case 20:
      return 0xFFFFFF;
    case 23:
      return 0x000000;
    case 24:
      return 0xE1FFFF;
    default:
      return 0xC0C0C0;
  }
}

}  // namespace

std::string ColorToText(TColor color) {
  color = Hooks::Get().RewriteColor(color);
  for (const NamedColor& named : kNames)
    if (named.color == color) return named.name;
  char text[16];
  std::snprintf(text, sizeof text, "$%08X", static_cast<unsigned>(color));
  return text;
}

uint32_t ColorToRgb(TColor color) {
  if ((color & 0xFF000000u) == 0xFF000000u) return SystemRgb(color & 0xFFu);
  return color & 0xFFFFFFu;
}

int TFont::Size() const {
  const int pixels = height_ < 0 ? -height_ : height_;
  return (pixels * 72 + kScreenPixelsPerInch / 2) / kScreenPixelsPerInch;
}

void TFont::SetSize(int points) { height_ = -((points * kScreenPixelsPerInch + 36) / 72); }

TFont& TFont::DefaultFont() {
  static TFont font;
  return font;
}

}  // namespace toolkit
