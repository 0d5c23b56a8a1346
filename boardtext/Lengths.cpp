#include "boardtext/Lengths.h"

#include <limits>

#include "boardtext/ScriptText.h"

namespace boardtext {
namespace {

std::string_view Trim(std::string_view text) { return TrimBlanks(text); }

void Explain(std::string* why, std::string text) {
  if (why) *why = std::move(text);
}

// A decimal number is kept exactly as mantissa / 10^decimals so that the unit
// conversion can round without binary floating-point error.
constexpr int kMaxDigits = 18;

}  // namespace

std::optional<int32_t> ParseLength(std::string_view text, std::string* why) {
  std::string_view number = text;
  // Board units are 1/10000 mil; each unit is value * numerator / denominator.
  __int128 numerator = 1;
  __int128 denominator = 1;
  if (number.ends_with("mil")) {
    number.remove_suffix(3);
    numerator = 10000;
  } else if (number.ends_with("mm")) {
    number.remove_suffix(2);
    numerator = 100000000;  // mm * 10000 / 0.0254 = mm * 10^8 / 254
    denominator = 254;
  } else if (number.ends_with("in")) {
    number.remove_suffix(2);
    numerator = 10000000;
  }
  const bool hasUnit = numerator != 1;
  bool negative = false;
  if (!number.empty() && (number.front() == '-' || number.front() == '+')) {
    negative = number.front() == '-';
    number.remove_prefix(1);
  }
  __int128 mantissa = 0;
  int digits = 0;
  int decimals = 0;
  bool seenPoint = false;
  for (char c : number) {
    if (c == '.' && !seenPoint) {
      seenPoint = true;
      continue;
    }
    if (c < '0' || c > '9') {
      Explain(why, "\"" + std::string(text) +
                       "\" is not a length (a whole number of board units, or a number with mil, mm or in)");
      return std::nullopt;
    }
    if (digits == 0 && c == '0' && !seenPoint) continue;  // leading zeros carry nothing
    if (++digits > kMaxDigits) {
      Explain(why, "\"" + std::string(text) + "\" has too many digits");
      return std::nullopt;
    }
    mantissa = mantissa * 10 + (c - '0');
    if (seenPoint) ++decimals;
  }
  const bool hasDigit = number.find_first_of("0123456789") != std::string_view::npos;
  if (!hasDigit || (seenPoint && !hasUnit)) {
    Explain(why, "\"" + std::string(text) +
                     "\" is not a length (a whole number of board units, or a number with mil, mm or in)");
    return std::nullopt;
  }
  for (int i = 0; i < decimals; ++i) denominator *= 10;
  const __int128 scaled = mantissa * numerator;
  __int128 units = scaled / denominator;
  const __int128 remainder = scaled % denominator;
  if (remainder * 2 >= denominator) ++units;  // halves away from zero (sign applied after)
  if (negative) units = -units;
  if (units > std::numeric_limits<int32_t>::max() || units < std::numeric_limits<int32_t>::min()) {
    Explain(why, "\"" + std::string(text) + "\" is out of range (more than 32 bits of board units)");
    return std::nullopt;
  }
  return static_cast<int32_t>(units);
}

std::optional<Point> ParsePoint(std::string_view text, std::string* why) {
  const auto comma = text.find(',');
  if (comma == std::string_view::npos) {
    Explain(why, "\"" + std::string(text) + "\" is not a point X,Y");
    return std::nullopt;
  }
  const auto x = ParseLength(Trim(text.substr(0, comma)), why);
  if (!x) return std::nullopt;
  const auto y = ParseLength(Trim(text.substr(comma + 1)), why);
  if (!y) return std::nullopt;
  return Point{*x, *y};
}

}  // namespace boardtext
