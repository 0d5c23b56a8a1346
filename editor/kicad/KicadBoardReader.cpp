#include <algorithm>
#include <cmath>
#include <deque>
#include <filesystem>
#include <limits>
#include <numbers>

#include "editor/kicad/KicadReading.h"
#include "editor/kicad/KicadUnits.h"

namespace brelix::kicad {
namespace {

// File formats of KiCad 6 (from its development versions on) to KiCad 10.
constexpr int64_t kOldestVersion = 20210101;
constexpr int64_t kNewestVersion = 20271231;
constexpr uint8_t kMultiLayer = 74;
// Pad outlines are drawn 0.05 mm wide.
constexpr int64_t kOutlineNm = 50000;

struct Xy {
  double x = 0;  // board units, y up
  double y = 0;
};

int32_t Round32(double value) {
  return static_cast<int32_t>(std::clamp(std::round(value), -2147483648.0, 2147483647.0));
}

class ObjectReader {
 public:
  ObjectReader(const std::string& file, const KicadSource& source, std::deque<EditorObject>& objects)
      : file_(file), source_(source), objects_(objects) {}

  // A point (KEY X Y) in board units with y turned upwards.
  Xy PointOf(const Expr& list) const {
    if (!list) return {};
    return {static_cast<double>(NanometresToUnits(NanometresOf(file_, list.At(1)))),
            -static_cast<double>(NanometresToUnits(NanometresOf(file_, list.At(2))))};
  }
  Xy Point(const Expr& item, std::string_view key) const { return PointOf(item.Child(key)); }

  int32_t Length(const Expr& list) const {
    return list ? static_cast<int32_t>(NanometresToUnits(NanometresOf(file_, list.At(1)))) : 0;
  }
  // A graphic's line width: (width W) or (stroke (width W) ...).
  int32_t Width(const Expr& item) const {
    if (const Expr width = item.Child("width")) return Length(width);
    if (const Expr stroke = item.Child("stroke")) return Length(stroke.Child("width"));
    return 0;
  }

  // The editor layer of the item's (layer NAME); 0 when it has none or an unknown one.
  uint8_t LayerOf(const Expr& item) const {
    const Expr layer = item.Child("layer");
    if (!layer) return 0;
    const auto found = source_.editorLayers.find(layer.At(1).Text());
    return found == source_.editorLayers.end() ? 0 : found->second;
  }

  void Track(uint8_t layer, Xy a, Xy b, int32_t width) {
    EditorObject o = MakeObject(qvabi::ObjectKind::Track, 0);
    o.layer = layer;
    o.x = Round32(a.x);
    o.y = Round32(a.y);
    o.x2 = Round32(b.x);
    o.y2 = Round32(b.y);
    o.width = width;
    objects_.push_back(std::move(o));
  }

  void Circle(uint8_t layer, Xy centre, double radius, int32_t width) {
    EditorObject o = MakeObject(qvabi::ObjectKind::Arc, 0);
    o.layer = layer;
    o.x = Round32(centre.x);
    o.y = Round32(centre.y);
    o.radius = Round32(radius);
    o.startAngle = 0;
    o.endAngle = 360;
    o.width = width;
    objects_.push_back(std::move(o));
  }

  void Arc(uint8_t layer, Xy s, Xy m, Xy e, int32_t width) {
    EditorObject o = MakeObject(qvabi::ObjectKind::Arc, 0);
    o.layer = layer;
    o.width = width;
    if (ArcThroughPoints(s.x, s.y, m.x, m.y, e.x, e.y, o))
      objects_.push_back(std::move(o));
    else
      Track(layer, s, e, width);
  }

  // An arc item in either form: three points, or centre, start and a
  // clockwise angle. `place` as for Outline.
  template <typename Place>
  void ArcItem(const Expr& item, uint8_t layer, int32_t width, Place place) {
    if (item.Child("mid")) {
      Arc(layer, place(Point(item, "start")), place(Point(item, "mid")), place(Point(item, "end")), width);
      return;
    }
    const Expr angle = item.Child("angle");
    if (!angle) return;
    const Xy c = Point(item, "start");
    const Xy s = Point(item, "end");
    // Clockwise as shown is clockwise with y up too: a negative turn.
    const double degrees = -DegreesOf(file_, angle.At(1));
    auto turned = [&](double by) {
      const double a = by * std::numbers::pi / 180.0;
      return Xy{c.x + (s.x - c.x) * std::cos(a) - (s.y - c.y) * std::sin(a),
                c.y + (s.x - c.x) * std::sin(a) + (s.y - c.y) * std::cos(a)};
    };
    Arc(layer, place(s), place(turned(degrees / 2)), place(turned(degrees)), width);
  }

  // A closed outline through the corners.
  void Polygon(uint8_t layer, const std::vector<Xy>& corners, int32_t width) {
    for (std::size_t i = 0; i < corners.size() && corners.size() > 1; ++i)
      Track(layer, corners[i], corners[(i + 1) % corners.size()], width);
  }

  // Board graphics on Edge.Cuts: lines, arcs, circles, rectangles, polygons.
  // `place` turns a footprint's own coordinates into the board's.
  template <typename Place>
  void Outline(const Expr& item, std::string_view kind, Place place) {
    const uint8_t layer = LayerOf(item);
    if (layer != kOutlineLayer) return;
    const int32_t width = Width(item);
    if (kind == "line") {
      Track(layer, place(Point(item, "start")), place(Point(item, "end")), width);
    } else if (kind == "arc") {
      ArcItem(item, layer, width, place);
    } else if (kind == "circle") {
      const Xy centre = place(Point(item, "center"));
      const Xy end = place(Point(item, "end"));
      Circle(layer, centre, std::hypot(end.x - centre.x, end.y - centre.y), width);
    } else if (kind == "rect") {
      const Xy a = Point(item, "start");
      const Xy b = Point(item, "end");
      Polygon(layer, {place(a), place({b.x, a.y}), place(b), place({a.x, b.y})}, width);
    } else if (kind == "poly") {
      std::vector<Xy> corners;
      if (const Expr pts = item.Child("pts"))
        for (Expr p = pts.At(1); p.Valid(); p = p.Next()) {
          if (p.Head() == "xy") corners.push_back(place(PointOf(p)));
          if (p.Head() == "arc") corners.push_back(place(Point(p, "end")));
        }
      Polygon(layer, corners, width);
    }
  }

  void Pad(const Expr& pad, Xy origin, double footprintDegrees) {
    const Expr layers = pad.Child("layers");
    if (!layers) return;
    uint8_t layer = 0;
    int copperLayers = 0;
    for (Expr l = layers.At(1); l.Valid(); l = l.Next()) {
      const std::string name = l.Text();
      if (name == "*.Cu") copperLayers += 2;
      const auto found = source_.editorLayers.find(name);
      if (found != source_.editorLayers.end() && IsCopperLayer(found->second)) {
        ++copperLayers;
        layer = found->second;
      }
    }
    if (copperLayers == 0) return;
    if (copperLayers > 1) layer = kMultiLayer;

    const Expr at = pad.Child("at");
    const Xy local = PointOf(at);
    const double turn = footprintDegrees * std::numbers::pi / 180.0;
    const Xy centre{origin.x + local.x * std::cos(turn) - local.y * std::sin(turn),
                    origin.y + local.x * std::sin(turn) + local.y * std::cos(turn)};
    // A pad's own angle in the file already includes the footprint's.
    const double padDegrees = at && at.At(3).IsAtom() ? DegreesOf(file_, at.At(3)) : 0.0;
    const Expr size = pad.Child("size");
    const double w = static_cast<double>(NanometresToUnits(size ? NanometresOf(file_, size.At(1)) : 0));
    const double h = static_cast<double>(NanometresToUnits(size ? NanometresOf(file_, size.At(2)) : 0));
    const auto width = static_cast<int32_t>(NanometresToUnits(kOutlineNm));
    const std::string shape = pad.At(3).Text();
    const double a = padDegrees * std::numbers::pi / 180.0;
    auto corner = [&](double dx, double dy) {
      return Xy{centre.x + dx * std::cos(a) - dy * std::sin(a),
                centre.y + dx * std::sin(a) + dy * std::cos(a)};
    };
    if (shape == "circle") {
      Circle(layer, centre, w / 2, width);
    } else if (shape == "oval" && w != h) {
      // Two straight sides and two half circles.
      const bool wide = w > h;
      const double r = std::min(w, h) / 2;
      const double half = (std::max(w, h) - std::min(w, h)) / 2;
      const Xy p1 = wide ? corner(-half, r) : corner(-r, half);
      const Xy p2 = wide ? corner(half, r) : corner(-r, -half);
      const Xy p3 = wide ? corner(half, -r) : corner(r, -half);
      const Xy p4 = wide ? corner(-half, -r) : corner(r, half);
      Track(layer, p1, p2, width);
      Track(layer, p3, p4, width);
      const Xy c1 = wide ? corner(half, 0) : corner(0, -half);
      const Xy c2 = wide ? corner(-half, 0) : corner(0, half);
      // Each half circle bulges away from the other one's centre.
      const Xy u{(c1.x - c2.x) / (2 * half), (c1.y - c2.y) / (2 * half)};
      Arc(layer, p2, {c1.x + u.x * r, c1.y + u.y * r}, p3, width);
      Arc(layer, p4, {c2.x - u.x * r, c2.y - u.y * r}, p1, width);
    } else if (shape == "oval") {
      Circle(layer, centre, w / 2, width);
    } else {
      Polygon(layer,
              {corner(-w / 2, h / 2), corner(w / 2, h / 2), corner(w / 2, -h / 2), corner(-w / 2, -h / 2)},
              width);
    }
  }

  void Footprint(const Expr& footprint) {
    const Expr at = footprint.Child("at");
    const Xy origin = PointOf(at);
    const double degrees = at && at.At(3).IsAtom() ? DegreesOf(file_, at.At(3)) : 0.0;
    const double turn = degrees * std::numbers::pi / 180.0;
    auto place = [&](Xy p) {
      return Xy{origin.x + p.x * std::cos(turn) - p.y * std::sin(turn),
                origin.y + p.x * std::sin(turn) + p.y * std::cos(turn)};
    };
    for (Expr e = footprint.At(1); e.Valid(); e = e.Next()) {
      const std::string_view head = e.Head();
      if (head == "pad")
        Pad(e, origin, degrees);
      else if (head.starts_with("fp_"))
        Outline(e, head.substr(3), place);
    }
  }

  // An item of a legend written earlier, read back as the editor object it
  // was written from.
  void LegendItem(const Expr& item) {
    const std::string_view head = item.Head();
    const uint8_t layer = LayerOf(item);
    if (head == "gr_line") {
      Track(layer, Point(item, "start"), Point(item, "end"), Width(item));
    } else if (head == "gr_arc") {
      ArcItem(item, layer, Width(item), [](Xy p) { return p; });
    } else if (head == "gr_text") {
      EditorObject o = MakeObject(qvabi::ObjectKind::Text, 0);
      o.layer = layer;
      o.textData->text = item.At(1).Text();
      const Xy at = Point(item, "at");
      o.x = Round32(at.x);
      o.y = Round32(at.y);
      const Expr font = item.Child("effects").Child("font");
      o.size = font ? Length(font.Child("size")) : 0;
      o.width = font ? Length(font.Child("thickness")) : 0;
      objects_.push_back(std::move(o));
    }
  }

  void Item(const Expr& item) {
    const std::string_view head = item.Head();
    if (head == "segment") {
      if (const uint8_t layer = LayerOf(item); IsCopperLayer(layer))
        Track(layer, Point(item, "start"), Point(item, "end"), Width(item));
    } else if (head == "arc") {
      if (const uint8_t layer = LayerOf(item); IsCopperLayer(layer))
        Arc(layer, Point(item, "start"), Point(item, "mid"), Point(item, "end"), Width(item));
    } else if (head == "via") {
      const double size = Length(item.Child("size"));
      const double drill = Length(item.Child("drill"));
      const double ring = std::max(1.0, (size - drill) / 2);
      Circle(kMultiLayer, Point(item, "at"), (size - ring) / 2, Round32(ring));
    } else if (head == "footprint" || head == "module") {
      Footprint(item);
    } else if (head.starts_with("gr_")) {
      Outline(item, head.substr(3), [](Xy p) { return p; });
    }
  }

 private:
  const std::string& file_;
  const KicadSource& source_;
  std::deque<EditorObject>& objects_;
};

// The user drawing layers and the fabrication layers: where a table belongs,
// and nothing KiCad makes copper, cuts, masks or paste from.
bool TakesLegend(std::string_view name) {
  for (const std::string_view layer : {"Dwgs.User", "Cmts.User", "Eco1.User", "Eco2.User", "F.Fab", "B.Fab"})
    if (name == layer) return true;
  if (!name.starts_with("User.")) return false;
  const std::string_view digits = name.substr(5);
  return !digits.empty() && digits.front() != '0' &&
         digits.find_first_not_of("0123456789") == std::string_view::npos;
}

// The item's identifier: (tstamp X) or (uuid X); empty when it has none.
std::string IdOf(const Expr& item) {
  if (const Expr id = item.Child("uuid")) return id.At(1).Text();
  if (const Expr id = item.Child("tstamp")) return id.At(1).Text();
  return {};
}

// The range of a top-level item, with its line when it stands on lines of its own.
std::pair<std::size_t, std::size_t> ItemRange(std::string_view text, const Expr& item) {
  std::size_t begin = item.Begin();
  std::size_t end = item.End();
  while (begin > 0 && (text[begin - 1] == ' ' || text[begin - 1] == '\t')) --begin;
  if (begin > 0 && text[begin - 1] == '\n' && end < text.size() && (text[end] == '\n' || text[end] == '\r')) {
    if (text[end] == '\r') ++end;
    if (end < text.size() && text[end] == '\n') ++end;
  }
  return {begin, end};
}

// The bytes of an atom as the file writes it, quotes included.
std::string Written(std::string_view text, const Expr& atom) {
  return std::string(text.substr(atom.Begin(), atom.End() - atom.Begin()));
}

bool IsLegendDrawing(std::string_view head) {
  return head == "gr_line" || head == "gr_arc" || head == "gr_text";
}

// The members of an earlier legend that it drew: those with the ids it
// gives its items; for a legend written without such ids, the lines, arcs
// and texts on the layer most of them are on.
std::vector<Expr> LegendDrawings(const Expr& root,
                                 const std::vector<std::pair<std::string, std::size_t>>& groups,
                                 const std::unordered_set<std::string>& members) {
  std::unordered_set<std::string> own;
  for (const auto& [group, count] : groups)
    for (std::size_t i = 0; i < count; ++i) own.insert(LegendItemId(group, i));
  std::vector<Expr> drawings;
  std::unordered_map<std::string, int> perLayer;
  bool byId = false;
  for (Expr e = root.At(1); e.Valid(); e = e.Next()) {
    if (!e.IsList() || !IsLegendDrawing(e.Head())) continue;
    const std::string id = IdOf(e);
    if (!members.count(id)) continue;
    if (own.count(id) && !byId) {
      byId = true;
      drawings.clear();
    }
    if (byId && !own.count(id)) continue;
    drawings.push_back(e);
    ++perLayer[e.Child("layer").At(1).Text()];
  }
  if (byId) return drawings;
  std::string layer;
  int most = 0;
  for (const Expr& e : drawings)
    if (const std::string name = e.Child("layer").At(1).Text(); perLayer[name] > most) {
      most = perLayer[name];
      layer = name;
    }
  std::erase_if(drawings, [&](const Expr& e) { return e.Child("layer").At(1).Text() != layer; });
  return drawings;
}

// An earlier legend: its groups and the items it drew, which a write
// replaces; the other members are the designer's and stay.
void FindOldLegend(const std::string& file, const Expr& root, KicadSource& source) {
  std::vector<Expr> members;
  std::vector<std::pair<std::string, std::size_t>> groups;  // id and member count
  for (Expr e = root.At(1); e.Valid(); e = e.Next()) {
    if (e.Head() != "group" || e.At(1).Text() != kLegendGroupName) continue;
    source.oldLegend.push_back(ItemRange(source.text, e));
    const Expr list = e.Child("members");
    std::size_t count = 0;
    for (Expr m = list.At(1); m.Valid(); m = m.Next())
      if (m.IsAtom()) {
        members.push_back(m);
        ++count;
      }
    const Expr id = e.Child("uuid") ? e.Child("uuid") : e.Child("id");
    groups.emplace_back(id.At(1).Text(), count);
  }
  if (groups.empty()) return;
  // Other groups holding the legend's group.
  std::unordered_set<std::string> groupIds;
  for (const auto& [id, count] : groups) groupIds.insert(id);
  for (Expr e = root.At(1); e.Valid(); e = e.Next()) {
    if (e.Head() != "group" || e.At(1).Text() == kLegendGroupName) continue;
    for (Expr m = e.Child("members").At(1); m.Valid(); m = m.Next())
      if (m.IsAtom() && groupIds.count(m.Text())) source.legendReferences.emplace_back(m.Begin(), m.End());
  }
  std::unordered_set<std::string> ids;
  for (const Expr& m : members) ids.insert(m.Text());
  std::unordered_set<std::string> drawn;
  KicadBox frame{INT64_MAX, INT64_MAX, INT64_MIN, INT64_MIN};
  for (const Expr& e : LegendDrawings(root, groups, ids)) {
    drawn.insert(IdOf(e));
    source.oldLegend.push_back(ItemRange(source.text, e));
    if (e.Head() != "gr_line") continue;
    // The frame's sides are its lines farthest out.
    for (const char* end : {"start", "end"}) {
      const Expr point = e.Child(end);
      const int64_t x = NanometresToUnits(NanometresOf(file, point.At(1)));
      const int64_t y = -NanometresToUnits(NanometresOf(file, point.At(2)));
      frame = {std::min(frame.x1, x), std::min(frame.y1, y), std::max(frame.x2, x), std::max(frame.y2, y)};
    }
  }
  if (frame.x1 < frame.x2 && frame.y1 < frame.y2) source.oldFrame = frame;
  for (const Expr& m : members)
    if (!drawn.count(m.Text())) source.keptMembers.push_back(Written(source.text, m));
  std::sort(source.oldLegend.begin(), source.oldLegend.end());
}

void ReadSyntax(const Document& document, const Expr& root, KicadSource& source) {
  bool sawId = false;
  bool sawStroke = false;
  for (int32_t i = 0; i < document.Size(); ++i) {
    const Expr e(&document, i);
    if (!e.IsList()) continue;
    const std::string_view head = e.Head();
    if (head == "uuid" || head == "tstamp" || head == "id") {
      source.ids.insert(e.At(1).Text());
      if (!sawId && head != "id") {
        sawId = true;
        source.syntax.uuidKeyword = head == "uuid";
        source.syntax.quotedIds = e.At(1).Valid() && e.At(1).Kind() == NodeKind::String;
      }
    } else if (head == "stroke" && !sawStroke) {
      sawStroke = true;
      source.syntax.strokeBlock = true;
      if (const Expr type = e.Child("type")) source.syntax.strokeType = type.At(1).Text();
    }
  }
  // KiCad 8 and later write ids as (uuid "...") even where the file has none yet.
  if (!sawId) {
    source.syntax.uuidKeyword = source.version >= 20230000;
    source.syntax.quotedIds = source.syntax.uuidKeyword;
  }
  if (!sawStroke) source.syntax.strokeBlock = source.version >= 20211123;
  source.syntax.multiLine = root.At(1).Valid() && root.At(1).Line() > root.Line();
  const std::size_t firstBreak = source.text.find('\n');
  if (firstBreak != std::string::npos && firstBreak > 0 && source.text[firstBreak - 1] == '\r')
    source.syntax.lineBreak = "\r\n";
}

}  // namespace

void Refuse(const std::string& file, const Expr& at, const std::string& reason) {
  const uint32_t line = at.Line();
  throw KicadFileError(file + ": " + (line ? "line " + std::to_string(line) + ": " : std::string()) + reason);
}

int64_t LargestNanometres() { return UnitsToNanometres(std::numeric_limits<int32_t>::max()); }

int64_t NanometresOf(const std::string& file, const Expr& value) {
  if (!value.IsAtom()) Refuse(file, value, "a length is missing");
  const auto nm = ParseNanometres(value.Text());
  if (!nm) Refuse(file, value, "\"" + value.Text() + "\" is not a length in millimetres");
  if (*nm > LargestNanometres() || *nm < -LargestNanometres())
    Refuse(file, value,
           value.Text() + " mm is beyond what the editor holds (lengths and coordinates within " +
               FormatMillimetres(LargestNanometres()) + " mm either way)");
  return *nm;
}

int64_t ThicknessOf(const std::string& file, const Expr& value) {
  const int64_t nm = NanometresOf(file, value);
  if (nm <= 0) Refuse(file, value, "a thickness must be above zero, not " + value.Text() + " mm");
  return nm;
}

double FiniteNumberOf(const std::string& file, const Expr& value, const std::string& what) {
  const std::string text = value.Text();
  char* end = nullptr;
  const double number = std::strtod(text.c_str(), &end);
  if (!value.IsAtom() || text.empty() || end != text.c_str() + text.size() || !std::isfinite(number))
    Refuse(file, value, "\"" + text + "\" is not " + what);
  return number;
}

double DegreesOf(const std::string& file, const Expr& value) {
  return FiniteNumberOf(file, value, "an angle in degrees (a finite number)");
}

BoardFileContents ReadKicadBoard(std::string text, const std::string& name) {
  auto source = std::make_shared<KicadSource>();
  source->path = name;
  source->text = std::move(text);
  const Document document = Document::Parse(source->text, name);
  const Expr root = document.Root();
  if (root.Head() != "kicad_pcb")
    Refuse(name, root, "not a KiCad board (the file does not start with (kicad_pcb");
  const Expr version = root.Child("version");
  if (!version) Refuse(name, root, "the board has no (version ...)");
  const std::string versionText = version.At(1).Text();
  source->version = std::strtoll(versionText.c_str(), nullptr, 10);
  if (source->version < kOldestVersion || source->version > kNewestVersion)
    Refuse(name, version,
           "file format version " + versionText + " is not one of KiCad 6 to 10 (" +
               std::to_string(kOldestVersion) + " to " + std::to_string(kNewestVersion) + ")");
  source->rootClose = root.End() - 1;
  ReadSyntax(document, root, *source);
  ReadLayers(name, root, *source);

  BoardFileContents result;
  Board& board = result.board;
  board.fileName = std::filesystem::path(name).filename().string();
  board.unit = kMetric;
  if (const std::size_t lists = document.ImplicitLists(); lists > 0)
    board.notes.push_back(name + ": line " + std::to_string(document.LineAt(document.FirstImplicitList())) +
                          ": " +
                          (lists == 1 ? "a list written without its '(' is"
                                      : std::to_string(lists) + " lists written without their '(' are") +
                          " read as KiCad reads them");
  // KiCad reads the board's list and leaves what follows it; so does the writer.
  if (const std::size_t after = source->text.find_first_not_of(" \t\r\n\f\v", root.End());
      after != std::string::npos)
    board.notes.push_back(name + ": line " + std::to_string(document.LineAt(after)) +
                          ": the text after the board's closing parenthesis is kept as it is");
  ReadStack(name, root, *source, board);
  FindOldLegend(name, root, *source);
  ReadExtents(root, *source);
  // The legend's layer until the host picks one; a board without Cmts.User
  // opens all the same and needs a layer picked before it can be written.
  const auto comments = source->editorLayers.find(std::string(kDefaultLegendLayer));
  if (comments != source->editorLayers.end()) {
    board.currentLayer = comments->second;
  } else {
    source->legendLayer.clear();
    board.currentLayer = source->editorLayers.at("F.Cu");
  }

  ObjectReader reader(name, *source, result.objects);
  std::size_t nextOld = 0;
  for (Expr e = root.At(1); e.Valid(); e = e.Next()) {
    while (nextOld < source->oldLegend.size() && source->oldLegend[nextOld].second <= e.Begin()) ++nextOld;
    const bool inOldLegend =
        nextOld < source->oldLegend.size() && source->oldLegend[nextOld].first <= e.Begin();
    if (inOldLegend)
      reader.LegendItem(e);
    else if (e.IsList())
      reader.Item(e);
  }
  board.kicad = std::move(source);
  return result;
}

std::string LegendLayerOf(const KicadSource& source, std::string_view name) {
  std::string allowed;
  for (const KicadLayer& layer : source.layers) {
    if (!TakesLegend(layer.name)) continue;
    if (layer.name == name || (!layer.userName.empty() && layer.userName == name)) return layer.name;
    allowed += (allowed.empty() ? "" : ", ") + layer.name;
  }
  throw KicadFileError(source.path + ": \"" + std::string(name) +
                       "\" is not a drawing or fabrication layer of the board (" +
                       (allowed.empty() ? "it has none" : "one of " + allowed) + ")");
}

bool ArcThroughPoints(double sx, double sy, double mx, double my, double ex, double ey, EditorObject& arc) {
  const double d = 2 * (sx * (my - ey) + mx * (ey - sy) + ex * (sy - my));
  if (std::fabs(d) < 1e-9) return false;
  const double s2 = sx * sx + sy * sy;
  const double m2 = mx * mx + my * my;
  const double e2 = ex * ex + ey * ey;
  const double cx = (s2 * (my - ey) + m2 * (ey - sy) + e2 * (sy - my)) / d;
  const double cy = (s2 * (ex - mx) + m2 * (sx - ex) + e2 * (mx - sx)) / d;
  auto angle = [&](double x, double y) {
    double degrees = std::atan2(y - cy, x - cx) * 180.0 / std::numbers::pi;
    if (degrees < 0) degrees += 360.0;
    return degrees;
  };
  const double as = angle(sx, sy);
  const double am = angle(mx, my);
  const double ae = angle(ex, ey);
  auto sweep = [](double from, double to) {
    const double s = std::fmod(to - from + 360.0, 360.0);
    return s;
  };
  // Counter-clockwise from start to end when the middle lies on that way.
  const bool forward = sweep(as, am) < sweep(as, ae);
  arc.x = Round32(cx);
  arc.y = Round32(cy);
  arc.radius = Round32(std::hypot(sx - cx, sy - cy));
  arc.startAngle = forward ? as : ae;
  arc.endAngle = forward ? ae : as;
  return true;
}

}  // namespace brelix::kicad
