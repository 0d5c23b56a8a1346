// SVG elements for the board objects beyond tracks, arcs and texts: pads,
// vias, fills, polygons, regions, split planes, the board outline,
// dimensions and coordinates. Drawing units are mils with y flipped, as in
// BoardSvg.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace quorvex::cli {

// True for the outlined areas, which are drawn beneath everything else.
bool IsArea(const nlohmann::json& object);
// The element(s) for one described object; empty for kinds this file does
// not draw and for objects without a visible shape.
std::string DrawShape(const nlohmann::json& object, const std::string& background);

}  // namespace quorvex::cli
