// Whole-number helpers of the legend's layout: every field is 32-bit, while
// sums of coordinates and sizes are worked out in 64 bits and then saturated,
// so that a rectangle near the ends of the coordinate range cannot overflow.
#pragma once

#include <cstdint>
#include <limits>

#include "plugin/RTL/Layers.h"

namespace strativue::legend {

constexpr int32_t Clamp32(int64_t value) {
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

// Round, halves to even, saturated to the 32-bit range.
inline int32_t Round32(double value) {
  const double rounded = RoundHalfEven(value);
  if (!(rounded < 2147483647.0)) return std::numeric_limits<int32_t>::max();
  if (!(rounded > -2147483648.0)) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(rounded);
}

}  // namespace strativue::legend
