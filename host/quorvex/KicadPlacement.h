// Where the legend goes on a KiCad board when the user gave no corner.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/quorvex/UserActions.h"

namespace quorvex::cli {

// The legend's size when the table cannot be measured: 6000 x 4000 mil.
inline constexpr int64_t kDefaultLegendWidth = 6000 * 10000;
inline constexpr int64_t kDefaultLegendHeight = 4000 * 10000;

// What the editor tells about a KiCad board (BrelixSim_KicadPlacement), in
// board units with y up.
struct KicadSheet {
  BoardBox sheet;
  std::vector<BoardBox> items;
  std::optional<BoardBox> outline;  // around the board's outline (Edge.Cuts)
  std::optional<BoardBox> legend;   // an earlier legend's frame
};

// The editor's JSON answer; InputError when it is not one.
KicadSheet ParseKicadSheet(const std::string& json);

struct LegendPlace {
  BoardBox box;
  bool onSheet = true;
  // The box's corners as the drag's first and last point.
  BoardPoint Corner() const;
  BoardPoint Drag() const;
};

// The rectangle of a `width` x `height` legend: an earlier legend's frame
// when there is one; else beside everything on the board (outside the box
// around all its items, kPlacementGap away), inside the drawing sheet's
// frame and clear of its title block, as near the board as it fits, the
// board's right side first; else, when a place clear of every item is
// only left inside that box, there; else right of the board, off the sheet.
LegendPlace PlaceKicadLegend(const KicadSheet& sheet, int64_t width, int64_t height);

}  // namespace quorvex::cli
