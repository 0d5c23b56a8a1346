// Feeds arbitrary text to the readers of lengths and points. An accepted
// length lies within half a board unit of the number's exact value in its
// unit, reads the same back from its board units, and negates with its sign;
// a refusal says why. A point reads as its two lengths.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "boardtext/Lengths.h"
#include "boardtext/ScriptText.h"

namespace {

// The value the text stands for in board units, by floating point.
long double Expected(std::string_view text) {
  long double factor = 1;
  if (text.ends_with("mil")) {
    text.remove_suffix(3);
    factor = 10000;
  } else if (text.ends_with("mm")) {
    text.remove_suffix(2);
    factor = 1e8L / 254;
  } else if (text.ends_with("in")) {
    text.remove_suffix(2);
    factor = 1e7L;
  }
  return std::strtold(std::string(text).c_str(), nullptr) * factor;
}

void CheckLength(std::string_view text) {
  std::string why;
  const auto length = boardtext::ParseLength(text, &why);
  if (!length) {
    if (why.empty()) std::abort();
    return;
  }
  const long double exact = Expected(text);
  if (std::fabs(exact - *length) > 0.5L + std::fabs(exact) * 1e-15L) std::abort();
  if (boardtext::ParseLength(std::to_string(*length)) != *length) std::abort();
  if (!text.empty() && text.front() != '-' && text.front() != '+' && *length != INT32_MIN) {
    const auto negated = boardtext::ParseLength("-" + std::string(text));
    if (!negated || *negated != -*length) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckLength(text);
  std::string why;
  const auto point = boardtext::ParsePoint(text, &why);
  if (!point) {
    if (why.empty()) std::abort();
    return 0;
  }
  const auto comma = text.find(',');
  const auto x = boardtext::ParseLength(boardtext::TrimBlanks(text.substr(0, comma)));
  const auto y = boardtext::ParseLength(boardtext::TrimBlanks(text.substr(comma + 1)));
  if (!x || !y || *x != point->x || *y != point->y) std::abort();
  if (boardtext::ParsePoint(std::to_string(point->x) + " , " + std::to_string(point->y)) != point)
    std::abort();
  return 0;
}
