#include "editor/kicad/KicadUnits.h"

#include <cmath>
#include <cstdio>

namespace brelix::kicad {
namespace {

// n / d rounded to the nearest integer, halves away from zero (d > 0).
int64_t DivideRounded(__int128 n, __int128 d) {
  const __int128 magnitude = (n < 0 ? -n : n) * 2 + d;
  const auto quotient = static_cast<int64_t>(magnitude / (2 * d));
  return n < 0 ? -quotient : quotient;
}

}  // namespace

std::optional<int64_t> ParseNanometres(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  __int128 mantissa = 0;
  int decimals = 0;
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
    mantissa = mantissa * 10 + (c - '0');
    if (point) ++decimals;
  }
  if (text.find_first_of("0123456789") == std::string_view::npos) return std::nullopt;
  __int128 scale = 1;
  for (int i = decimals; i < 6; ++i) mantissa *= 10;
  for (int i = 6; i < decimals; ++i) scale *= 10;
  const int64_t nm = DivideRounded(mantissa, scale);
  if (nm > (int64_t{1} << 52)) return std::nullopt;
  return negative ? -nm : nm;
}

int64_t NanometresToUnits(int64_t nanometres) { return DivideRounded(__int128{nanometres} * 100, 254); }

int64_t UnitsToNanometres(int64_t units) { return DivideRounded(__int128{units} * 254, 100); }

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
