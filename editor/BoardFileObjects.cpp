#include "editor/BoardFileObjects.h"

#include <cmath>
#include <limits>

namespace brelix {
namespace {

using nlohmann::json;
using Json = nlohmann::ordered_json;
using K = abi::ObjectKind;

constexpr int64_t kMin32 = std::numeric_limits<int32_t>::min();
constexpr int64_t kMax32 = std::numeric_limits<int32_t>::max();

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

  const json& Field(const char* key) const { return fields.Required(value, path, key); }
  std::string PathOf(const char* key) const { return Member(path, key); }

  int32_t Coordinate(const char* key) const {
    return static_cast<int32_t>(fields.Integer(Field(key), PathOf(key), kMin32, kMax32));
  }
  int32_t Size(const char* key) const {
    return static_cast<int32_t>(fields.Integer(Field(key), PathOf(key), 0, kMax32));
  }
  uint8_t Byte(const char* key, int64_t high = 255) const {
    return static_cast<uint8_t>(fields.Integer(Field(key), PathOf(key), 0, high));
  }
  double Angle(const char* key) const { return fields.Number(Field(key), PathOf(key)); }
  std::string String(const char* key) const { return fields.String(Field(key), PathOf(key)); }
  uint8_t Flag(const char* key) const { return fields.Boolean(Field(key), PathOf(key)) ? 1 : 0; }
  uint32_t Layer() const {
    return static_cast<uint32_t>(fields.Integer(Field("layer"), PathOf("layer"), 1, kLayerCount));
  }
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
      pad.shapes[index] = static_cast<uint8_t>(fields.Integer(item[1], Element(at, 1), 0, 255));
      pad.sizeX[index] = static_cast<int32_t>(fields.Integer(item[2], Element(at, 2), 0, kMax32));
      pad.sizeY[index] = static_cast<int32_t>(fields.Integer(item[3], Element(at, 3), 0, kMax32));
    }
    const json& percent = Array("cornerPercent");
    if (percent.size() != 3)
      fields.Fail(PathOf("cornerPercent"), "must be three percentages [top, other layers, bottom]");
    for (std::size_t i = 0; i < 3; ++i)
      pad.cornerPercent[i] =
          static_cast<uint8_t>(fields.Integer(percent[i], Element(PathOf("cornerPercent"), i), 0, 100));
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

// Angles are whole degrees almost always; those are written as integers.
Json AngleJson(double degrees) {
  if (!std::isfinite(degrees)) return 0;
  if (std::trunc(degrees) == degrees && std::fabs(degrees) < 1e9) return static_cast<int64_t>(degrees);
  return degrees;
}

Json PointsJson(const std::vector<Point>& points) {
  Json out = Json::array();
  for (const Point& p : points) out.push_back(Json::array({p.x, p.y}));
  return out;
}

Json MemberKindJson(uint8_t code) {
  if (code < kMemberKinds.size()) return kMemberKinds[code];
  return code;
}

}  // namespace

abi::PcbHandle ObjectFileReader::ReferenceAt(const json& value, const std::string& path, std::size_t from,
                                             bool mustBeText) {
  const auto to = static_cast<std::size_t>(fields_.Integer(value, path, 0, kMax32 - 1));
  references_.push_back({path, from, to, mustBeText});
  return static_cast<abi::PcbHandle>(to + 1);
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
  const std::string kindName = fields_.String(fields_.Required(value, path, "kind"), Member(path, "kind"));
  const K kind = KindFromName(kindName);
  if (kind == K::None) fields_.Fail(Member(path, "kind"), "\"" + kindName + "\" is not " + kKindList);
  const Entry e{fields_, value, path};
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
      o.text = e.String("text");
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
      o.name = e.String("name");
      o.hole = e.Size("hole");
      o.stackMode = e.Byte("stackMode");
      o.shapes = {};
      o.sizeX = {};
      o.sizeY = {};
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
      o.net = e.String("net");
      o.fromPad = e.String("from");
      o.toPad = e.String("to");
      o.name = e.String("name");
      break;
    case K::Net:
      members({"kind", "name"});
      o.name = e.String("name");
      break;
    case K::Component:
      members({"kind", "layer", "x", "y", "rotation", "pattern", "nameText", "commentText"});
      o.x = e.Coordinate("x");
      o.y = e.Coordinate("y");
      o.rotation = e.Angle("rotation");
      o.pattern = e.String("pattern");
      if (const json* name = fields_.Optional(value, "nameText"))
        o.nameObject = ReferenceAt(*name, e.PathOf("nameText"), position, true);
      if (const json* comment = fields_.Optional(value, "commentText"))
        o.commentObject = ReferenceAt(*comment, e.PathOf("commentText"), position, true);
      break;
    case K::Polygon:
      members({"kind", "layer", "net", "points"});
      o.net = e.String("net");
      o.points = e.Points();
      break;
    case K::Region:
      members({"kind", "layer", "points"});
      o.points = e.Points();
      break;
    case K::SplitPlane:
      members({"kind", "layer", "net", "points"});
      o.net = e.String("net");
      o.points = e.Points();
      break;
    case K::BoardOutline:
      members({"kind", "points"});
      o.points = e.Points();
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
      o.textHeight = e.Size("textHeight");
      o.width = e.Size("lineWidth");
      const json& references = e.Array("references");
      for (std::size_t i = 0; i < references.size(); ++i)
        o.references.push_back(
            ReferenceAt(references[i], Element(e.PathOf("references"), i), position, false));
      break;
    }
    case K::Coordinate:
      members({"kind", "layer", "x", "y", "size", "lineWidth", "textHeight"});
      o.x = e.Coordinate("x");
      o.y = e.Coordinate("y");
      o.size = e.Size("size");
      o.width = e.Size("lineWidth");
      o.textHeight = e.Size("textHeight");
      break;
    case K::ObjectClass:
      members({"kind", "name", "memberKind", "members"});
      o.name = e.String("name");
      o.memberKind = e.MemberKind();
      o.members = e.Strings("members");
      break;
    case K::Rule:
      members({"kind", "name", "ruleKind", "scope1", "scope2", "value", "priority", "enabled"});
      o.name = e.String("name");
      o.ruleKind = e.Byte("ruleKind");
      o.scope1 = e.String("scope1");
      o.scope2 = e.String("scope2");
      o.value = e.Coordinate("value");
      o.priority = e.Size("priority");
      o.enabled = e.Flag("enabled");
      break;
    case K::Violation:
      members({"kind", "layer", "x", "y", "rule", "description"});
      o.x = e.Coordinate("x");
      o.y = e.Coordinate("y");
      o.rule = e.String("rule");
      o.description = e.String("description");
      break;
    case K::Embedded:
      members({"kind", "name", "description"});
      o.name = e.String("name");
      o.description = e.String("description");
      break;
    case K::EmbeddedBoard:
      members({"kind", "layer", "x", "y", "document", "rows", "columns", "rowSpacing", "columnSpacing",
               "mirrored"});
      o.x = e.Coordinate("x");
      o.y = e.Coordinate("y");
      o.document = e.String("document");
      o.rows = e.Size("rows");
      o.columns = e.Size("columns");
      o.rowSpacing = e.Coordinate("rowSpacing");
      o.columnSpacing = e.Coordinate("columnSpacing");
      o.mirrored = e.Flag("mirrored");
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

Json WriteObjectEntry(const EditorObject& o,
                      const std::unordered_map<abi::PcbHandle, std::size_t>& positions) {
  Json out = Json::object();
  out["kind"] = KindName(o.kind);
  auto layer = [&] { out["layer"] = PlainLayer(o.layer); };
  auto position = [&](abi::PcbHandle handle) -> std::optional<std::size_t> {
    const auto found = positions.find(handle);
    if (handle == 0 || found == positions.end()) return std::nullopt;
    return found->second;
  };
  switch (o.kind) {
    case K::Track:
      layer();
      out["x1"] = o.x;
      out["y1"] = o.y;
      out["x2"] = o.x2;
      out["y2"] = o.y2;
      out["width"] = o.width;
      break;
    case K::Arc:
      layer();
      out["x"] = o.x;
      out["y"] = o.y;
      out["radius"] = o.radius;
      out["startAngle"] = AngleJson(o.startAngle);
      out["endAngle"] = AngleJson(o.endAngle);
      out["width"] = o.width;
      break;
    case K::Text:
      layer();
      out["x"] = o.x;
      out["y"] = o.y;
      out["size"] = o.size;
      out["width"] = o.width;
      out["rotation"] = AngleJson(o.rotation);
      out["text"] = o.text;
      break;
    case K::Fill:
      layer();
      out["x1"] = o.x;
      out["y1"] = o.y;
      out["x2"] = o.x2;
      out["y2"] = o.y2;
      out["rotation"] = AngleJson(o.rotation);
      break;
    case K::Pad: {
      layer();
      out["x"] = o.x;
      out["y"] = o.y;
      out["rotation"] = AngleJson(o.rotation);
      out["name"] = o.name;
      out["hole"] = o.hole;
      out["stackMode"] = o.stackMode;
      Json shapes = Json::array();
      for (std::size_t i = 0; i < o.shapes.size(); ++i)
        if (o.shapes[i] != 0 || o.sizeX[i] != 0 || o.sizeY[i] != 0)
          shapes.push_back(Json::array({i, o.shapes[i], o.sizeX[i], o.sizeY[i]}));
      out["shapes"] = std::move(shapes);
      out["cornerPercent"] = o.cornerPercent;
      break;
    }
    case K::Via:
      layer();
      out["x"] = o.x;
      out["y"] = o.y;
      out["size"] = o.size;
      out["hole"] = o.hole;
      out["from"] = o.lowLayer;
      out["to"] = o.highLayer;
      break;
    case K::FromTo:
      out["x1"] = o.x;
      out["y1"] = o.y;
      out["x2"] = o.x2;
      out["y2"] = o.y2;
      break;
    case K::ManualFromTo:
      out["net"] = o.net;
      out["from"] = o.fromPad;
      out["to"] = o.toPad;
      out["name"] = o.name;
      break;
    case K::Net:
      out["name"] = o.name;
      break;
    case K::Component:
      layer();
      out["x"] = o.x;
      out["y"] = o.y;
      out["rotation"] = AngleJson(o.rotation);
      out["pattern"] = o.pattern;
      if (const auto name = position(o.nameObject)) out["nameText"] = *name;
      if (const auto comment = position(o.commentObject)) out["commentText"] = *comment;
      break;
    case K::Polygon:
    case K::SplitPlane:
      layer();
      out["net"] = o.net;
      out["points"] = PointsJson(o.points);
      break;
    case K::Region:
      layer();
      out["points"] = PointsJson(o.points);
      break;
    case K::BoardOutline:
      out["points"] = PointsJson(o.points);
      break;
    case K::ComponentBody:
    case K::DifferentialPair:
      layer();
      break;
    case K::Dimension: {
      layer();
      out["x1"] = o.x;
      out["y1"] = o.y;
      out["x2"] = o.x2;
      out["y2"] = o.y2;
      out["textHeight"] = o.textHeight;
      out["lineWidth"] = o.width;
      Json references = Json::array();
      for (abi::PcbHandle reference : o.references)
        if (const auto at = position(reference)) references.push_back(*at);
      out["references"] = std::move(references);
      break;
    }
    case K::Coordinate:
      layer();
      out["x"] = o.x;
      out["y"] = o.y;
      out["size"] = o.size;
      out["lineWidth"] = o.width;
      out["textHeight"] = o.textHeight;
      break;
    case K::ObjectClass:
      out["name"] = o.name;
      out["memberKind"] = MemberKindJson(o.memberKind);
      out["members"] = o.members;
      break;
    case K::Rule:
      out["name"] = o.name;
      out["ruleKind"] = o.ruleKind;
      out["scope1"] = o.scope1;
      out["scope2"] = o.scope2;
      out["value"] = o.value;
      out["priority"] = o.priority;
      out["enabled"] = o.enabled != 0;
      break;
    case K::Violation:
      layer();
      out["x"] = o.x;
      out["y"] = o.y;
      out["rule"] = o.rule;
      out["description"] = o.description;
      break;
    case K::Embedded:
      out["name"] = o.name;
      out["description"] = o.description;
      break;
    case K::EmbeddedBoard:
      layer();
      out["x"] = o.x;
      out["y"] = o.y;
      out["document"] = o.document;
      out["rows"] = o.rows;
      out["columns"] = o.columns;
      out["rowSpacing"] = o.rowSpacing;
      out["columnSpacing"] = o.columnSpacing;
      out["mirrored"] = o.mirrored != 0;
      break;
    default:
      break;
  }
  return out;
}

}  // namespace brelix
