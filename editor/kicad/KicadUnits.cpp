#include "editor/kicad/KicadUnits.h"

#include <cmath>
#include <cstdio>

namespace brelix::kicad {
namespace {

// Whole nanometres KiCad can hold in a coordinate.
constexpr uint64_t kLargestNanometres = uint64_t{1} << 52;

// value * numerator / denominator for a magnitude, rounded to the nearest,
// halves up. Split at multiples of the denominator so that no product
// outgrows 64 bits (32-bit targets have no wider integers); a result beyond
// 64 bits wraps, as converting it to int64_t would.
uint64_t ScaleRounded(uint64_t value, uint64_t numerator, uint64_t denominator) {
  const uint64_t whole = value / denominator * numerator;
  const uint64_t part = value % denominator * numerator;  // below numerator * denominator
  return whole + (2 * part + denominator) / (2 * denominator);
}

int64_t ScaleSigned(int64_t value, uint64_t numerator, uint64_t denominator) {
  const bool negative = value < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  const uint64_t scaled = ScaleRounded(magnitude, numerator, denominator);
  return static_cast<int64_t>(negative ? 0 - scaled : scaled);
}

}  // namespace

std::optional<int64_t> ParseNanometres(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // Millimetres: the whole part, six decimals of nanometres, and the seventh
  // decimal, which decides the rounding. A whole part past the largest
  // coordinate stops growing: it is refused whatever follows.
  constexpr uint64_t kLargestWhole = kLargestNanometres / 1000000 + 1;
  uint64_t whole = 0;
  uint64_t nanometres = 0;
  int decimals = 0;
  bool roundUp = false;
  int digits = 0;
  bool point = false;
  for (const char c : text) {
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (c < '0' || c > '9') return std::nullopt;
    if (digits == 0 && c == '0' && !point) continue;
    if (++digits > 30) return std::nullopt;
    const auto digit = static_cast<uint64_t>(c - '0');
    if (!point) {
      whole = whole > kLargestWhole ? whole : whole * 10 + digit;
    } else if (++decimals <= 6) {
      nanometres = nanometres * 10 + digit;
    } else if (decimals == 7) {
      roundUp = digit >= 5;
    }
  }
  if (text.find_first_of("0123456789") == std::string_view::npos) return std::nullopt;
  if (whole > kLargestWhole) return std::nullopt;
  for (int i = decimals; i < 6; ++i) nanometres *= 10;
  const uint64_t magnitude = whole * 1000000 + nanometres + (roundUp ? 1 : 0);
  if (magnitude > kLargestNanometres) return std::nullopt;
  const auto nm = static_cast<int64_t>(magnitude);
  return negative ? -nm : nm;
}

// One board unit is 2.54 nm: nanometres * 50 / 127 and units * 127 / 50.
int64_t NanometresToUnits(int64_t nanometres) { return ScaleSigned(nanometres, 50, 127); }

int64_t UnitsToNanometres(int64_t units) { return ScaleSigned(units, 127, 50); }

std::string FormatMillimetres(int64_t nanometres) {
  const bool negative = nanometres < 0;
  const uint64_t magnitude =
      negative ? 0 - static_cast<uint64_t>(nanometres) : static_cast<uint64_t>(nanometres);
  std::string text = std::to_string(magnitude / 1000000);
  std::string fraction = std::to_string(magnitude % 1000000);
  fraction.insert(0, 6 - fraction.size(), '0');
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (!fraction.empty()) text += "." + fraction;
  return negative && magnitude != 0 ? "-" + text : text;
}

std::string FormatDecimal(double value) {
  if (!std::isfinite(value)) value = 0;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.6f", value);
  std::string text(buffer);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  return text;
}

}  // namespace brelix::kicad
