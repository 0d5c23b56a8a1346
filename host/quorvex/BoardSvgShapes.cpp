#include "host/quorvex/BoardSvgShapes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "host/quorvex/BoardSvg.h"

namespace quorvex::cli {
namespace {

using nlohmann::json;

constexpr const char* kOutlineColour = "#e8e8d0";
constexpr double kOutlineWidthMil = 8.0;
// Pad shape codes: round, rectangular, octagonal, rounded rectangle.
constexpr int kRound = 1;
constexpr int kOctagon = 3;
constexpr int kRoundedRectangle = 9;

std::string Colour(const json& object) {
  const auto found = object.find("layer");
  return LayerColour(found != object.end() && found->is_number_integer() ? found->get<int>() : 0);
}

// "x,y" of a board point on screen.
std::string Point(double xMil, double yMil) { return SvgNumber(xMil) + "," + SvgNumber(-yMil); }

// The points of an outlined area as an SVG path; empty with fewer than three.
std::string PathOf(const json& object) {
  const auto found = object.find("points");
  if (found == object.end() || !found->is_array() || found->size() < 3) return {};
  std::string d;
  for (const json& p : *found) {
    if (!p.is_array() || p.size() != 2 || !p[0].is_number() || !p[1].is_number()) return {};
    d += (d.empty() ? "M " : " L ") + Point(SvgMil(p[0].get<double>()), SvgMil(p[1].get<double>()));
  }
  return d + " Z";
}

// A pad's size and shape on one layer, drawn about the origin.
std::string PadLayerShape(int shape, double w, double h, double radius, const std::string& colour) {
  const std::string fill = " fill=\"" + colour + "\"/>";
  if (shape == kOctagon) {
    const double c = std::min(w, h) / 4;
    const double x = w / 2;
    const double y = h / 2;
    return "<polygon points=\"" + Point(-x + c, -y) + " " + Point(x - c, -y) + " " + Point(x, -y + c) + " " +
           Point(x, y - c) + " " + Point(x - c, y) + " " + Point(-x + c, y) + " " + Point(-x, y - c) + " " +
           Point(-x, -y + c) + "\"" + fill;
  }
  // A round pad with two sizes is an oblong: a rectangle with half-round ends.
  const double r = shape == kRound ? std::min(w, h) / 2 : shape == kRoundedRectangle ? radius : 0.0;
  std::string rect = "<rect x=\"" + SvgNumber(-w / 2) + "\" y=\"" + SvgNumber(-h / 2) + "\" width=\"" +
                     SvgNumber(w) + "\" height=\"" + SvgNumber(h) + "\"";
  if (r > 0) rect += " rx=\"" + SvgNumber(r) + "\"";
  return rect + fill;
}

std::string Hole(double x, double y, double hole, const std::string& background) {
  if (hole <= 0) return {};
  return "<circle cx=\"" + SvgNumber(x) + "\" cy=\"" + SvgNumber(-y) + "\" r=\"" + SvgNumber(hole / 2) +
         "\" fill=\"" + background + "\"/>";
}

// The bottom layer's shape first, then the top layer's over it, each in its
// layer's colour, turned by the pad's rotation; then the hole.
std::string Pad(const json& object, const std::string& background) {
  const auto shapes = object.find("shapes");
  if (shapes == object.end() || !shapes->is_array()) return {};
  const double x = SvgMil(SvgReal(object, "x"));
  const double y = SvgMil(SvgReal(object, "y"));
  std::string body;
  for (int layer : {32, 1}) {
    for (const json& entry : *shapes) {
      if (!entry.is_array() || entry.size() != 5 || entry[0] != layer) continue;
      const double w = SvgMil(entry[2].get<double>());
      const double h = SvgMil(entry[3].get<double>());
      if (w > 0 && h > 0)
        body += PadLayerShape(entry[1].get<int>(), w, h, SvgMil(entry[4].get<double>()), LayerColour(layer));
    }
  }
  if (body.empty()) return {};
  // Board angles turn counter-clockwise; with y down on screen that is a negative SVG rotation.
  std::string out = "<g transform=\"translate(" + SvgNumber(x) + " " + SvgNumber(-y) + ") rotate(" +
                    SvgNumber(-SvgReal(object, "rotation")) + ")\">" + body + "</g>";
  return out + Hole(x, y, SvgMil(SvgReal(object, "hole")), background);
}

std::string Via(const json& object, const std::string& background) {
  const double size = SvgMil(SvgReal(object, "size"));
  if (size <= 0) return {};
  const double x = SvgMil(SvgReal(object, "x"));
  const double y = SvgMil(SvgReal(object, "y"));
  return "<circle cx=\"" + SvgNumber(x) + "\" cy=\"" + SvgNumber(-y) + "\" r=\"" + SvgNumber(size / 2) +
         "\" fill=\"" + Colour(object) + "\"/>" + Hole(x, y, SvgMil(SvgReal(object, "hole")), background);
}

// A fill is its rectangle turned about its centre.
std::string Fill(const json& object) {
  const double x1 = SvgMil(SvgReal(object, "x"));
  const double y1 = SvgMil(SvgReal(object, "y"));
  const double x2 = SvgMil(SvgReal(object, "x2"));
  const double y2 = SvgMil(SvgReal(object, "y2"));
  const double w = std::fabs(x2 - x1);
  const double h = std::fabs(y2 - y1);
  if (w <= 0 || h <= 0) return {};
  return "<g transform=\"translate(" + SvgNumber((x1 + x2) / 2) + " " + SvgNumber(-(y1 + y2) / 2) +
         ") rotate(" + SvgNumber(-SvgReal(object, "rotation")) + ")\"><rect x=\"" + SvgNumber(-w / 2) +
         "\" y=\"" + SvgNumber(-h / 2) + "\" width=\"" + SvgNumber(w) + "\" height=\"" + SvgNumber(h) +
         "\" fill=\"" + Colour(object) + "\"/></g>";
}

std::string Area(const json& object, const std::string& kind) {
  const std::string d = PathOf(object);
  if (d.empty()) return {};
  if (kind == "boardOutline")
    return "<path d=\"" + d + "\" fill=\"none\" stroke=\"" + kOutlineColour + "\" stroke-width=\"" +
           SvgNumber(kOutlineWidthMil) + "\" stroke-linejoin=\"round\"/>";
  const std::string colour = Colour(object);
  // A poured polygon shows its outline over a lighter fill; regions and
  // split planes are solid copper.
  if (kind == "polygon")
    return "<path d=\"" + d + "\" fill=\"" + colour + "\" fill-opacity=\"0.3\" stroke=\"" + colour +
           "\" stroke-width=\"" + SvgNumber(kOutlineWidthMil / 2) + "\"/>";
  return "<path d=\"" + d + "\" fill=\"" + colour + "\" fill-opacity=\"0.6\"/>";
}

std::string Line(double x1, double y1, double x2, double y2, double width, const std::string& colour) {
  return "<line x1=\"" + SvgNumber(x1) + "\" y1=\"" + SvgNumber(-y1) + "\" x2=\"" + SvgNumber(x2) +
         "\" y2=\"" + SvgNumber(-y2) + "\" stroke=\"" + colour + "\" stroke-width=\"" +
         SvgNumber(std::max(width, 0.1)) + "\"/>";
}

// The measured line with a tick at each end and its length in mils above it.
std::string Dimension(const json& object) {
  const double x1 = SvgMil(SvgReal(object, "x"));
  const double y1 = SvgMil(SvgReal(object, "y"));
  const double x2 = SvgMil(SvgReal(object, "x2"));
  const double y2 = SvgMil(SvgReal(object, "y2"));
  const double length = std::hypot(x2 - x1, y2 - y1);
  if (length <= 0) return {};
  const double width = SvgMil(SvgReal(object, "lineWidth"));
  const double text = std::max(SvgMil(SvgReal(object, "textHeight")), 1.0);
  const std::string colour = Colour(object);
  // The unit normal, to the left of the direction of measurement.
  const double nx = -(y2 - y1) / length;
  const double ny = (x2 - x1) / length;
  const double tick = text / 2;
  std::string out = Line(x1, y1, x2, y2, width, colour);
  out += Line(x1 - nx * tick, y1 - ny * tick, x1 + nx * tick, y1 + ny * tick, width, colour);
  out += Line(x2 - nx * tick, y2 - ny * tick, x2 + nx * tick, y2 + ny * tick, width, colour);
  const double angle = std::atan2(y2 - y1, x2 - x1) * 180.0 / std::numbers::pi;
  const double mx = (x1 + x2) / 2 + nx * tick;
  const double my = (y1 + y2) / 2 + ny * tick;
  char label[64];
  std::snprintf(label, sizeof label, "%.0fmil", length);
  return out + "<text transform=\"translate(" + SvgNumber(mx) + " " + SvgNumber(-my) + ") rotate(" +
         SvgNumber(-angle) + ")\" font-size=\"" + SvgNumber(text) + "\" text-anchor=\"middle\" fill=\"" +
         colour + "\">" + label + "</text>";
}

// A cross of the coordinate's size at its point.
std::string Coordinate(const json& object) {
  const double size = SvgMil(SvgReal(object, "size"));
  if (size <= 0) return {};
  const double x = SvgMil(SvgReal(object, "x"));
  const double y = SvgMil(SvgReal(object, "y"));
  const double width = SvgMil(SvgReal(object, "lineWidth"));
  const std::string colour = Colour(object);
  return Line(x - size / 2, y, x + size / 2, y, width, colour) +
         Line(x, y - size / 2, x, y + size / 2, width, colour);
}

}  // namespace

// Drawing units are mils: board units / 10000.
double SvgMil(double units) { return units / 10000.0; }

std::string SvgNumber(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.4f", value);
  std::string text(buffer);
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  return text;
}

double SvgReal(const json& object, const char* key) {
  const auto found = object.find(key);
  return found != object.end() && found->is_number() ? found->get<double>() : 0.0;
}

bool IsArea(const json& object) {
  const std::string kind = object.value("kind", std::string());
  return kind == "polygon" || kind == "region" || kind == "splitPlane" || kind == "boardOutline";
}

std::string DrawShape(const json& object, const std::string& background) {
  const std::string kind = object.value("kind", std::string());
  if (kind == "pad") return Pad(object, background);
  if (kind == "via") return Via(object, background);
  if (kind == "fill") return Fill(object);
  if (IsArea(object)) return Area(object, kind);
  if (kind == "dimension") return Dimension(object);
  if (kind == "coordinate") return Coordinate(object);
  return {};
}

}  // namespace quorvex::cli
