// SVG elements for the board objects beyond tracks, arcs and texts: pads,
// vias, fills, polygons, regions, split planes, the board outline,
// dimensions and coordinates. Drawing units are mils with y flipped, as in
// BoardSvg.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace quorvex::cli {

// Board units as drawing units (mils).
double SvgMil(double units);
// A number as SVG text: at most four decimals, no trailing zeros, no "-0".
std::string SvgNumber(double value);
// A described object's number field; 0 when it has none.
double SvgReal(const nlohmann::json& object, const char* key);

// True for the outlined areas, which are drawn beneath everything else.
bool IsArea(const nlohmann::json& object);
// The element(s) for one described object; empty for kinds this file does
// not draw and for objects without a visible shape.
std::string DrawShape(const nlohmann::json& object, const std::string& background);

}  // namespace quorvex::cli
