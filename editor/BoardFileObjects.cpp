#include "editor/BoardFileObjects.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "abi/Utf8.h"
#include "editor/BoardFile.h"

namespace brelix {
namespace {

using nlohmann::json;
using K = qvabi::ObjectKind;

constexpr int64_t kMin32 = std::numeric_limits<int32_t>::min();
constexpr int64_t kMax32 = std::numeric_limits<int32_t>::max();
constexpr int64_t kMaxPercent = 100;

void AppendNumber(std::string& out, int64_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, end);
}

constexpr const char* kKindList =
    "track, arc, text, fill, pad, via, fromTo, manualFromTo, net, component, polygon, region, splitPlane, "
    "boardOutline, componentBody, dimension, coordinate, class, rule, differentialPair, violation, embedded "
    "or "
    "embeddedBoard";

// What a class holds, by name; other codes are written as numbers.
constexpr std::array<const char*, 7> kMemberKinds = {"net",   "component",        "fromTo", "pad",
                                                     "layer", "differentialPair", "polygon"};

// One entry being read: its path and the checked field readers.
struct Entry {
  const FieldReader& fields;
  const json& value;
  const std::string& path;

  // The paths of fields are built only for messages: a board of many objects
  // is read without building one.
  const json& Field(const char* key) const {
    const auto found = value.find(key);
    return found != value.end() ? *found : fields.Required(value, path, key);
  }
  std::string PathOf(const char* key) const { return Member(path, key); }

  int64_t Integer(const char* key, int64_t low, int64_t high) const {
    const json& field = Field(key);
    if (field.is_number_integer() && !field.is_number_unsigned()) {
      const int64_t number = field.get<int64_t>();
      if (number >= low && number <= high) return number;
    }
    return fields.Integer(field, PathOf(key), low, high);
  }
  int32_t Coordinate(const char* key) const { return static_cast<int32_t>(Integer(key, kMin32, kMax32)); }
  int32_t Size(const char* key) const { return static_cast<int32_t>(Integer(key, 0, kMax32)); }
  uint8_t Byte(const char* key, int64_t high = 255) const {
    return static_cast<uint8_t>(Integer(key, 0, high));
  }
  double Angle(const char* key) const {
    const json& field = Field(key);
    if (field.is_number_integer() && !field.is_number_unsigned())
      return static_cast<double>(field.get<int64_t>());
    return fields.Number(field, PathOf(key));
  }
  std::string String(const char* key) const {
    const json& field = Field(key);
    if (field.is_string() && field.get_ref<const std::string&>().size() <= kMaxFileString)
      return field.get_ref<const std::string&>();
    return fields.String(field, PathOf(key));
  }
  uint8_t Flag(const char* key) const { return fields.Boolean(Field(key), PathOf(key)) ? 1 : 0; }
  uint32_t Layer() const { return static_cast<uint32_t>(Integer("layer", 1, kLayerCount)); }
  uint8_t CopperLayer(const char* key) const {
    const uint8_t id = Byte(key, kLayerCount);
    if (!IsCopperLayer(id))
      fields.Fail(PathOf(key),
                  std::to_string(id) + " is not a signal layer (1 to 32) or an internal plane (39 to 54)");
    return id;
  }

  const json& Array(const char* key) const {
    const json& array = Field(key);
    if (!array.is_array()) fields.Fail(PathOf(key), std::string("must be an array, not ") + TypeName(array));
    return array;
  }

  // An outline: at least three [X, Y] points.
  std::vector<Point> Points() const {
    const json& array = Array("points");
    if (array.size() < 3) fields.Fail(PathOf("points"), "an outline needs at least three points");
    std::vector<Point> points;
    for (std::size_t i = 0; i < array.size(); ++i) {
      const std::string at = Element(PathOf("points"), i);
      const json& point = array[i];
      if (!point.is_array() || point.size() != 2) fields.Fail(at, "must be a point [X, Y]");
      points.push_back({static_cast<int32_t>(fields.Integer(point[0], Element(at, 0), kMin32, kMax32)),
                        static_cast<int32_t>(fields.Integer(point[1], Element(at, 1), kMin32, kMax32))});
    }
    return points;
  }

  // [[layer, shape, x size, y size], ...] in rising layer order, layers 0 to 82.
  void PadShapes(EditorObject& pad) const {
    const json& array = Array("shapes");
    int previous = -1;
    for (std::size_t i = 0; i < array.size(); ++i) {
      const std::string at = Element(PathOf("shapes"), i);
      const json& item = array[i];
      if (!item.is_array() || item.size() != 4) fields.Fail(at, "must be [layer, shape, x size, y size]");
      const auto layer = static_cast<int>(fields.Integer(item[0], Element(at, 0), 0, kPadLayerCount - 1));
      if (layer <= previous) fields.Fail(Element(at, 0), "layers must be listed once each, in rising order");
      previous = layer;
      if (item[1] == 0 && item[2] == 0 && item[3] == 0)
        fields.Fail(at, "an entry without shape or size says nothing; leave it out");
      const auto index = static_cast<std::size_t>(layer);
      pad.pad->shapes[index] = static_cast<uint8_t>(fields.Integer(item[1], Element(at, 1), 0, 255));
      pad.pad->sizeX[index] = static_cast<int32_t>(fields.Integer(item[2], Element(at, 2), 0, kMax32));
      pad.pad->sizeY[index] = static_cast<int32_t>(fields.Integer(item[3], Element(at, 3), 0, kMax32));
    }
    const json& percent = Array("cornerPercent");
    if (percent.size() != 3)
      fields.Fail(PathOf("cornerPercent"), "must be three percentages [top, other layers, bottom]");
    for (std::size_t i = 0; i < 3; ++i)
      pad.pad->cornerPercent[i] = static_cast<uint8_t>(
          fields.Integer(percent[i], Element(PathOf("cornerPercent"), i), 0, kMaxPercent));
  }

  uint8_t MemberKind() const {
    const json& kind = Field("memberKind");
    if (!kind.is_string()) return Byte("memberKind");
    const std::string name = fields.String(kind, PathOf("memberKind"));
    for (std::size_t code = 0; code < kMemberKinds.size(); ++code)
      if (name == kMemberKinds[code]) return static_cast<uint8_t>(code);
    fields.Fail(
        PathOf("memberKind"),
        "\"" + name + "\" is not net, component, fromTo, pad, layer, differentialPair, polygon or a number");
  }

  std::vector<std::string> Strings(const char* key) const {
    const json& array = Array(key);
    std::vector<std::string> strings;
    for (std::size_t i = 0; i < array.size(); ++i)
      strings.push_back(fields.String(array[i], Element(PathOf(key), i)));
    return strings;
  }
};

// Writes one entry of `objects` in the file's layout, holding every value to
// what the reader takes back: sizes below zero are written as zero,
// percentages above 100 as 100, non-finite angles as 0. What has no value the
// reader would take (a layer id naming no layer, an outline of fewer than
// three points) refuses the save rather than writing a file that cannot be
// opened again.
class EntryText {
 public:
  EntryText(std::string& out, const EditorObject& object, std::size_t index)
      : out_(out), o_(object), index_(index) {
    out_ += '{';
  }

  void Key(const char* key) {
    if (!first_) out_ += ", ";
    first_ = false;
    out_ += '"';
    out_ += key;
    out_ += "\": ";
  }
  void Number(const char* key, int64_t value) {
    Key(key);
    AppendNumber(out_, value);
  }
  void Size(const char* key, int64_t value) { Number(key, std::max<int64_t>(value, 0)); }
  void String(const char* key, std::string_view text) {
    Key(key);
    AppendJsonString(out_, text);
  }
  void Boolean(const char* key, bool value) {
    Key(key);
    out_ += value ? "true" : "false";
  }
  // Angles are whole degrees almost always; those are written as integers.
  void Angle(const char* key, double degrees) {
    Key(key);
    if (!std::isfinite(degrees))
      out_ += '0';
    else if (std::trunc(degrees) == degrees && std::fabs(degrees) < 1e9)
      AppendNumber(out_, static_cast<int64_t>(degrees));
    else
      out_ += json(degrees).dump();
  }
  void Centre() {
    Number("x", o_.x);
    Number("y", o_.y);
  }
  void Corners() {
    Number("x1", o_.x);
    Number("y1", o_.y);
    Number("x2", o_.x2);
    Number("y2", o_.y2);
  }
  void Layer() {
    const uint32_t id = PlainLayer(o_.layer);
    if (id < 1 || id > static_cast<uint32_t>(kLayerCount))
      Refuse("layer",
             std::to_string(o_.layer) + " names no layer (1 to " + std::to_string(kLayerCount) + ")");
    Number("layer", id);
  }
  void CopperLayer(const char* key, uint8_t id) {
    if (!IsCopperLayer(id))
      Refuse(key, std::to_string(id) + " is not a signal layer (1 to 32) or an internal plane (39 to 54)");
    Number(key, id);
  }
  void Points() {
    const std::vector<Point>& points = o_.outline->points;
    if (points.size() < 3)
      Refuse("points", "an outline needs at least three points, not " + std::to_string(points.size()));
    Key("points");
    out_ += '[';
    for (std::size_t i = 0; i < points.size(); ++i) {
      out_ += i ? ", [" : "[";
      AppendNumber(out_, points[i].x);
      out_ += ", ";
      AppendNumber(out_, points[i].y);
      out_ += ']';
    }
    out_ += ']';
  }

 private:
  [[noreturn]] void Refuse(const char* key, const std::string& rule) const {
    throw BoardFileError(Member(Element("objects", index_), key) + ": " + rule +
                         "; the board cannot be saved so that it opens again");
  }

  std::string& out_;
  const EditorObject& o_;
  std::size_t index_;
  bool first_ = true;
};

}  // namespace

qvabi::PcbHandle ObjectFileReader::ReferenceAt(const json& value, const std::string& path, std::size_t from,
                                               bool mustBeText) {
  const auto to = static_cast<std::size_t>(fields_.Integer(value, path, 0, kMax32 - 1));
  references_.push_back({path, from, to, mustBeText});
  return static_cast<qvabi::PcbHandle>(to + 1);
}

void ObjectFileReader::CheckReferences(const std::deque<EditorObject>& objects) const {
  for (const Reference& reference : references_) {
    if (reference.to >= objects.size())
      fields_.Fail(reference.path, "there is no objects[" + std::to_string(reference.to) + "]");
    if (reference.to == reference.from) fields_.Fail(reference.path, "an object cannot refer to itself");
    if (reference.mustBeText && objects[reference.to].kind != K::Text)
      fields_.Fail(reference.path, "objects[" + std::to_string(reference.to) + "] is not a text");
  }
}

EditorObject ObjectFileReader::Read(const json& value, const std::string& path) {
  const std::size_t position = count_++;
  if (!value.is_object()) fields_.Fail(path, std::string("must be an object, not ") + TypeName(value));
  const Entry e{fields_, value, path};
  const std::string kindName = e.String("kind");
  const K kind = KindFromName(kindName);
  if (kind == K::None) fields_.Fail(e.PathOf("kind"), "\"" + kindName + "\" is not " + kKindList);
  auto members = [&](std::initializer_list<const char*> allowed) {
    fields_.CheckMembers(value, path, allowed);
  };
  EditorObject o = MakeObject(kind, 0);
  switch (kind) {
    case K::Track:
      members({"kind", "layer", "x1", "y1", "x2", "y2", "width"});
      o.x = e.Coordinate("x1");
      o.y = e.Coordinate("y1");
      o.x2 = e.Coordinate("x2");
      o.y2 = e.Coordinate("y2");
      o.width = e.Size("width");
      break;
    case K::Arc:
      members({"kind", "layer", "x", "y", "radius", "startAngle", "endAngle", "width"});
      o.x = e.Coordinate("x");
      o.y = e.Coordinate("y");
      o.radius = e.Size("radius");
      o.startAngle = e.Angle("startAngle");
      o.endAngle = e.Angle("endAngle");
      o.width = e.Size("width");
      break;
    case K::Text:
      members({"kind", "layer", "x", "y", "size", "width", "rotation", "text"});
      o.x = e.Coordinate("x");
      o.y = e.Coordinate("y");
      o.size = e.Size("size");
      o.width = e.Size("width");
      o.rotation = e.Angle("rotation");
      o.textData->text = e.String("text");
      break;
    case K::Fill:
      members({"kind", "layer", "x1", "y1", "x2", "y2", "rotation"});
      o.x = e.Coordinate("x1");
      o.y = e.Coordinate("y1");
      o.x2 = e.Coordinate("x2");
      o.y2 = e.Coordinate("y2");
      o.rotation = e.Angle("rotation");
      break;
    case K::Pad:
      members(
          {"kind", "layer", "x", "y", "rotation", "name", "hole", "stackMode", "shapes", "cornerPercent"});
      o.x = e.Coordinate("x");
      o.y = e.Coordinate("y");
      o.rotation = e.Angle("rotation");
      o.labels->name = e.String("name");
      o.hole = e.Size("hole");
      o.pad->stackMode = e.Byte("stackMode");
      o.pad->shapes = {};
      o.pad->sizeX = {};
      o.pad->sizeY = {};
      e.PadShapes(o);
      break;
    case K::Via:
      members({"kind", "layer", "x", "y", "size", "hole", "from", "to"});
      o.x = e.Coordinate("x");
      o.y = e.Coordinate("y");
      o.size = e.Size("size");
      o.hole = e.Size("hole");
      o.lowLayer = e.CopperLayer("from");
      o.highLayer = e.CopperLayer("to");
      break;
    case K::FromTo:
      members({"kind", "x1", "y1", "x2", "y2"});
      o.x = e.Coordinate("x1");
      o.y = e.Coordinate("y1");
      o.x2 = e.Coordinate("x2");
      o.y2 = e.Coordinate("y2");
      break;
    case K::ManualFromTo:
      members({"kind", "net", "from", "to", "name"});
      o.labels->net = e.String("net");
      o.labels->fromPad = e.String("from");
      o.labels->toPad = e.String("to");
      o.labels->name = e.String("name");
      break;
    case K::Net:
      members({"kind", "name"});
      o.labels->name = e.String("name");
      break;
    case K::Component:
      members({"kind", "layer", "x", "y", "rotation", "pattern", "nameText", "commentText"});
      o.x = e.Coordinate("x");
      o.y = e.Coordinate("y");
      o.rotation = e.Angle("rotation");
      o.component->pattern = e.String("pattern");
      if (const json* name = fields_.Optional(value, "nameText"))
        o.component->nameObject = ReferenceAt(*name, e.PathOf("nameText"), position, true);
      if (const json* comment = fields_.Optional(value, "commentText"))
        o.component->commentObject = ReferenceAt(*comment, e.PathOf("commentText"), position, true);
      break;
    case K::Polygon:
      members({"kind", "layer", "net", "points"});
      o.labels->net = e.String("net");
      o.outline->points = e.Points();
      break;
    case K::Region:
      members({"kind", "layer", "points"});
      o.outline->points = e.Points();
      break;
    case K::SplitPlane:
      members({"kind", "layer", "net", "points"});
      o.labels->net = e.String("net");
      o.outline->points = e.Points();
      break;
    case K::BoardOutline:
      members({"kind", "points"});
      o.outline->points = e.Points();
      break;
    case K::ComponentBody:
    case K::DifferentialPair:
      members({"kind", "layer"});
      break;
    case K::Dimension: {
      members({"kind", "layer", "x1", "y1", "x2", "y2", "textHeight", "lineWidth", "references"});
      o.x = e.Coordinate("x1");
      o.y = e.Coordinate("y1");
      o.x2 = e.Coordinate("x2");
      o.y2 = e.Coordinate("y2");
      o.dimension->textHeight = e.Size("textHeight");
      o.width = e.Size("lineWidth");
      const json& references = e.Array("references");
      for (std::size_t i = 0; i < references.size(); ++i)
        o.dimension->references.push_back(
            ReferenceAt(references[i], Element(e.PathOf("references"), i), position, false));
      break;
    }
    case K::Coordinate:
      members({"kind", "layer", "x", "y", "size", "lineWidth", "textHeight"});
      o.x = e.Coordinate("x");
      o.y = e.Coordinate("y");
      o.size = e.Size("size");
      o.width = e.Size("lineWidth");
      o.dimension->textHeight = e.Size("textHeight");
      break;
    case K::ObjectClass:
      members({"kind", "name", "memberKind", "members"});
      o.labels->name = e.String("name");
      o.objectClass->memberKind = e.MemberKind();
      o.objectClass->members = e.Strings("members");
      break;
    case K::Rule:
      members({"kind", "name", "ruleKind", "scope1", "scope2", "value", "priority", "enabled"});
      o.labels->name = e.String("name");
      o.designRule->ruleKind = e.Byte("ruleKind");
      o.designRule->scope1 = e.String("scope1");
      o.designRule->scope2 = e.String("scope2");
      o.designRule->value = e.Coordinate("value");
      o.designRule->priority = e.Size("priority");
      o.designRule->enabled = e.Flag("enabled");
      break;
    case K::Violation:
      members({"kind", "layer", "x", "y", "rule", "description"});
      o.x = e.Coordinate("x");
      o.y = e.Coordinate("y");
      o.labels->rule = e.String("rule");
      o.labels->description = e.String("description");
      break;
    case K::Embedded:
      members({"kind", "name", "description"});
      o.labels->name = e.String("name");
      o.labels->description = e.String("description");
      break;
    case K::EmbeddedBoard:
      members({"kind", "layer", "x", "y", "document", "rows", "columns", "rowSpacing", "columnSpacing",
               "mirrored"});
      o.x = e.Coordinate("x");
      o.y = e.Coordinate("y");
      o.embeddedBoard->document = e.String("document");
      o.embeddedBoard->rows = e.Size("rows");
      o.embeddedBoard->columns = e.Size("columns");
      o.embeddedBoard->rowSpacing = e.Coordinate("rowSpacing");
      o.embeddedBoard->columnSpacing = e.Coordinate("columnSpacing");
      o.embeddedBoard->mirrored = e.Flag("mirrored");
      break;
    default:
      break;
  }
  // Every kind but these names its layer; they keep the editor's default.
  switch (kind) {
    case K::FromTo:
    case K::ManualFromTo:
    case K::Net:
    case K::BoardOutline:
    case K::ObjectClass:
    case K::Rule:
    case K::Embedded:
      break;
    default:
      o.layer = e.Layer();
  }
  return o;
}

void AppendJsonString(std::string& out, std::string_view text) {
  const bool plain = text.size() <= kMaxFileString && std::all_of(text.begin(), text.end(), [](char c) {
                       return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
                     });
  if (plain) {
    out += '"';
    out += text;
    out += '"';
    return;
  }
  // The reader takes UTF-8 (anything else becomes U+FFFD) of at most 255
  // bytes, cut between characters.
  std::string valid =
      qvabi::Utf8InvalidAt(text) == text.size() ? std::string(text) : qvabi::ToValidUtf8(text);
  valid.resize(qvabi::Utf8CutLength(valid, kMaxFileString));
  out += json(valid).dump(-1, ' ', false, json::error_handler_t::replace);
}

void AppendObjectEntry(std::string& out, const ObjectPositions& objects, std::size_t index) {
  const EditorObject& o = *objects.list[index];
  EntryText e(out, o, index);
  auto position = [&](qvabi::PcbHandle handle) -> std::optional<std::size_t> {
    const auto found = objects.positions.find(handle);
    if (handle == 0 || found == objects.positions.end() || found->second == index) return std::nullopt;
    return found->second;
  };
  // A component's name and comment must be texts; any other reference is left out.
  auto textPosition = [&](qvabi::PcbHandle handle) -> std::optional<std::size_t> {
    const auto at = position(handle);
    return at && objects.list[*at]->kind == K::Text ? at : std::nullopt;
  };
  e.String("kind", KindName(o.kind));
  switch (o.kind) {
    case K::Track:
      e.Layer();
      e.Corners();
      e.Size("width", o.width);
      break;
    case K::Arc:
      e.Layer();
      e.Centre();
      e.Size("radius", o.radius);
      e.Angle("startAngle", o.startAngle);
      e.Angle("endAngle", o.endAngle);
      e.Size("width", o.width);
      break;
    case K::Text:
      e.Layer();
      e.Centre();
      e.Size("size", o.size);
      e.Size("width", o.width);
      e.Angle("rotation", o.rotation);
      e.String("text", o.textData->text);
      break;
    case K::Fill:
      e.Layer();
      e.Corners();
      e.Angle("rotation", o.rotation);
      break;
    case K::Pad: {
      e.Layer();
      e.Centre();
      e.Angle("rotation", o.rotation);
      e.String("name", o.labels->name);
      e.Size("hole", o.hole);
      e.Number("stackMode", o.pad->stackMode);
      e.Key("shapes");
      out += '[';
      bool first = true;
      for (std::size_t i = 0; i < o.pad->shapes.size(); ++i) {
        const int64_t x = std::max<int64_t>(o.pad->sizeX[i], 0);
        const int64_t y = std::max<int64_t>(o.pad->sizeY[i], 0);
        if (o.pad->shapes[i] == 0 && x == 0 && y == 0) continue;
        out += first ? "[" : ", [";
        first = false;
        AppendNumber(out, static_cast<int64_t>(i));
        for (const int64_t value : {static_cast<int64_t>(o.pad->shapes[i]), x, y}) {
          out += ", ";
          AppendNumber(out, value);
        }
        out += ']';
      }
      out += ']';
      e.Key("cornerPercent");
      out += '[';
      for (std::size_t i = 0; i < o.pad->cornerPercent.size(); ++i) {
        if (i) out += ", ";
        AppendNumber(out, std::min<int64_t>(o.pad->cornerPercent[i], kMaxPercent));
      }
      out += ']';
      break;
    }
    case K::Via:
      e.Layer();
      e.Centre();
      e.Size("size", o.size);
      e.Size("hole", o.hole);
      e.CopperLayer("from", o.lowLayer);
      e.CopperLayer("to", o.highLayer);
      break;
    case K::FromTo:
      e.Corners();
      break;
    case K::ManualFromTo:
      e.String("net", o.labels->net);
      e.String("from", o.labels->fromPad);
      e.String("to", o.labels->toPad);
      e.String("name", o.labels->name);
      break;
    case K::Net:
      e.String("name", o.labels->name);
      break;
    case K::Component:
      e.Layer();
      e.Centre();
      e.Angle("rotation", o.rotation);
      e.String("pattern", o.component->pattern);
      if (const auto name = textPosition(o.component->nameObject)) e.Number("nameText", *name);
      if (const auto comment = textPosition(o.component->commentObject)) e.Number("commentText", *comment);
      break;
    case K::Polygon:
    case K::SplitPlane:
      e.Layer();
      e.String("net", o.labels->net);
      e.Points();
      break;
    case K::Region:
      e.Layer();
      e.Points();
      break;
    case K::BoardOutline:
      e.Points();
      break;
    case K::ComponentBody:
    case K::DifferentialPair:
      e.Layer();
      break;
    case K::Dimension: {
      e.Layer();
      e.Corners();
      e.Size("textHeight", o.dimension->textHeight);
      e.Size("lineWidth", o.width);
      e.Key("references");
      out += '[';
      bool first = true;
      for (qvabi::PcbHandle reference : o.dimension->references)
        if (const auto at = position(reference)) {
          if (!first) out += ", ";
          first = false;
          AppendNumber(out, static_cast<int64_t>(*at));
        }
      out += ']';
      break;
    }
    case K::Coordinate:
      e.Layer();
      e.Centre();
      e.Size("size", o.size);
      e.Size("lineWidth", o.width);
      e.Size("textHeight", o.dimension->textHeight);
      break;
    case K::ObjectClass: {
      e.String("name", o.labels->name);
      const uint8_t memberKind = o.objectClass->memberKind;
      if (memberKind < kMemberKinds.size())
        e.String("memberKind", kMemberKinds[memberKind]);
      else
        e.Number("memberKind", memberKind);
      e.Key("members");
      out += '[';
      for (std::size_t i = 0; i < o.objectClass->members.size(); ++i) {
        if (i) out += ", ";
        AppendJsonString(out, o.objectClass->members[i]);
      }
      out += ']';
      break;
    }
    case K::Rule:
      e.String("name", o.labels->name);
      e.Number("ruleKind", o.designRule->ruleKind);
      e.String("scope1", o.designRule->scope1);
      e.String("scope2", o.designRule->scope2);
      e.Number("value", o.designRule->value);
      e.Size("priority", o.designRule->priority);
      e.Boolean("enabled", o.designRule->enabled != 0);
      break;
    case K::Violation:
      e.Layer();
      e.Centre();
      e.String("rule", o.labels->rule);
      e.String("description", o.labels->description);
      break;
    case K::Embedded:
      e.String("name", o.labels->name);
      e.String("description", o.labels->description);
      break;
    case K::EmbeddedBoard:
      e.Layer();
      e.Centre();
      e.String("document", o.embeddedBoard->document);
      e.Size("rows", o.embeddedBoard->rows);
      e.Size("columns", o.embeddedBoard->columns);
      e.Number("rowSpacing", o.embeddedBoard->rowSpacing);
      e.Number("columnSpacing", o.embeddedBoard->columnSpacing);
      e.Boolean("mirrored", o.embeddedBoard->mirrored != 0);
      break;
    default:
      break;
  }
  out += '}';
}

}  // namespace brelix
