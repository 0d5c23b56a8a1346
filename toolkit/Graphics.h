// Colours, fonts and rectangles of the toolkit.
#pragma once

#include <cstdint>
#include <string>

namespace toolkit {

// 0x00BBGGRR for a plain colour; 0xFF0000nn for system colour nn.
using TColor = uint32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clWindow = 0xFF000005;
inline constexpr TColor clWindowText = 0xFF000008;
inline constexpr TColor clBtnFace = 0xFF00000F;
inline constexpr TColor clBtnShadow = 0xFF000010;
inline constexpr TColor clBtnText = 0xFF000012;
inline constexpr TColor clBtnHighlight = 0xFF000014;
inline constexpr TColor clInfoBk = 0xFF000018;

// The colour's name ("clBtnFace") or "$00BBGGRR"; hooks may rewrite the value
// first (ColorToTextHooks in Hooks.h).
std::string ColorToText(TColor color);
// The displayed RGB value (0x00BBGGRR) of a plain or system colour.
uint32_t ColorToRgb(TColor color);

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline constexpr int kScreenPixelsPerInch = 96;

enum FontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t;

inline constexpr uint8_t DEFAULT_CHARSET = 1;
inline constexpr uint8_t SHIFTJIS_CHARSET = 128;

class TFont {
 public:
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  // Negative: character height in pixels; positive: cell height.
  int Height() const { return height_; }
  void SetHeight(int height) { height_ = height; }
  // Points at 96 pixels per inch, rounded.
  int Size() const;
  void SetSize(int points);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style) { style_ = style; }
  TColor Color() const { return color_; }
  void SetColor(TColor color) { color_ = color; }
  uint8_t Charset() const { return charset_; }
  void SetCharset(uint8_t charset) { charset_ = charset; }

  void Assign(const TFont& other) { *this = other; }
  friend bool operator==(const TFont&, const TFont&) = default;

  // What a new font starts as; the process may change it (Shift-JIS systems).
  static TFont& DefaultFont();

 private:
  std::string name_ = "MS Sans Serif";
  int height_ = -11;
  TFontStyles style_ = 0;
  TColor color_ = clWindowText;
  uint8_t charset_ = DEFAULT_CHARSET;
};

}  // namespace toolkit
