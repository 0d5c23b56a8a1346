// KiCad's lengths: millimetres in files, whole nanometres inside KiCad; the
// editor's board units are 1/10000 mil = 2.54 nm, y pointing up.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brelix::kicad {

// A decimal millimetre value as whole nanometres (rounded half away from
// zero past the sixth decimal); nil when it is not a plain decimal number.
std::optional<int64_t> ParseNanometres(std::string_view millimetres);
// Nanometres as board units and back, each rounded to the nearest, halves away from zero.
int64_t NanometresToUnits(int64_t nanometres);
int64_t UnitsToNanometres(int64_t units);
// Whole nanometres as KiCad writes millimetres: no exponent, no trailing zeros.
std::string FormatMillimetres(int64_t nanometres);
// A number as KiCad writes angles and constants: up to 6 decimals, no trailing zeros.
std::string FormatDecimal(double value);

}  // namespace brelix::kicad
