// Writes the committed legend into the KiCad file it came from: one group of
// gr_line, gr_arc and gr_text items on the chosen layer, in the file's own
// syntax, inserted before the board's closing parenthesis.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <tuple>

#include "editor/kicad/KicadBoard.h"
#include "editor/kicad/KicadText.h"
#include "editor/kicad/KicadUnits.h"

namespace brelix::kicad {
namespace {

// Board units as whole nanometres: exactly for whole units, else rounded once.
int64_t Nanometres(double units) {
  if (std::trunc(units) == units) return UnitsToNanometres(static_cast<int64_t>(units));
  return std::llround(units * 2.54);
}

// A board point as KiCad millimetres with y pointing down.
std::string At(double x, double y) {
  return FormatMillimetres(Nanometres(x)) + " " + FormatMillimetres(Nanometres(-y));
}

std::string Mm(int64_t units) { return FormatMillimetres(UnitsToNanometres(units)); }

class Writer {
 public:
  explicit Writer(const KicadSource& source) : source_(source), syntax_(source.syntax) {
    std::random_device seed;
    random_.seed((static_cast<uint64_t>(seed()) << 32) ^ seed());
    groupId_ = NewId();
  }

  // The group's id as the file writes ids.
  std::string GroupIdText() const { return IdText(groupId_); }

  // The next item's id, which tells it for the legend's own.
  std::string ItemId() {
    std::string id = LegendItemId(groupId_, members_.size());
    members_.push_back(id);
    return id;
  }

  // A fresh version 4 UUID that the file does not use yet.
  std::string NewId() {
    for (;;) {
      std::uniform_int_distribution<uint32_t> nibble(0, 15);
      std::string id;
      for (int i = 0; i < 32; ++i) {
        uint32_t v = nibble(random_);
        if (i == 12) v = 4;
        if (i == 16) v = 8 | (v & 3);
        if (i == 8 || i == 12 || i == 16 || i == 20) id += '-';
        id += "0123456789abcdef"[v];
      }
      if (!source_.ids.count(id) && used_.insert(id).second) return id;
    }
  }

  std::string IdText(const std::string& id) const { return syntax_.quotedIds ? Quote(id) : id; }
  std::string IdElement(const std::string& id) const {
    return std::string("(") + (syntax_.uuidKeyword ? "uuid " : "tstamp ") + IdText(id) + ")";
  }

  // An item from its head and elements, one line or one element per line.
  std::string Item(const std::string& head, const std::vector<std::string>& elements) const {
    if (!syntax_.multiLine) {
      std::string out = "  (" + head;
      for (const std::string& e : elements) out += " " + e;
      return out + ")\n";
    }
    std::string out = "\t(" + head + "\n";
    for (const std::string& e : elements) out += Indent(e, "\t\t") + "\n";
    return out + "\t)\n";
  }

  // A one-line element spread one list per line below the first level.
  static std::string Indent(const std::string& element, const std::string& tabs) {
    // Elements are built as "(key a b)" or "(key (x ...) (y ...))"; nested
    // lists go on their own lines, as KiCad 8 and later write them.
    std::string out;
    int depth = 0;
    for (std::size_t i = 0; i < element.size(); ++i) {
      const char c = element[i];
      if (c == '"') {
        const std::size_t close = StringEnd(element, i);
        out.append(element, i, close - i);
        i = close - 1;
        continue;
      }
      if (c == '(') {
        if (depth > 0) {
          while (!out.empty() && out.back() == ' ') out.pop_back();
          out += "\n" + tabs + std::string(static_cast<std::size_t>(depth), '\t');
        }
        ++depth;
        out += c;
      } else if (c == ')') {
        --depth;
        if (i > 0 && element[i - 1] == ')')
          out += "\n" + tabs + std::string(static_cast<std::size_t>(depth), '\t');
        out += c;
      } else {
        out += c;
      }
    }
    return tabs + out;
  }

  static std::size_t StringEnd(const std::string& text, std::size_t open) {
    std::size_t i = open + 1;
    while (i < text.size() && text[i] != '"') i += text[i] == '\\' ? 2 : 1;
    return std::min(i + 1, text.size());
  }

  std::string Stroke(int64_t width) const {
    if (syntax_.strokeBlock) return "(stroke (width " + Mm(width) + ") (type " + syntax_.strokeType + "))";
    return "(width " + Mm(width) + ")";
  }

  std::string Layer() const { return "(layer " + Quote(source_.legendLayer) + ")"; }

  void Track(const EditorObject& o) {
    const std::string id = ItemId();
    out_ += Item("gr_line", {"(start " + At(o.x, o.y) + ")", "(end " + At(o.x2, o.y2) + ")", Stroke(o.width),
                             Layer(), IdElement(id)});
  }

  void ArcPart(const EditorObject& o, double from, double sweep) {
    auto point = [&](double degrees) {
      const double a = degrees * std::numbers::pi / 180.0;
      return At(o.x + o.radius * std::cos(a), o.y + o.radius * std::sin(a));
    };
    const std::string id = ItemId();
    if (source_.version < kMidPointArcVersion) {
      // Counter-clockwise with y up is counter-clockwise as KiCad shows it too: a negative angle.
      out_ +=
          Item("gr_arc", {"(start " + At(o.x, o.y) + ")", "(end " + point(from) + ")",
                          "(angle " + FormatDecimal(-sweep) + ")", Stroke(o.width), Layer(), IdElement(id)});
      return;
    }
    out_ += Item("gr_arc", {"(start " + point(from) + ")", "(mid " + point(from + sweep / 2) + ")",
                            "(end " + point(from + sweep) + ")", Stroke(o.width), Layer(), IdElement(id)});
  }

  void Arc(const EditorObject& o) {
    double sweep = std::fmod(o.endAngle - o.startAngle, 360.0);
    if (sweep < 0) sweep += 360.0;
    if (sweep == 0.0) {
      // A full circle as two half arcs: three points cannot name a whole turn.
      ArcPart(o, o.startAngle, 180.0);
      ArcPart(o, o.startAngle + 180.0, 180.0);
    } else {
      ArcPart(o, o.startAngle, sweep);
    }
  }

  void Text(const EditorObject& o) {
    if (o.textData->text.empty()) return;
    const KicadTextPlacement t = PlaceText(o);
    const std::string id = ItemId();
    std::string at = "(at " + At(static_cast<double>(t.x), static_cast<double>(t.y));
    if (t.degrees != 0.0 || syntax_.multiLine) at += " " + FormatDecimal(t.degrees);
    at += ")";
    const std::string effects = "(effects (font (size " + FormatMillimetres(t.heightNm) + " " +
                                FormatMillimetres(t.widthNm) + ") (thickness " +
                                FormatMillimetres(t.thicknessNm) + ")) (justify left bottom))";
    out_ += Item("gr_text " + Quote(o.textData->text), {at, Layer(), IdElement(id), effects});
  }

  // The legend's group: the members of an earlier legend it did not draw, then the new items.
  std::string Group() {
    const std::string id = GroupIdText();
    std::string members = "(members";
    for (const std::string& m : source_.keptMembers) members += " " + m;
    for (const std::string& m : members_) members += " " + IdText(m);
    members += ")";
    const std::string idElement = syntax_.uuidKeyword ? "(uuid " + id + ")" : "(id " + id + ")";
    return Item("group " + Quote(kLegendGroupName), {idElement, members});
  }

  std::string Block(const std::vector<const EditorObject*>& legend) {
    for (const EditorObject* o : legend) {
      if (!o) continue;
      switch (o->kind) {
        case qvabi::ObjectKind::Track:
          Track(*o);
          break;
        case qvabi::ObjectKind::Arc:
          Arc(*o);
          break;
        case qvabi::ObjectKind::Text:
          Text(*o);
          break;
        default:
          break;
      }
    }
    if (members_.empty()) return {};
    return out_ + Group();
  }

 private:
  const KicadSource& source_;
  const KicadSyntax& syntax_;
  std::mt19937_64 random_;
  std::unordered_set<std::string> used_;
  std::string groupId_;
  std::vector<std::string> members_;
  std::string out_;
};

}  // namespace

std::string LegendItemId(std::string_view group, std::size_t index) {
  // Two 64-bit FNV-1a hashes of "GROUP/INDEX", shaped as a version 4 UUID.
  const std::string key = std::string(group) + "/" + std::to_string(index);
  auto hash = [&](uint64_t basis) {
    for (const char c : key) {
      basis ^= static_cast<unsigned char>(c);
      basis *= 1099511628211ull;
    }
    return basis;
  };
  const uint64_t high = hash(14695981039346656037ull);
  const uint64_t low = hash(high ^ 0x9e3779b97f4a7c15ull);
  std::string id;
  for (int i = 0; i < 32; ++i) {
    uint64_t v = ((i < 16 ? high : low) >> (4 * (15 - i % 16))) & 15;
    if (i == 12) v = 4;
    if (i == 16) v = 8 | (v & 3);
    if (i == 8 || i == 12 || i == 16 || i == 20) id += '-';
    id += "0123456789abcdef"[v];
  }
  return id;
}

std::string WriteKicadBoard(const KicadSource& source, const std::vector<const EditorObject*>& legend) {
  const std::string& text = source.text;
  if (source.legendLayer.empty())
    throw KicadFileError(source.path + ": the board has no layer " + std::string(kDefaultLegendLayer) +
                         "; choose the legend's layer");
  Writer writer(source);
  std::string block = writer.Block(legend);
  // Nothing committed (a cancelled run): the file stays as it was, an
  // earlier legend included.
  if (block.empty()) return text;
  const std::string& lineBreak = source.syntax.lineBreak;
  if (lineBreak != "\n") {
    // Strings are written with their line breaks escaped, so every '\n' of the block ends a line.
    std::string converted;
    converted.reserve(block.size() * 2);
    for (const char c : block) {
      if (c == '\n')
        converted += lineBreak;
      else
        converted += c;
    }
    block = std::move(converted);
  }
  // The earlier legend's group and drawings go; groups that held it name the new one.
  std::vector<std::tuple<std::size_t, std::size_t, std::string>> changes;
  for (const auto& [begin, end] : source.oldLegend) changes.emplace_back(begin, end, std::string());
  for (const auto& [begin, end] : source.legendReferences)
    changes.emplace_back(begin, end, writer.GroupIdText());
  std::sort(changes.begin(), changes.end());
  std::string out;
  out.reserve(text.size() + block.size());
  std::size_t from = 0;
  for (const auto& [begin, end, replacement] : changes) {
    if (begin < from) continue;
    out.append(text, from, begin - from);
    out += replacement;
    from = end;
  }
  out.append(text, from, source.rootClose - from);
  if (!out.empty() && out.back() != '\n') out += lineBreak;
  out += block;
  out.append(text, source.rootClose, std::string::npos);
  return out;
}

}  // namespace brelix::kicad
