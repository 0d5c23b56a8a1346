#include "editor/BoardFileObjects.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "abi/Utf8.h"
#include "editor/BoardFile.h"
#include "editor/ObjectSchema.h"

namespace brelix {
namespace {

using nlohmann::json;
using K = qvabi::ObjectKind;

constexpr int64_t kMin32 = std::numeric_limits<int32_t>::min();
constexpr int64_t kMax32 = std::numeric_limits<int32_t>::max();

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
  std::vector<Point> Points(const char* key) const {
    const json& array = Array(key);
    if (array.size() < 3) fields.Fail(PathOf(key), "an outline needs at least three points");
    std::vector<Point> points;
    for (std::size_t i = 0; i < array.size(); ++i) {
      const std::string at = Element(PathOf(key), i);
      const json& point = array[i];
      if (!point.is_array() || point.size() != 2) fields.Fail(at, "must be a point [X, Y]");
      points.push_back({static_cast<int32_t>(fields.Integer(point[0], Element(at, 0), kMin32, kMax32)),
                        static_cast<int32_t>(fields.Integer(point[1], Element(at, 1), kMin32, kMax32))});
    }
    return points;
  }

  // [[layer, shape, x size, y size], ...] in rising layer order, layers 0 to
  // 82; every layer not listed has neither shape nor size.
  void PadShapes(const char* key, PadData& pad) const {
    pad.shapes = {};
    pad.sizeX = {};
    pad.sizeY = {};
    const json& array = Array(key);
    int previous = -1;
    for (std::size_t i = 0; i < array.size(); ++i) {
      const std::string at = Element(PathOf(key), i);
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
  }

  // [top, other layers, bottom], each within the field's bounds.
  void CornerPercent(const schema::Field& field, uint8_t* percent) const {
    const json& array = Array(field.fileKey);
    if (array.size() != 3)
      fields.Fail(PathOf(field.fileKey), "must be three percentages [top, other layers, bottom]");
    for (std::size_t i = 0; i < 3; ++i)
      percent[i] = static_cast<uint8_t>(
          fields.Integer(array[i], Element(PathOf(field.fileKey), i), field.low, field.high));
  }

  uint8_t MemberKind(const char* key) const {
    const json& kind = Field(key);
    if (!kind.is_string()) return Byte(key);
    const std::string name = fields.String(kind, PathOf(key));
    for (std::size_t code = 0; code < kMemberKinds.size(); ++code)
      if (name == kMemberKinds[code]) return static_cast<uint8_t>(code);
    fields.Fail(
        PathOf(key),
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
  void Points(const char* key, const std::vector<Point>& points) {
    if (points.size() < 3)
      Refuse(key, "an outline needs at least three points, not " + std::to_string(points.size()));
    Key(key);
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
  const schema::KindSchema& kindSchema = *schema::SchemaOf(kind);
  for (const auto& item : value.items()) {
    bool known = item.key() == "kind";
    for (const schema::Field* field : kindSchema.fileFields) known = known || item.key() == field->fileKey;
    if (!known) fields_.Fail(Member(path, item.key()), "unknown field");
  }
  EditorObject o = MakeObject(kind, 0);
  bool hasLayer = false;
  for (const schema::Field* field : kindSchema.fileFields) {
    const schema::Field& f = *field;
    const char* key = f.fileKey;
    switch (f.type) {
      case schema::Type::Layer:
        hasLayer = true;
        break;
      case schema::Type::Integer:
      case schema::Type::Size:
        f.Value<int32_t>(o) = static_cast<int32_t>(e.Integer(key, f.low, f.high));
        break;
      case schema::Type::Byte:
        f.Value<uint8_t>(o) = static_cast<uint8_t>(e.Integer(key, f.low, f.high));
        break;
      case schema::Type::Flag:
        f.Value<uint8_t>(o) = e.Flag(key);
        break;
      case schema::Type::CopperLayer:
        f.Value<uint8_t>(o) = e.CopperLayer(key);
        break;
      case schema::Type::Angle:
        f.Value<double>(o) = e.Angle(key);
        break;
      case schema::Type::Text:
        f.Value<std::string>(o) = e.String(key);
        break;
      case schema::Type::TextReference:
        if (const json* text = fields_.Optional(value, key))
          f.Value<qvabi::PcbHandle>(o) = ReferenceAt(*text, e.PathOf(key), position, true);
        break;
      case schema::Type::References: {
        const json& references = e.Array(key);
        auto& handles = f.Value<std::vector<qvabi::PcbHandle>>(o);
        for (std::size_t i = 0; i < references.size(); ++i)
          handles.push_back(ReferenceAt(references[i], Element(e.PathOf(key), i), position, false));
        break;
      }
      case schema::Type::Points:
        f.Value<std::vector<Point>>(o) = e.Points(key);
        break;
      case schema::Type::MemberKind:
        f.Value<uint8_t>(o) = e.MemberKind(key);
        break;
      case schema::Type::Members:
        f.Value<std::vector<std::string>>(o) = e.Strings(key);
        break;
      case schema::Type::PadShapes:
        e.PadShapes(key, f.Value<PadData>(o));
        break;
      case schema::Type::CornerPercent:
        e.CornerPercent(f, &f.Value<uint8_t>(o));
        break;
      case schema::Type::Header:
      case schema::Type::Word:
      case schema::Type::Integers:
      case schema::Type::Bytes:
        break;
    }
  }
  // The layer is checked after every other field.
  if (hasLayer) o.layer = e.Layer();
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
  const schema::KindSchema* kind = schema::SchemaOf(o.kind);
  for (const schema::Field* field : kind ? kind->fileFields : std::span<const schema::Field* const>{}) {
    const schema::Field& f = *field;
    const char* key = f.fileKey;
    switch (f.type) {
      case schema::Type::Layer:
        e.Layer();
        break;
      case schema::Type::Integer:
        e.Number(key, f.Value<int32_t>(o));
        break;
      case schema::Type::Size:
        e.Size(key, f.Value<int32_t>(o));
        break;
      case schema::Type::Byte:
        e.Number(key, f.Value<uint8_t>(o));
        break;
      case schema::Type::Flag:
        e.Boolean(key, f.Value<uint8_t>(o) != 0);
        break;
      case schema::Type::CopperLayer:
        e.CopperLayer(key, f.Value<uint8_t>(o));
        break;
      case schema::Type::Angle:
        e.Angle(key, f.Value<double>(o));
        break;
      case schema::Type::Text:
        e.String(key, f.Value<std::string>(o));
        break;
      case schema::Type::TextReference:
        if (const auto at = textPosition(f.Value<qvabi::PcbHandle>(o))) e.Number(key, *at);
        break;
      case schema::Type::References: {
        e.Key(key);
        out += '[';
        bool first = true;
        for (qvabi::PcbHandle reference : f.Value<std::vector<qvabi::PcbHandle>>(o))
          if (const auto at = position(reference)) {
            if (!first) out += ", ";
            first = false;
            AppendNumber(out, static_cast<int64_t>(*at));
          }
        out += ']';
        break;
      }
      case schema::Type::Points:
        e.Points(key, f.Value<std::vector<Point>>(o));
        break;
      case schema::Type::MemberKind: {
        const uint8_t memberKind = f.Value<uint8_t>(o);
        if (memberKind < kMemberKinds.size())
          e.String(key, kMemberKinds[memberKind]);
        else
          e.Number(key, memberKind);
        break;
      }
      case schema::Type::Members: {
        const auto& members = f.Value<std::vector<std::string>>(o);
        e.Key(key);
        out += '[';
        for (std::size_t i = 0; i < members.size(); ++i) {
          if (i) out += ", ";
          AppendJsonString(out, members[i]);
        }
        out += ']';
        break;
      }
      case schema::Type::PadShapes: {
        const PadData& pad = f.Value<PadData>(o);
        e.Key(key);
        out += '[';
        bool first = true;
        for (std::size_t i = 0; i < pad.shapes.size(); ++i) {
          const int64_t x = std::max<int64_t>(pad.sizeX[i], 0);
          const int64_t y = std::max<int64_t>(pad.sizeY[i], 0);
          if (pad.shapes[i] == 0 && x == 0 && y == 0) continue;
          out += first ? "[" : ", [";
          first = false;
          AppendNumber(out, static_cast<int64_t>(i));
          for (const int64_t number : {static_cast<int64_t>(pad.shapes[i]), x, y}) {
            out += ", ";
            AppendNumber(out, number);
          }
          out += ']';
        }
        out += ']';
        break;
      }
      case schema::Type::CornerPercent: {
        const uint8_t* percent = &f.Value<uint8_t>(o);
        e.Key(key);
        out += '[';
        for (std::size_t i = 0; i < 3; ++i) {
          if (i) out += ", ";
          AppendNumber(out, std::min<int64_t>(percent[i], f.high));
        }
        out += ']';
        break;
      }
      case schema::Type::Header:
      case schema::Type::Word:
      case schema::Type::Integers:
      case schema::Type::Bytes:
        break;
    }
  }
  out += '}';
}

}  // namespace brelix
