#include "platform/Locale.h"

#include <array>
#include <cstdint>

#include "platform/AppendUtf8.h"

namespace platform {
namespace {

// Invalid UTF-8 bytes decode to this base plus the byte, outside Unicode.
constexpr char32_t kInvalidBase = 0x110000;

// Decodes one code point at text[i] and advances i.
char32_t Decode(std::string_view text, size_t& i) {
  const auto c = static_cast<unsigned char>(text[i]);
  if (c < 0x80) {
    ++i;
    return c;
  }
  size_t extra = 0;
  char32_t cp = 0;
  char32_t minimum = 0;
  if ((c & 0xE0) == 0xC0) {
    extra = 1, cp = c & 0x1F, minimum = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    extra = 2, cp = c & 0x0F, minimum = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    extra = 3, cp = c & 0x07, minimum = 0x10000;
  } else {
    ++i;
    return kInvalidBase + c;
  }
  if (i + extra >= text.size()) {
    ++i;
    return kInvalidBase + c;
  }
  for (size_t j = 1; j <= extra; ++j) {
    const auto next = static_cast<unsigned char>(text[i + j]);
    if ((next & 0xC0) != 0x80) {
      ++i;
      return kInvalidBase + c;
    }
    cp = (cp << 6) | (next & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return kInvalidBase + c;
  }
  i += extra + 1;
  return cp;
}

void Encode(char32_t cp, std::string& out) {
  if (cp >= kInvalidBase) {
    out.push_back(static_cast<char>(cp - kInvalidBase));
  } else {
    AppendUtf8(cp, out);
  }
}

bool InRange(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }

char32_t ToUpper(char32_t c) {
  if (InRange(c, U'a', U'z')) return c - 0x20;
  if (c < 0x80) return c;
  if (InRange(c, 0xE0, 0xFE) && c != 0xF7) return c - 0x20;
  if (c == 0xFF) return 0x178;
  if (c == 0x131) return U'I';
  if (c == 0x17F) return U'S';
  if ((InRange(c, 0x100, 0x12F) || InRange(c, 0x132, 0x137) || InRange(c, 0x14A, 0x177)) && (c & 1))
    return c - 1;
  if ((InRange(c, 0x139, 0x148) || InRange(c, 0x179, 0x17E)) && !(c & 1)) return c - 1;
  if (c == 0x3C2) return 0x3A3;
  if (InRange(c, 0x3B1, 0x3C9)) return c - 0x20;
  if (InRange(c, 0x430, 0x44F)) return c - 0x20;
  if (InRange(c, 0x450, 0x45F)) return c - 0x50;
  return c;
}

char32_t ToLower(char32_t c) {
  if (InRange(c, U'A', U'Z')) return c + 0x20;
  if (c < 0x80) return c;
  if (InRange(c, 0xC0, 0xDE) && c != 0xD7) return c + 0x20;
  if (c == 0x178) return 0xFF;
  if ((InRange(c, 0x100, 0x12F) || InRange(c, 0x132, 0x137) || InRange(c, 0x14A, 0x177)) && !(c & 1))
    return c + 1;
  if ((InRange(c, 0x139, 0x148) || InRange(c, 0x179, 0x17E)) && (c & 1)) return c + 1;
  if (InRange(c, 0x391, 0x3A9) && c != 0x3A2) return c + 0x20;
  if (InRange(c, 0x410, 0x42F)) return c + 0x20;
  if (InRange(c, 0x400, 0x40F)) return c + 0x50;
  return c;
}

// Windows-1252 bytes 0x80..0x9F; the five undefined ones keep their C1 code.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

template <typename Fold>
std::string Map(std::string_view text, Fold fold) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) Encode(fold(Decode(text, i)), out);
  return out;
}

}  // namespace

int CompareTextIgnoreCase(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const char32_t x = ToUpper(Decode(a, i));
    const char32_t y = ToUpper(Decode(b, j));
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

std::string UpperCaseText(std::string_view text) { return Map(text, ToUpper); }

std::string LowerCaseText(std::string_view text) { return Map(text, ToLower); }

std::string AnsiToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    Encode(InRange(c, 0x80, 0x9F) ? kHighControls[c - 0x80] : c, out);
  }
  return out;
}

std::string Utf8ToAnsi(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const char32_t cp = Decode(text, i);
    if (cp < 0x80 || InRange(cp, 0xA0, 0xFF)) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    char mapped = '?';
    for (size_t k = 0; k < kHighControls.size(); ++k)
      if (kHighControls[k] == cp) mapped = static_cast<char>(0x80 + k);
    out.push_back(mapped);
  }
  return out;
}

}  // namespace platform
