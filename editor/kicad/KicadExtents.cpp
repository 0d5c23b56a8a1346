// Where things are on a KiCad board, for placing the legend beside them: the
// drawing sheet and a box around each item of the board's list. The boxes
// may be larger than KiCad's own, never smaller: a text counts as a square as
// wide as it could run in any direction, an arc as its whole circle.
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "editor/kicad/KicadReading.h"
#include "editor/kicad/KicadUnits.h"

namespace brelix::kicad {
namespace {

struct PaperSize {
  const char* name;
  double width;  // millimetres, landscape
  double height;
};
constexpr std::array<PaperSize, 15> kPapers = {{{"A5", 210, 148},
                                                {"A4", 297, 210},
                                                {"A3", 420, 297},
                                                {"A2", 594, 420},
                                                {"A1", 841, 594},
                                                {"A0", 1189, 841},
                                                {"A", 279.4, 215.9},
                                                {"B", 431.8, 279.4},
                                                {"C", 558.8, 431.8},
                                                {"D", 863.6, 558.8},
                                                {"E", 1117.6, 863.6},
                                                {"GERBER", 812.8, 812.8},
                                                {"USLetter", 279.4, 215.9},
                                                {"USLegal", 355.6, 215.9},
                                                {"USLedger", 431.8, 279.4}}};

// Nanometres, y up.
struct Point {
  double x = 0;
  double y = 0;
};

// A footprint's place: its own coordinates turned and moved onto the board.
struct Placement {
  Point origin;
  double radians = 0;
  Point operator()(Point p) const {
    return {origin.x + p.x * std::cos(radians) - p.y * std::sin(radians),
            origin.y + p.x * std::sin(radians) + p.y * std::cos(radians)};
  }
};

bool IsTextItem(std::string_view head) {
  return head == "gr_text" || head == "fp_text" || head == "property" || head == "text";
}

class Extent {
 public:
  // A length in nanometres; nil when the element is not one (the stack and
  // outline readers judge the numbers they need).
  static std::optional<double> Length(const Expr& value) {
    if (!value.IsAtom()) return std::nullopt;
    const auto nm = ParseNanometres(value.Text());
    return nm ? std::optional<double>(static_cast<double>(*nm)) : std::nullopt;
  }
  // (KEY X Y) as a point with y up; nil when not two lengths.
  static std::optional<Point> PointOf(const Expr& list) {
    const auto x = Length(list.At(1));
    const auto y = Length(list.At(2));
    if (!x || !y) return std::nullopt;
    return Point{*x, -*y};
  }
  static double Angle(const Expr& at) {
    if (!at.At(3).IsAtom()) return 0;
    const double degrees = std::strtod(at.At(3).Text().c_str(), nullptr);
    return std::isfinite(degrees) ? degrees * std::numbers::pi / 180.0 : 0;
  }

  void Add(Point p, double grow) {
    grow = std::fabs(grow);
    box_ = {std::min(box_.x1, p.x - grow), std::min(box_.y1, p.y - grow), std::max(box_.x2, p.x + grow),
            std::max(box_.y2, p.y + grow)};
  }

  // Half the stroke of an item: (width W) or (stroke (width W)).
  static double HalfStroke(const Expr& item) {
    Expr width = item.Child("width");
    if (!width) width = item.Child("stroke").Child("width");
    return Length(width.At(1)).value_or(0) / 2;
  }

  // Whether a text or its effects say it is hidden: (hide yes) or a bare hide.
  static bool Hidden(const Expr& item) {
    for (const Expr& list : {item, item.Child("effects")}) {
      if (const Expr hide = list.Child("hide"); hide && hide.At(1).Text() != "no") return true;
      for (Expr e = list.At(1); e.Valid(); e = e.Next())
        if (e.IsAtom() && e.Kind() == NodeKind::Atom && e.Text() == "hide") return true;
    }
    return false;
  }

  // A shown text: its box as justified, a little larger than KiCad's glyphs,
  // turned about its anchor. A footprint's text is taken at its own angle
  // and at that angle plus the footprint's, whichever the file means.
  void Text(const Expr& item, const Placement& place) {
    if (Hidden(item)) return;
    const Expr at = item.Child("at");
    const auto anchor = PointOf(at);
    if (!anchor) return;
    // A property's value follows its name; other texts' strings are their text.
    std::string text = item.Head() == "property" ? item.At(2).Text() : std::string();
    for (Expr e = item.At(1); e.Valid() && item.Head() != "property"; e = e.Next())
      if (e.IsAtom() && e.Kind() == NodeKind::String && e.Text().size() > text.size()) text = e.Text();
    std::size_t lines = 1;
    std::size_t longest = 0;
    for (std::size_t start = 0; start <= text.size();) {
      const std::size_t end = std::min(text.find('\n', start), text.size());
      longest = std::max(longest, end - start);
      if (end < text.size()) ++lines;
      start = end + 1;
    }
    const Expr effects = item.Child("effects");
    const Expr font = effects.Child("font");
    const double height = Length(font.Child("size").At(1)).value_or(0);
    const double width = Length(font.Child("size").At(2)).value_or(0);
    const double stroke = Length(font.Child("thickness").At(1)).value_or(0);
    const double w = static_cast<double>(longest) * width * 1.1 + stroke;
    const double h = static_cast<double>(lines) * height * 1.7 + stroke;
    bool left = false, right = false, top = false, bottom = false, mirror = false;
    for (Expr j = effects.Child("justify").At(1); j.Valid(); j = j.Next()) {
      const std::string word = j.Text();
      left = left || word == "left";
      right = right || word == "right";
      top = top || word == "top";
      bottom = bottom || word == "bottom";
      mirror = mirror || word == "mirror";
    }
    if (mirror) std::swap(left, right);
    const double x1 = left ? 0 : right ? -w : -w / 2;
    // y up: a top-justified text hangs below its anchor.
    const double y1 = top ? -h : bottom ? 0 : -h / 2;
    const double own = Angle(at);
    for (const double turn : {own, own + place.radians}) {
      for (const Point corner :
           {Point{x1, y1}, Point{x1 + w, y1}, Point{x1, y1 + h}, Point{x1 + w, y1 + h}}) {
        const Point p = place(*anchor);
        Add({p.x + corner.x * std::cos(turn) - corner.y * std::sin(turn),
             p.y + corner.x * std::sin(turn) + corner.y * std::cos(turn)},
            stroke / 2);
      }
      if (place.radians == 0) break;
    }
  }

  // A pad: its whole size in any direction, and the shapes of a custom pad,
  // which are drawn around its centre.
  void Pad(const Expr& pad, const Placement& place) {
    const auto at = PointOf(pad.Child("at"));
    if (!at) return;
    const Expr size = pad.Child("size");
    double reach = std::hypot(Length(size.At(1)).value_or(0), Length(size.At(2)).value_or(0)) / 2;
    if (const Expr primitives = pad.Child("primitives")) {
      Extent shapes;
      shapes.Walk(primitives, Placement{}, 0);
      if (shapes.any())
        reach = std::max(
            {reach, std::hypot(shapes.box_.x1, shapes.box_.y1), std::hypot(shapes.box_.x2, shapes.box_.y2),
             std::hypot(shapes.box_.x1, shapes.box_.y2), std::hypot(shapes.box_.x2, shapes.box_.y1)});
    }
    Add(place(*at), reach);
  }

  // An arc or circle as its whole circle.
  void Round(const Expr& item, const Placement& place, double grow) {
    const auto start = PointOf(item.Child("start"));
    const auto end = PointOf(item.Child("end"));
    const auto mid = PointOf(item.Child("mid"));
    const auto centre = PointOf(item.Child("center"));
    Point c;
    double r = 0;
    if (centre && end) {
      c = *centre;
      r = std::hypot(end->x - c.x, end->y - c.y);
    } else if (start && mid && end) {
      const double d =
          2 * (start->x * (mid->y - end->y) + mid->x * (end->y - start->y) + end->x * (start->y - mid->y));
      if (std::fabs(d) < 1) {
        Add(place(*start), grow);
        Add(place(*end), grow);
        return;
      }
      const double s2 = start->x * start->x + start->y * start->y;
      const double m2 = mid->x * mid->x + mid->y * mid->y;
      const double e2 = end->x * end->x + end->y * end->y;
      c = {(s2 * (mid->y - end->y) + m2 * (end->y - start->y) + e2 * (start->y - mid->y)) / d,
           (s2 * (end->x - mid->x) + m2 * (start->x - end->x) + e2 * (mid->x - start->x)) / d};
      r = std::hypot(start->x - c.x, start->y - c.y);
    } else if (start && end) {
      // KiCad 6's early arcs: (start CENTRE) (end POINT).
      c = *start;
      r = std::hypot(end->x - c.x, end->y - c.y);
    } else {
      return;
    }
    Add(place(c), r + grow);
  }

  // Every point in the list and the lists inside it.
  void Walk(const Expr& list, const Placement& place, double grow) {
    const std::string_view head = list.Head();
    if (head == "pad") return Pad(list, place);
    if (IsTextItem(head)) Text(list, place);
    grow = std::max(grow, HalfStroke(list));
    if (const auto height = Length(list.Child("height").At(1))) grow = std::max(grow, std::fabs(*height));
    if (head.ends_with("arc") || head.ends_with("circle")) {
      Round(list, place, grow);
      return;
    }
    if (head == "start" || head == "end" || head == "mid" || head == "center" || head == "xy" ||
        head == "at") {
      if (const auto p = PointOf(list)) Add(place(*p), grow);
      return;
    }
    if (head == "via") grow = std::max(grow, Length(list.Child("size").At(1)).value_or(0) / 2);
    for (Expr e = list.At(1); e.Valid(); e = e.Next())
      if (e.IsList() && !(IsTextItem(head) && e.Head() == "at")) Walk(e, place, grow);
  }

  void Footprint(const Expr& footprint) {
    const Expr at = footprint.Child("at");
    const auto origin = PointOf(at);
    if (!origin) return;
    const Placement place{*origin, Angle(at)};
    Add(*origin, 0);
    for (Expr e = footprint.At(1); e.Valid(); e = e.Next())
      if (e.IsList() && e.Head() != "at") Walk(e, place, 0);
  }

  bool any() const { return box_.x1 <= box_.x2; }
  // In board units, a unit further out on each side for the rounding.
  KicadBox Units() const {
    auto units = [](double nm) { return NanometresToUnits(static_cast<int64_t>(std::llround(nm))); };
    return {units(box_.x1) - 1, units(box_.y1) - 1, units(box_.x2) + 1, units(box_.y2) + 1};
  }

 private:
  struct Box {
    double x1 = INFINITY;
    double y1 = INFINITY;
    double x2 = -INFINITY;
    double y2 = -INFINITY;
  };
  Box box_;
};

// Elements of the board's list that are settings rather than items.
bool IsSetting(std::string_view head) {
  for (const char* setting :
       {"version", "generator", "generator_version", "general", "paper", "page", "title_block", "layers",
        "setup", "property", "net", "net_class", "group", "generated", "embedded_fonts", "embedded_files"})
    if (head == setting) return true;
  return false;
}

KicadBox Sheet(const Expr& root) {
  const Expr paper = root.Child("paper");
  const std::string name = paper ? paper.At(1).Text() : "A4";
  double width = 297;
  double height = 210;
  if (name == "User") {
    const auto w = Extent::Length(paper.At(2));
    const auto h = Extent::Length(paper.At(3));
    if (w && h && *w > 0 && *h > 0) {
      width = *w / 1e6;
      height = *h / 1e6;
    }
  } else {
    for (const PaperSize& size : kPapers)
      if (name == size.name) {
        width = size.width;
        height = size.height;
      }
  }
  bool portrait = false;
  for (Expr e = paper.At(2); e.Valid(); e = e.Next())
    portrait = portrait || (e.IsAtom() && e.Text() == "portrait");
  if (portrait && width > height) std::swap(width, height);
  auto units = [](double mm) { return NanometresToUnits(std::llround(mm * 1e6)); };
  return {0, -units(height), units(width), 0};
}

}  // namespace

void ReadExtents(const Expr& root, KicadSource& source) {
  source.sheet = Sheet(root);
  std::size_t nextOld = 0;
  for (Expr e = root.At(1); e.Valid(); e = e.Next()) {
    if (!e.IsList() || IsSetting(e.Head())) continue;
    while (nextOld < source.oldLegend.size() && source.oldLegend[nextOld].second <= e.Begin()) ++nextOld;
    if (nextOld < source.oldLegend.size() && source.oldLegend[nextOld].first <= e.Begin()) continue;
    Extent extent;
    if (e.Head() == "footprint" || e.Head() == "module")
      extent.Footprint(e);
    else
      extent.Walk(e, Placement{}, 0);
    if (!extent.any()) continue;
    const KicadBox box = extent.Units();
    source.itemBoxes.push_back(box);
    if (e.Child("layer").At(1).Text() != "Edge.Cuts") continue;
    const KicadBox& o = source.outline.value_or(box);
    source.outline = KicadBox{std::min(o.x1, box.x1), std::min(o.y1, box.y1), std::max(o.x2, box.x2),
                              std::max(o.y2, box.y2)};
  }
}

}  // namespace brelix::kicad
