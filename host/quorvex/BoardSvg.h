// A drawing of a board's objects as an SVG document, for people to look at:
// dark background, a colour per layer, y growing upwards on screen, and each
// text stretched over exactly the rectangle the editor measured for it.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace quorvex::cli {

// `objects` are the board's contents as the editor describes them
// (BrelixSim_DescribeObject), in drawing order, outlined areas (polygons,
// regions, split planes, the board outline) beneath the rest; objects
// without a visible shape (nets, classes, rules, ...) are left out. `title` names the drawing.
std::string DrawBoardSvg(const std::vector<nlohmann::json>& objects, const std::string& title);

// The colour of a layer id, as "#rrggbb".
std::string LayerColour(int layer);

}  // namespace quorvex::cli
