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

// How points are written: in board units with y pointing up (the board
// model's own), or as KiCad shows a board: a bare number is millimetres and
// y points down.
enum class Coordinates { Board, Kicad };

// Parses "123", "-4", "1.4mil", "0.5mm", "0.01in". The exact value is rounded
// to the nearest board unit, halves away from zero. Nil for anything else or
// for a value outside 32 bits; *why (may be nil) then says what is wrong.
// With Coordinates::Kicad a bare number is millimetres.
std::optional<int32_t> ParseLength(std::string_view text, std::string* why = nullptr,
                                   Coordinates coordinates = Coordinates::Board);
// Parses "X,Y" (spaces around either part allowed), each part a length, as a
// point in board units: with Coordinates::Kicad, y is turned upwards.
std::optional<Point> ParsePoint(std::string_view text, std::string* why = nullptr,
                                Coordinates coordinates = Coordinates::Board);

}  // namespace boardtext
