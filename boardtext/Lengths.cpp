#include "boardtext/Lengths.h"

#include <cstdint>
#include <limits>
#include <string>

#include "boardtext/ScriptText.h"

namespace boardtext {
namespace {

void Explain(std::string* why, std::string text) {
  if (why) *why = std::move(text);
}

// A decimal number is kept exactly as mantissa / 10^decimals so that the unit
// conversion can round without binary floating-point error.
constexpr int kMaxDigits = 18;

}  // namespace

std::optional<int32_t> ParseLength(std::string_view text, std::string* why, Coordinates coordinates) {
  std::string_view number = text;
  // Board units are 1/10000 mil: a value is value * 10^exponent / divisor
  // units (a millimetre is 10^8 / 254 units).
  int exponent = 0;
  uint64_t divisor = 1;
  if (number.ends_with("mil")) {
    number.remove_suffix(3);
    exponent = 4;
  } else if (number.ends_with("mm")) {
    number.remove_suffix(2);
    exponent = 8;
    divisor = 254;
  } else if (number.ends_with("in")) {
    number.remove_suffix(2);
    exponent = 7;
  } else if (coordinates == Coordinates::Kicad) {
    exponent = 8;
    divisor = 254;
  }
  const bool hasUnit = exponent != 0;
  const std::string expected = coordinates == Coordinates::Kicad
                                   ? "a number of millimetres, or a number with mil, mm or in"
                                   : "a whole number of board units, or a number with mil, mm or in";
  bool negative = false;
  if (!number.empty() && (number.front() == '-' || number.front() == '+')) {
    negative = number.front() == '-';
    number.remove_prefix(1);
  }
  uint64_t mantissa = 0;
  int digits = 0;
  int decimals = 0;
  bool seenPoint = false;
  for (char c : number) {
    if (c == '.' && !seenPoint) {
      seenPoint = true;
      continue;
    }
    if (c < '0' || c > '9') {
      Explain(why, "\"" + std::string(text) + "\" is not a length (" + expected + ")");
      return std::nullopt;
    }
    if (digits == 0 && c == '0' && !seenPoint) continue;  // leading zeros carry nothing
    if (++digits > kMaxDigits) {
      Explain(why, "\"" + std::string(text) + "\" has too many digits");
      return std::nullopt;
    }
    mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
    if (seenPoint) ++decimals;
  }
  const bool hasDigit = number.find_first_of("0123456789") != std::string_view::npos;
  if (!hasDigit || (seenPoint && !hasUnit)) {
    Explain(why, "\"" + std::string(text) + "\" is not a length (" + expected + ")");
    return std::nullopt;
  }
  // mantissa * 10^(exponent - decimals) / divisor in 64 bits (32-bit targets
  // have no wider integers): the power of ten goes to one side only. A
  // dividend that outgrows 64 bits is far beyond 32 bits of units; the
  // divisor stays below 254 * 10^14, as decimals need a unit.
  static_assert(kMaxDigits <= 18, "the divisor must stay within 64 bits");
  constexpr uint64_t kLargestTimesTen = std::numeric_limits<uint64_t>::max() / 10;
  uint64_t dividend = mantissa;
  bool tooLarge = false;
  for (int power = exponent - decimals; power > 0 && !tooLarge; --power) {
    tooLarge = dividend > kLargestTimesTen;
    if (!tooLarge) dividend *= 10;
  }
  for (int power = exponent - decimals; power < 0; ++power) divisor *= 10;
  uint64_t magnitude = dividend / divisor;
  const uint64_t remainder = dividend % divisor;
  if (remainder >= divisor - remainder) ++magnitude;  // halves away from zero (sign applied after)
  const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
  if (tooLarge || magnitude > limit) {
    Explain(why, "\"" + std::string(text) + "\" is out of range (more than 32 bits of board units)");
    return std::nullopt;
  }
  return negative ? static_cast<int32_t>(0 - magnitude) : static_cast<int32_t>(magnitude);
}

std::optional<Point> ParsePoint(std::string_view text, std::string* why, Coordinates coordinates) {
  const auto comma = text.find(',');
  if (comma == std::string_view::npos) {
    Explain(why, "\"" + std::string(text) + "\" is not a point X,Y");
    return std::nullopt;
  }
  const auto x = ParseLength(TrimBlanks(text.substr(0, comma)), why, coordinates);
  if (!x) return std::nullopt;
  const auto y = ParseLength(TrimBlanks(text.substr(comma + 1)), why, coordinates);
  if (!y) return std::nullopt;
  if (coordinates == Coordinates::Board) return Point{*x, *y};
  if (*y == std::numeric_limits<int32_t>::min()) {
    Explain(why, "\"" + std::string(TrimBlanks(text.substr(comma + 1))) +
                     "\" is out of range (more than 32 bits of board units)");
    return std::nullopt;
  }
  return Point{*x, -*y};
}

}  // namespace boardtext
