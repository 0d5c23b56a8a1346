// How wide the form drawing takes a text to be. The stand-in has no system
// fonts, so every face is measured with the advance widths of DejaVu Sans
// (Book, and Bold for bold text): a wide face that viewers commonly have or
// fall back on, so that a text drawn in a narrower face stays within what was
// measured. Pure integer arithmetic, the same on every system.
#pragma once

#include <string_view>

#include "toolkit/Graphics.h"

namespace toolkit {

// The face the widths are those of; the drawing names it after the form's
// own font.
inline constexpr const char* kMeasuredFace = "DejaVu Sans";

// The font's size in pixels: the character height of a negative height, the
// cell height of a positive one.
int FontPixelSize(const TFont& font);
// The advance width of UTF-8 text in pixels, rounded up. A character outside
// Latin-1, and each byte that is not UTF-8, counts as one em.
int TextWidth(std::string_view text, const TFont& font);
// How far the face reaches above and below the baseline, in pixels, rounded
// up.
int TextAscent(const TFont& font);
int TextDescent(const TFont& font);

}  // namespace toolkit
