#include "host/quorvex/BoardSvg.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>

#include "abi/Utf8.h"
#include "host/quorvex/BoardSvgShapes.h"

namespace quorvex::cli {
namespace {

constexpr double kLongestSidePixels = 1600.0;
constexpr double kMinMarginMil = 100.0;
// A monospaced font's advance and cap height as shares of its size. The font
// size is chosen so that the text's natural width is already the measured
// one; textLength then makes it exact where the viewer supports it.
constexpr double kMonoAdvance = 0.602;
constexpr double kCapHeight = 0.73;
constexpr const char* kBackground = "#0c1016";

// Text as XML takes it: markup characters escaped, text that is not UTF-8
// repaired, control characters (which XML forbids, tab and line breaks
// aside) dropped and the non-characters U+FFFE and U+FFFF replaced.
std::string Escape(const std::string& raw) {
  const std::string text = qvabi::Utf8InvalidAt(raw) == raw.size() ? raw : qvabi::ToValidUtf8(raw);
  std::string escaped;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') break;
        if (text.compare(i, 2, "\xEF\xBF") == 0 && i + 2 < text.size() &&
            (text[i + 2] == '\xBE' || text[i + 2] == '\xBF')) {
          escaped += "\xEF\xBF\xBD";
          i += 2;
          break;
        }
        escaped += c;
    }
  }
  return escaped;
}

int64_t Int(const nlohmann::json& object, const char* key) {
  const auto found = object.find(key);
  return found != object.end() && found->is_number() ? found->get<int64_t>() : 0;
}

struct Bounds {
  double left = std::numeric_limits<double>::max();
  double bottom = std::numeric_limits<double>::max();
  double right = std::numeric_limits<double>::lowest();
  double top = std::numeric_limits<double>::lowest();
  bool Empty() const { return left > right; }
  void Add(double x, double y) {
    left = std::min(left, x);
    right = std::max(right, x);
    bottom = std::min(bottom, y);
    top = std::max(top, y);
  }
};

// Screen y: the board's y grows upwards.
std::string Y(double yMil) { return SvgNumber(-yMil); }

std::string Stroke(const nlohmann::json& object) {
  return "stroke=\"" + LayerColour(static_cast<int>(Int(object, "layer"))) + "\" stroke-width=\"" +
         SvgNumber(std::max(SvgMil(Int(object, "width")), 0.1)) + "\"";
}

std::string Track(const nlohmann::json& object) {
  return "<line x1=\"" + SvgNumber(SvgMil(Int(object, "x"))) + "\" y1=\"" + Y(SvgMil(Int(object, "y"))) +
         "\" x2=\"" + SvgNumber(SvgMil(Int(object, "x2"))) + "\" y2=\"" + Y(SvgMil(Int(object, "y2"))) +
         "\" " + Stroke(object) + " stroke-linecap=\"round\"/>";
}

std::string Arc(const nlohmann::json& object) {
  const double cx = SvgMil(Int(object, "x"));
  const double cy = SvgMil(Int(object, "y"));
  const double r = SvgMil(Int(object, "radius"));
  const double start = SvgReal(object, "startAngle");
  double sweep = std::fmod(SvgReal(object, "endAngle") - start, 360.0);
  if (sweep < 0) sweep += 360.0;
  if (sweep == 0.0)
    return "<circle cx=\"" + SvgNumber(cx) + "\" cy=\"" + Y(cy) + "\" r=\"" + SvgNumber(r) +
           "\" fill=\"none\" " + Stroke(object) + "/>";
  const double a0 = start * std::numbers::pi / 180.0;
  const double a1 = (start + sweep) * std::numbers::pi / 180.0;
  // Counter-clockwise on the board is counter-clockwise on screen, which
  // with SVG's downward y is its negative sweep direction.
  return "<path d=\"M " + SvgNumber(cx + r * std::cos(a0)) + " " + Y(cy + r * std::sin(a0)) + " A " +
         SvgNumber(r) + " " + SvgNumber(r) + " 0 " + (sweep > 180.0 ? "1" : "0") + " 0 " +
         SvgNumber(cx + r * std::cos(a1)) + " " + Y(cy + r * std::sin(a1)) + "\" fill=\"none\" " +
         Stroke(object) + " stroke-linecap=\"round\"/>";
}

std::string Text(const nlohmann::json& object) {
  const std::string text = object.value("text", std::string());
  if (text.empty()) return {};
  const double rotation = SvgReal(object, "rotation");
  double left = 0;
  double bottom = 0;
  double width = 0;
  double height = 0;
  if (rotation == 0.0 && object.contains("boundingRect")) {
    // Exactly the rectangle the editor measured.
    const auto& rect = object["boundingRect"];
    left = SvgMil(rect[0].get<int64_t>());
    bottom = SvgMil(rect[1].get<int64_t>());
    width = SvgMil(rect[2].get<int64_t>()) - left;
    height = SvgMil(rect[3].get<int64_t>()) - bottom;
  } else {
    // The unturned extent by the editor's rule, turned about the origin.
    const int64_t size = Int(object, "size");
    const int64_t stroke = Int(object, "width");
    left = SvgMil(Int(object, "x"));
    bottom = SvgMil(Int(object, "y"));
    width = SvgMil(static_cast<int64_t>(text.size()) * (size * 2 / 3) + stroke);
    height = SvgMil(size + stroke);
  }
  if (width <= 0 || height <= 0) return {};
  // The font size gives the measured width; the vertical scale stretches
  // the capitals to the measured height.
  const double fontSize = width / (kMonoAdvance * static_cast<double>(text.size()));
  const double stretch = height / (kCapHeight * fontSize);
  std::string transform = "translate(" + SvgNumber(left) + " " + Y(bottom) + ")";
  if (rotation != 0.0) transform += " rotate(" + SvgNumber(-rotation) + ")";
  transform += " scale(1 " + SvgNumber(stretch) + ")";
  return "<text transform=\"" + transform + "\" font-size=\"" + SvgNumber(fontSize) + "\" textLength=\"" +
         SvgNumber(width) + "\" lengthAdjust=\"spacingAndGlyphs\" fill=\"" +
         LayerColour(static_cast<int>(Int(object, "layer"))) + "\">" + Escape(text) + "</text>";
}

void AddBounds(Bounds& bounds, const nlohmann::json& object) {
  if (object.contains("boundingRect") && object["boundingRect"].is_array() &&
      object["boundingRect"].size() == 4) {
    const auto& rect = object["boundingRect"];
    bounds.Add(SvgMil(rect[0].get<int64_t>()), SvgMil(rect[1].get<int64_t>()));
    bounds.Add(SvgMil(rect[2].get<int64_t>()), SvgMil(rect[3].get<int64_t>()));
  }
}

}  // namespace

std::string LayerColour(int layer) {
  // Mid layers and mechanical layers cycle through their own families.
  static constexpr std::array<const char*, 6> kMidLayers = {"#ffa020", "#30d0d0", "#c060ff",
                                                            "#a0e040", "#ff6090", "#6090ff"};
  static constexpr std::array<const char*, 4> kMechanical = {"#e070e0", "#70c0ff", "#f0a0a0", "#a0f0c0"};
  if (layer == 1) return "#ff3030";  // top layer
  if (layer >= 2 && layer <= 31) return kMidLayers[static_cast<std::size_t>(layer - 2) % kMidLayers.size()];
  if (layer == 32) return "#3c8cff";                 // bottom layer
  if (layer == 33) return "#ffe040";                 // top overlay
  if (layer == 34) return "#c8a020";                 // bottom overlay
  if (layer == 35 || layer == 36) return "#909090";  // pastes
  if (layer == 37) return "#b060b0";                 // top solder mask
  if (layer == 38) return "#c050c0";                 // bottom solder mask
  if (layer >= 39 && layer <= 54) return "#40c070";  // internal planes
  if (layer == 55) return "#c07000";                 // drill guide
  if (layer == 56) return "#ff40ff";                 // keep-out
  if (layer >= 57 && layer <= 72)
    return kMechanical[static_cast<std::size_t>(layer - 57) % kMechanical.size()];
  if (layer == 73) return "#ff8000";  // drill drawing
  return "#d0d0d0";
}

std::string DrawBoardSvg(const std::vector<nlohmann::json>& objects, const std::string& title) {
  Bounds bounds;
  for (const auto& object : objects) AddBounds(bounds, object);
  if (bounds.Empty()) bounds = {0, 0, 1000, 1000};
  const double margin =
      std::max(kMinMarginMil, 0.04 * std::max(bounds.right - bounds.left, bounds.top - bounds.bottom));
  const double left = bounds.left - margin;
  const double top = bounds.top + margin;
  const double width = bounds.right - bounds.left + 2 * margin;
  const double height = bounds.top - bounds.bottom + 2 * margin;
  const double scale = kLongestSidePixels / std::max(width, height);

  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + SvgNumber(std::round(width * scale)) +
         "\" height=\"" + SvgNumber(std::round(height * scale)) + "\" viewBox=\"" + SvgNumber(left) + " " +
         Y(top) + " " + SvgNumber(width) + " " + SvgNumber(height) + "\">\n";
  svg += "<title>" + Escape(title) + "</title>\n";
  svg += "<rect x=\"" + SvgNumber(left) + "\" y=\"" + Y(top) + "\" width=\"" + SvgNumber(width) +
         "\" height=\"" + SvgNumber(height) + "\" fill=\"" + kBackground + "\"/>\n";
  svg += "<g font-family=\"DejaVu Sans Mono, Consolas, monospace\">\n";
  // Outlined areas first, so that everything else shows on top of them.
  for (const bool areas : {true, false}) {
    for (const auto& object : objects) {
      if (IsArea(object) != areas) continue;
      const std::string kind = object.value("kind", std::string());
      std::string element;
      if (kind == "track")
        element = Track(object);
      else if (kind == "arc")
        element = Arc(object);
      else if (kind == "text")
        element = Text(object);
      else
        element = DrawShape(object, kBackground);
      if (!element.empty()) svg += element + "\n";
    }
  }
  svg += "</g>\n</svg>\n";
  return svg;
}

}  // namespace quorvex::cli
