// Lengths and points as people write them: board units (1/10000 mil) or a
// decimal number followed by mil, mm or in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace boardtext {

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const Point&) const = default;
};

// Parses "123", "-4", "1.4mil", "0.5mm", "0.01in". The exact value is rounded
// to the nearest board unit, halves away from zero. Nil for anything else or
// for a value outside 32 bits; *why (may be nil) then says what is wrong.
std::optional<int32_t> ParseLength(std::string_view text, std::string* why = nullptr);
// Parses "X,Y" (spaces around either part allowed), each part a length.
std::optional<Point> ParsePoint(std::string_view text, std::string* why = nullptr);

}  // namespace boardtext
