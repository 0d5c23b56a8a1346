#include "toolkit/Graphics.h"

#include <array>
#include <cstdio>

#include "toolkit/Hooks.h"
#include "toolkit/Properties.h"

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

const std::vector<IntegerIdent>& ColorIdents() {
  static const std::vector<IntegerIdent> idents = [] {
    std::vector<IntegerIdent> all;
    for (const NamedColor& named : kNames) all.push_back({named.name, named.color});
    return all;
  }();
  return idents;
}

const std::vector<IntegerIdent>& CharsetIdents() {
  static const std::vector<IntegerIdent> idents = {
      {"ANSI_CHARSET", 0},      {"DEFAULT_CHARSET", 1},    {"SYMBOL_CHARSET", 2},
      {"MAC_CHARSET", 77},      {"SHIFTJIS_CHARSET", 128}, {"HANGEUL_CHARSET", 129},
      {"JOHAB_CHARSET", 130},   {"GB2312_CHARSET", 134},   {"CHINESEBIG5_CHARSET", 136},
      {"GREEK_CHARSET", 161},   {"TURKISH_CHARSET", 162},  {"VIETNAMESE_CHARSET", 163},
      {"HEBREW_CHARSET", 177},  {"ARABIC_CHARSET", 178},   {"BALTIC_CHARSET", 186},
      {"RUSSIAN_CHARSET", 204}, {"THAI_CHARSET", 222},     {"EASTEUROPE_CHARSET", 238},
      {"OEM_CHARSET", 255},
  };
  return idents;
}

const std::vector<std::string>& FontStyleNames() {
  static const std::vector<std::string> names = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
  return names;
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
