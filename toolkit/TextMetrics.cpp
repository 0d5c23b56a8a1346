#include "toolkit/TextMetrics.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace toolkit {
namespace {

constexpr int64_t kUnitsPerEm = 2048;
constexpr int64_t kAscender = 1901;
constexpr int64_t kDescender = 483;

// Code points 0x20 to 0x7E, then 0xA0 to 0xFF.
constexpr std::size_t kTableSize = 95 + 96;

// Advance widths in units of 1/2048 em, read from the faces' horizontal
// metrics.
constexpr uint16_t kBookAdvances[kTableSize] = {
    651,  821,  942,  1716, 1303, 1946, 1597, 563,  799,  799,  1024, 1716, 651,  739,  651,  690,
    1303, 1303, 1303, 1303, 1303, 1303, 1303, 1303, 1303, 1303, 690,  690,  1716, 1716, 1716, 1087,
    2048, 1401, 1405, 1430, 1577, 1294, 1178, 1587, 1540, 604,  604,  1343, 1141, 1767, 1532, 1612,
    1235, 1612, 1423, 1300, 1251, 1499, 1401, 2025, 1403, 1251, 1403, 799,  690,  799,  1716, 1024,
    1024, 1255, 1300, 1126, 1300, 1260, 721,  1300, 1298, 569,  569,  1186, 569,  1995, 1298, 1253,
    1300, 1300, 842,  1067, 803,  1298, 1212, 1675, 1212, 1212, 1075, 1303, 690,  1303, 1716, 651,
    821,  1303, 1303, 1303, 1303, 690,  1024, 1024, 2048, 965,  1253, 1716, 739,  2048, 1024, 1024,
    1716, 821,  821,  1024, 1303, 1303, 651,  1024, 821,  965,  1253, 1985, 1985, 1985, 1087, 1401,
    1401, 1401, 1401, 1401, 1401, 1995, 1430, 1294, 1294, 1294, 1294, 604,  604,  604,  604,  1587,
    1532, 1612, 1612, 1612, 1612, 1612, 1716, 1612, 1499, 1499, 1499, 1499, 1251, 1239, 1290, 1255,
    1255, 1255, 1255, 1255, 1255, 2011, 1126, 1260, 1260, 1260, 1260, 569,  569,  569,  569,  1253,
    1298, 1253, 1253, 1253, 1253, 1253, 1716, 1253, 1298, 1298, 1298, 1298, 1212, 1300, 1212,
};

constexpr uint16_t kBoldAdvances[kTableSize] = {
    713,  934,  1067, 1716, 1425, 2052, 1786, 627,  936,  936,  1071, 1716, 778,  850,  778,  748,
    1425, 1425, 1425, 1425, 1425, 1425, 1425, 1425, 1425, 1425, 819,  819,  1716, 1716, 1716, 1188,
    2048, 1585, 1561, 1503, 1700, 1399, 1399, 1681, 1714, 762,  762,  1587, 1305, 2038, 1714, 1741,
    1501, 1741, 1577, 1475, 1397, 1663, 1585, 2259, 1579, 1483, 1485, 936,  748,  936,  1716, 1024,
    1024, 1382, 1466, 1214, 1466, 1389, 891,  1466, 1458, 702,  702,  1362, 702,  2134, 1458, 1407,
    1466, 1466, 1010, 1219, 979,  1458, 1335, 1892, 1321, 1335, 1192, 1458, 748,  1458, 1716, 713,
    934,  1425, 1425, 1303, 1425, 748,  1024, 1024, 2048, 1155, 1323, 1716, 850,  2048, 1024, 1024,
    1716, 897,  897,  1024, 1507, 1303, 778,  1024, 897,  1155, 1323, 2120, 2120, 2120, 1188, 1585,
    1585, 1585, 1585, 1585, 1585, 2222, 1503, 1399, 1399, 1399, 1399, 762,  762,  762,  762,  1716,
    1714, 1741, 1741, 1741, 1741, 1741, 1716, 1741, 1663, 1663, 1663, 1663, 1483, 1511, 1473, 1382,
    1382, 1382, 1382, 1382, 1382, 2146, 1214, 1389, 1389, 1389, 1389, 702,  702,  702,  702,  1407,
    1458, 1407, 1407, 1407, 1407, 1407, 1716, 1407, 1458, 1458, 1458, 1458, 1335, 1466, 1335,
};

int64_t Advance(uint32_t codePoint, bool bold) {
  std::size_t index = kTableSize;
  if (codePoint >= 0x20 && codePoint <= 0x7E) index = codePoint - 0x20;
  if (codePoint >= 0xA0 && codePoint <= 0xFF) index = 95 + (codePoint - 0xA0);
  if (index >= kTableSize) return kUnitsPerEm;
  return bold ? kBoldAdvances[index] : kBookAdvances[index];
}

// The code point at `text[at]` and the bytes it takes; a byte that starts no
// valid sequence is taken alone, as code point 0xFFFD.
uint32_t NextCodePoint(std::string_view text, std::size_t at, std::size_t& length) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  length = 1;
  if (lead < 0x80) return lead;
  const std::size_t size = lead >= 0xF0 && lead <= 0xF4  ? 4
                           : lead >= 0xE0                ? 3
                           : lead >= 0xC2 && lead < 0xE0 ? 2
                                                         : 0;
  if (size == 0 || at + size > text.size()) return 0xFFFD;
  uint32_t codePoint = lead & (0x7F >> size);
  for (std::size_t i = 1; i < size; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0xFFFD;
    codePoint = (codePoint << 6) | (byte(at + i) & 0x3F);
  }
  length = size;
  return codePoint;
}

// Saturates at the largest int rather than overflow for absurd sizes.
int PixelsRoundedUp(int64_t units, const TFont& font) {
  const int64_t size = FontPixelSize(font);
  const int64_t whole = units / kUnitsPerEm;
  if (size != 0 && whole > std::numeric_limits<int>::max() / size) return std::numeric_limits<int>::max();
  const int64_t pixels = whole * size + ((units % kUnitsPerEm) * size + kUnitsPerEm - 1) / kUnitsPerEm;
  return static_cast<int>(std::min<int64_t>(pixels, std::numeric_limits<int>::max()));
}

}  // namespace

int FontPixelSize(const TFont& font) {
  const int64_t height = font.Height();
  return static_cast<int>(std::min<int64_t>(height < 0 ? -height : height, std::numeric_limits<int>::max()));
}

int TextWidth(std::string_view text, const TFont& font) {
  const bool bold = (font.Style() & fsBold) != 0;
  int64_t units = 0;
  for (std::size_t at = 0, length = 0; at < text.size(); at += length)
    units += Advance(NextCodePoint(text, at, length), bold);
  return PixelsRoundedUp(units, font);
}

int TextAscent(const TFont& font) { return PixelsRoundedUp(kAscender, font); }

int TextDescent(const TFont& font) { return PixelsRoundedUp(kDescender, font); }

}  // namespace toolkit
