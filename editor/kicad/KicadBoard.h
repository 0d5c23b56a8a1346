// KiCad boards (*.kicad_pcb, file formats of KiCad 6 to 10) as editor boards:
// reading the stack and the drawn objects, and writing the file back with the
// committed legend inserted as one group. The board model keeps its own units
// and orientation; millimetres and KiCad's downward y exist only here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "editor/BoardFile.h"
#include "editor/BrelixSim.h"
#include "editor/EditorObject.h"
#include "editor/kicad/SExpression.h"

namespace brelix::kicad {

// The first format version whose arcs are written by three points (start,
// mid, end); earlier ones write (start CENTRE) (end START) (angle DEGREES),
// positive angles turning clockwise as KiCad shows the board.
inline constexpr int64_t kMidPointArcVersion = 20211014;

// The name of the group the legend is written as.
inline constexpr std::string_view kLegendGroupName = "Stack-up legend";
// The layer the legend goes on unless the user picks another, and the editor
// layer of the board outline: published to hosts in BrelixSim.h.
inline constexpr std::string_view kDefaultLegendLayer = kKicadDefaultLegendLayer;
inline constexpr uint8_t kOutlineLayer = kKicadOutlineLayer;

struct KicadLayer {
  int number = 0;
  std::string name;      // canonical: "F.Cu", "Cmts.User"
  std::string type;      // signal, power, mixed, jumper, user
  std::string userName;  // empty when the file gives none
};

// How the file writes what the legend adds, taken from the file itself.
struct KicadSyntax {
  bool uuidKeyword = false;  // (uuid "...") rather than (tstamp ...)
  bool quotedIds = false;
  bool strokeBlock = false;  // (stroke (width W) (type T)) rather than (width W)
  std::string strokeType = "solid";
  bool multiLine = false;        // one element per line, tab-indented
  std::string lineBreak = "\n";  // "\r\n" when the file's first line ends so
};

// A rectangle in board units, y up: x1 <= x2, y1 <= y2.
struct KicadBox {
  int64_t x1 = 0;
  int64_t y1 = 0;
  int64_t x2 = 0;
  int64_t y2 = 0;
};

struct KicadSource {
  std::string path;
  std::string text;  // the file exactly as read
  int64_t version = 0;
  KicadSyntax syntax;
  std::vector<KicadLayer> layers;
  // The editor layer each KiCad layer is drawn on, by canonical name.
  std::unordered_map<std::string, uint8_t> editorLayers;
  std::size_t rootClose = 0;  // offset of the closing ')' of the board's list
  // An earlier legend: the byte ranges a write replaces (its group and the
  // lines, arcs and texts it drew on its layer), in order.
  std::vector<std::pair<std::size_t, std::size_t>> oldLegend;
  // Where other groups name its group among their members: the new
  // group's id goes there, so that a group holding the legend still does.
  std::vector<std::pair<std::size_t, std::size_t>> legendReferences;
  // The ids, as written, of its members that it did not draw (the
  // designer's): they stay on the board and in the new group.
  std::vector<std::string> keptMembers;
  // The rectangle of its frame; nil without an earlier legend.
  std::optional<KicadBox> oldFrame;
  // The drawing sheet from (paper ...), and a box holding each item on the
  // board but the earlier legend's own drawings.
  KicadBox sheet;
  std::vector<KicadBox> itemBoxes;
  // Around the board's own outline (drawings on Edge.Cuts); nil without one.
  std::optional<KicadBox> outline;
  std::unordered_set<std::string> ids;  // every tstamp/uuid/id in the file
  // Canonical name; empty when the board lacks Cmts.User and none was chosen.
  std::string legendLayer = std::string(kDefaultLegendLayer);
  bool hasStackup = false;
};

using brelix::IsKicadPath;

// The id of the `index`th item the legend draws in its group of id `group`:
// a later run knows the legend's own items by it, whatever the designer put
// in the group besides.
std::string LegendItemId(std::string_view group, std::size_t index);

// Reads a KiCad board; KicadFileError ("FILE: line N: REASON") when refused.
// The board carries its source for writing back.
BoardFileContents ReadKicadBoard(std::string text, const std::string& name);

// The canonical name of a layer of the board the legend may go on (a user
// drawing layer: Dwgs.User, Cmts.User, Eco1.User, Eco2.User, User.1 and on;
// or F.Fab, B.Fab), found by its canonical or user name; KicadFileError
// naming the layers it takes otherwise.
std::string LegendLayerOf(const KicadSource& source, std::string_view name);

// The input text with `legend` (tracks, arcs and texts in board units)
// inserted as one group on the source's legend layer, an earlier group of
// that name and its items removed; every other byte as it was.
std::string WriteKicadBoard(const KicadSource& source, const std::vector<const EditorObject*>& legend);

// Three points of an arc in board units (y up) as an editor arc: centre,
// radius, counter-clockwise start and end angles. False when they are on
// one line.
bool ArcThroughPoints(double sx, double sy, double mx, double my, double ex, double ey, EditorObject& arc);

}  // namespace brelix::kicad
