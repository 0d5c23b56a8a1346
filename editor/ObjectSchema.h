// The editor's object kinds and every field of their records, in one table.
//
// Each kind lists its fields in the order its record queries pass them. A
// field says what descriptions call it, where the object keeps it, its type
// (which fixes its bounds in board files), the board-file key it is read and
// written under with its place in the entry, the query that exchanges it and
// the editor's default. The board-file reader and writer (BoardFileObjects),
// the description (ObjectDescription), the record queries (exports/) and new
// objects (MakeObject) all walk this table, which is at the end of this
// file (namespace `fields`). The record queries walk it when they are
// compiled, so it is constexpr and lives in this header.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "abi/PcbApiFunctions.h"
#include "editor/EditorObject.h"
#include "editor/LayerIds.h"

namespace brelix {

namespace schema {

// How a field is kept in the object.
enum class Storage : uint8_t {
  Object,   // the whole object (the record header)
  Int32,    // int32_t, or std::array<int32_t, N>
  Byte,     // uint8_t, or std::array<uint8_t, N>
  Word,     // uint16_t
  Id,       // uint32_t
  Real,     // double
  Text,     // std::string
  Handles,  // std::vector<qvabi::PcbHandle>
  Points,   // std::vector<Point>
  Strings,  // std::vector<std::string>
  Pad,      // PadData
};

// What a field means; the board files, descriptions and queries each carry
// a type in their own way.
enum class Type : uint8_t {
  Header,         // the kind record's header: flags, headerWord, layer, headerValue1,
                  // headerByte, headerValue2 (described with the base record)
  Layer,          // a layer id; files: 1 to 82, read after every other field
  Integer,        // any 32-bit value
  Size,           // 32-bit; files: not negative (written as 0 below it)
  Byte,           // 0 to 255
  Word,           // 16-bit
  Flag,           // a byte; files: true or false
  Angle,          // degrees; files: whole degrees are written as integers
  Text,           // files: at most 255 bytes
  CopperLayer,    // a signal layer or an internal plane; other ids are refused (files)
                  // or ignored (queries)
  TextReference,  // the handle of a text; files: its position in `objects`, optional
  References,     // handles; files: positions in `objects`
  Points,         // an outline; files: at least three [X, Y]
  MemberKind,     // what a class holds; files: a name or a number 0 to 255
  Members,        // a class's member names
  Integers,       // 32-bit values, one query pointer each
  Bytes,          // bytes, one query pointer each
  PadShapes,      // the pad's per-layer shapes and sizes
  CornerPercent,  // the pad's three corner-radius percentages, 0 to 100
};

// The query that exchanges a field: the kind's own record query
// (PcbApi_QueryTrack, PcbApi_QueryPad, ...) or one of its further queries.
enum class Query : uint8_t {
  None,
  Record,
  TrueType,       // PcbApi_QueryTrueTypeTextInfo
  BarCode,        // PcbApi_QueryBarCodeTextInfo
  StackMode,      // PcbApi_QueryPadStackMode
  ComponentEx,    // PcbApi_QueryComponentEx
  SourceLinks,    // PcbApi_QueryComponentSourceLinks
  Model,          // PcbApi_QueryDefaultPCB3DModel
  ChannelOffset,  // PcbApi_QueryComponentChannelOffset
  ComponentKind,  // PcbApi_QueryComponentKind
  ExtDimension,   // PcbApi_QueryExtDimension
};

// Where a field lives in an object. `at` may allocate the kind's out-of-line
// part (it may be a write); `read` never does.
struct Access {
  Storage storage = Storage::Object;
  uint8_t count = 1;  // values of an array field
  void* (*at)(EditorObject&) = nullptr;
  const void* (*read)(const EditorObject&) = nullptr;
};

struct Field {
  const char* key = "";  // in descriptions (BrelixSim_DescribeObject)
  Type type = Type::Integer;
  Access access;
  int64_t low = 0;  // what board files may hold
  int64_t high = 0;
  Query query = Query::Record;
  const char* fileKey = nullptr;  // in board files; none when files do not hold it
  uint8_t filePosition = 0;       // 1 for the first key after "kind"
  bool shared = false;            // described with the base record, not the kind's fields
  bool hasDefault = false;        // a new object starts with the value below
  int64_t defaultNumber = 0;
  const char* defaultText = nullptr;

  // The field in `object`, as the type its storage names.
  template <class T>
  T& Value(EditorObject& object) const {
    return *static_cast<T*>(access.at(object));
  }
  template <class T>
  const T& Value(const EditorObject& object) const {
    return *static_cast<const T*>(access.read(object));
  }
};

struct KindSchema {
  qvabi::ObjectKind kind = qvabi::ObjectKind::None;
  const char* name = "";  // in board files
  bool shape = false;     // drawn, and bounded by its geometry
  std::span<const Field> fields;
  // The fields board files hold, in the order they are written.
  std::span<const Field* const> fileFields;
};

// How the table below is written: F(...) builds a field, Of<...>() names
// where an object keeps it.
namespace build {

using K = qvabi::ObjectKind;
using O = EditorObject;

// What a member holds: an out-of-line part holds its value.
template <class T>
struct HeldBy {
  using Type = T;
};
template <class T>
struct HeldBy<OutOfLine<T>> {
  using Type = T;
};
template <class T>
constexpr bool kOutOfLine = !std::is_same_v<typename HeldBy<T>::Type, T>;

template <class T>
struct ArrayOf {
  using Element = T;
  static constexpr std::size_t kCount = 1;
};
template <class T, std::size_t N>
struct ArrayOf<std::array<T, N>> {
  using Element = T;
  static constexpr std::size_t kCount = N;
};

template <class T>
constexpr Storage StorageOf() {
  using E = typename ArrayOf<T>::Element;
  if constexpr (std::is_same_v<E, int32_t>)
    return Storage::Int32;
  else if constexpr (std::is_same_v<E, uint8_t>)
    return Storage::Byte;
  else if constexpr (std::is_same_v<E, uint16_t>)
    return Storage::Word;
  else if constexpr (std::is_same_v<E, uint32_t>)
    return Storage::Id;
  else if constexpr (std::is_same_v<E, double>)
    return Storage::Real;
  else if constexpr (std::is_same_v<E, std::string>)
    return Storage::Text;
  else if constexpr (std::is_same_v<E, std::vector<qvabi::PcbHandle>>)
    return Storage::Handles;
  else if constexpr (std::is_same_v<E, std::vector<Point>>)
    return Storage::Points;
  else if constexpr (std::is_same_v<E, std::vector<std::string>>)
    return Storage::Strings;
  else if constexpr (std::is_same_v<E, PadData>)
    return Storage::Pad;
  else
    static_assert(sizeof(T) == 0, "a field of a type the schema does not know");
}

// The address of a field: an array's first value, an out-of-line part's value.
template <class T>
auto* AddressOf(T& value) {
  if constexpr (kOutOfLine<std::remove_const_t<T>>)
    return &*value;
  else if constexpr (ArrayOf<std::remove_const_t<T>>::kCount > 1)
    return value.data();
  else
    return &value;
}

template <class T>
constexpr Access AccessTo(void* (*at)(O&), const void* (*read)(const O&)) {
  using Held = typename HeldBy<T>::Type;
  return {StorageOf<Held>(), static_cast<uint8_t>(ArrayOf<Held>::kCount), at, read};
}

// A field held in the object itself: Of<&EditorObject::width>().
template <auto Member>
constexpr Access Of() {
  using T = std::remove_cvref_t<decltype(std::declval<O&>().*Member)>;
  return AccessTo<T>([](O& o) -> void* { return AddressOf(o.*Member); },
                     [](const O& o) -> const void* { return AddressOf(o.*Member); });
}

// A field of a kind's out-of-line part: Of<&EditorObject::pad, &PadData::stackMode>().
template <auto Part, auto Member>
constexpr Access Of() {
  using T = std::remove_cvref_t<decltype((*(std::declval<O&>().*Part)).*Member)>;
  return AccessTo<T>([](O& o) -> void* { return AddressOf((*(o.*Part)).*Member); },
                     [](const O& o) -> const void* { return AddressOf((*(o.*Part)).*Member); });
}

constexpr bool Holds(Type type, Storage storage, uint8_t count) {
  switch (type) {
    case Type::Header:
      return storage == Storage::Object;
    case Type::Layer:
      return storage == Storage::Id;
    case Type::Integer:
    case Type::Size:
    case Type::TextReference:
      return storage == Storage::Int32 && count == 1;
    case Type::Byte:
    case Type::Flag:
    case Type::CopperLayer:
    case Type::MemberKind:
      return storage == Storage::Byte && count == 1;
    case Type::Word:
      return storage == Storage::Word;
    case Type::Angle:
      return storage == Storage::Real;
    case Type::Text:
      return storage == Storage::Text;
    case Type::References:
      return storage == Storage::Handles;
    case Type::Points:
      return storage == Storage::Points;
    case Type::Members:
      return storage == Storage::Strings;
    case Type::Integers:
      return storage == Storage::Int32 && count > 1;
    case Type::Bytes:
      return storage == Storage::Byte && count > 1;
    case Type::PadShapes:
      return storage == Storage::Pad;
    case Type::CornerPercent:
      return storage == Storage::Byte && count == 3;
  }
  return false;
}

constexpr int64_t kMin32 = std::numeric_limits<int32_t>::min();
constexpr int64_t kMax32 = std::numeric_limits<int32_t>::max();

// The values board files may hold for a type.
constexpr std::pair<int64_t, int64_t> BoundsOf(Type type) {
  switch (type) {
    case Type::Layer:
      return {1, kLayerCount};
    case Type::Size:
      return {0, kMax32};
    case Type::Byte:
    case Type::MemberKind:
      return {0, 255};
    case Type::CopperLayer:
      return {0, kLayerCount};
    case Type::CornerPercent:
      return {0, 100};
    default:
      return {kMin32, kMax32};
  }
}

// One field, built up: F("width", Type::Size, Of<&EditorObject::width>()).File("width", 6).
struct F : Field {
  constexpr F(const char* describedAs, Type t, Access where) {
    // A type the storage cannot hold stops the build here.
    if (!Holds(t, where.storage, where.count)) throw std::logic_error("field type and storage disagree");
    key = describedAs;
    type = t;
    access = where;
    const auto [lowest, highest] = BoundsOf(t);
    low = lowest;
    high = highest;
  }
  constexpr F File(const char* name, int position) const {
    F f = *this;
    f.fileKey = name;
    f.filePosition = static_cast<uint8_t>(position);
    return f;
  }
  constexpr F In(Query q) const {
    F f = *this;
    f.query = q;
    return f;
  }
  constexpr F Default(int64_t value) const {
    F f = *this;
    f.hasDefault = true;
    f.defaultNumber = value;
    return f;
  }
  constexpr F Default(const char* text) const {
    F f = *this;
    f.hasDefault = true;
    f.defaultText = text;
    return f;
  }
  constexpr F Shared() const {
    F f = *this;
    f.shared = true;
    return f;
  }
};

// The base record's fields that kind records carry too; descriptions list
// them once, with the base record.
constexpr F Header() {
  return F("header", Type::Header,
           {Storage::Object, 1, [](O& o) -> void* { return &o; },
            [](const O& o) -> const void* { return &o; }})
      .Shared();
}
constexpr F Layer(int position = 1) {
  return F("layer", Type::Layer, Of<&O::layer>()).In(Query::None).File("layer", position).Shared();
}
constexpr F HeaderWord() { return F("headerWord", Type::Word, Of<&O::headerWord>()).Shared(); }
constexpr F HeaderValue1() { return F("headerValue1", Type::Integer, Of<&O::headerValue1>()).Shared(); }
constexpr F X(const char* file, int position) {
  return F("x", Type::Integer, Of<&O::x>()).File(file, position).Shared();
}
constexpr F Y(const char* file, int position) {
  return F("y", Type::Integer, Of<&O::y>()).File(file, position).Shared();
}
constexpr F Points(int position) {
  return F("points", Type::Points, Of<&O::outline, &OutlineData::points>())
      .In(Query::None)
      .File("points", position);
}

// `first`'s rows, then `rest`'s.
template <std::size_t M, std::size_t N>
constexpr std::array<Field, M + N> Rows(const Field (&first)[M], const Field (&rest)[N]) {
  std::array<Field, M + N> rows{};
  for (std::size_t i = 0; i < M; ++i) rows[i] = first[i];
  for (std::size_t i = 0; i < N; ++i) rows[M + i] = rest[i];
  return rows;
}

// The layer row, with the layer new objects start on (0: none).
template <uint32_t Default>
constexpr F LayerRow() {
  return Default == 0 ? Layer() : Layer().Default(Default);
}

// The rows of a kind placed at a point: header, layer and the point, first
// in its record and its board-file entry, then `rest`.
template <uint32_t LayerDefault = 0, std::size_t N>
constexpr std::array<Field, N + 4> Placed(const Field (&rest)[N]) {
  return Rows({Header(), LayerRow<LayerDefault>(), X("x", 2), Y("y", 3)}, rest);
}

// The rows of a kind spanning two points: header, layer, then both points.
template <uint32_t LayerDefault = 0, std::size_t N>
constexpr std::array<Field, N + 6> Spanned(const Field (&rest)[N]) {
  return Rows({Header(), LayerRow<LayerDefault>(), X("x1", 2), Y("y1", 3),
               F("x2", Type::Integer, Of<&O::x2>()).File("x2", 4),
               F("y2", Type::Integer, Of<&O::y2>()).File("y2", 5)},
              rest);
}

// The fields a kind's board-file entry holds, by their position in it; a
// gap or a position used twice stops the build.
template <const auto& Fields>
constexpr auto FileOrder() {
  constexpr std::size_t count = [] {
    std::size_t n = 0;
    for (const Field& f : Fields) n += f.filePosition != 0 ? 1 : 0;
    return n;
  }();
  std::array<const Field*, count> order{};
  for (const Field& f : Fields) {
    if (f.filePosition == 0) continue;
    if (f.filePosition > count || order[f.filePosition - 1] != nullptr)
      throw std::logic_error("file positions must run from 1 without gaps");
    order[f.filePosition - 1] = &f;
  }
  return order;
}
template <const auto& Fields>
inline constexpr auto kFileOrder = FileOrder<Fields>();

template <const auto& Fields>
constexpr KindSchema Kind(K kind, const char* name, bool shape) {
  return {kind, name, shape, Fields, kFileOrder<Fields>};
}

}  // namespace build

// The fields of each kind, in the order its record queries pass them.
namespace fields {
using namespace build;

inline constexpr auto kTrack = Spanned({
    F("width", Type::Size, Of<&O::width>()).File("width", 6).Default(100000),
    F("attributeA", Type::Integer, Of<&O::attributeA>()),
    F("attributeB", Type::Integer, Of<&O::attributeB>()),
    F("attributeC", Type::Integer, Of<&O::attributeC>()),
});

inline constexpr auto kArc = Placed({
    F("radius", Type::Size, Of<&O::radius>()).File("radius", 4),
    F("startAngle", Type::Angle, Of<&O::startAngle>()).File("startAngle", 5),
    F("endAngle", Type::Angle, Of<&O::endAngle>()).File("endAngle", 6),
    F("width", Type::Size, Of<&O::width>()).File("width", 7).Default(100000),
    F("attributeA", Type::Integer, Of<&O::attributeA>()),
});

inline constexpr auto kFill = Spanned({
    F("attributeA", Type::Integer, Of<&O::attributeA>()),
    F("rotation", Type::Angle, Of<&O::rotation>()).File("rotation", 6),
});

inline constexpr auto kText = Placed({
    F("size", Type::Size, Of<&O::size>()).File("size", 4).Default(600000),
    F("textAttribute", Type::Integer, Of<&O::textData, &TextData::textAttribute>()),
    F("rotation", Type::Angle, Of<&O::rotation>()).File("rotation", 6),
    F("textFlag", Type::Byte, Of<&O::textData, &TextData::textFlag>()),
    F("text", Type::Text, Of<&O::textData, &TextData::text>()).File("text", 7),
    F("width", Type::Size, Of<&O::width>()).File("width", 5).Default(100000),
    F("attributeB", Type::Integer, Of<&O::attributeB>()),
    F("attributeC", Type::Integer, Of<&O::attributeC>()),
    // A plain text's designator display string is its text.
    F("designator", Type::Text, Of<&O::textData, &TextData::text>()).In(Query::None),
    F("trueTypeMode", Type::Byte, Of<&O::textData, &TextData::trueTypeMode>()).In(Query::TrueType),
    F("fontName", Type::Text, Of<&O::textData, &TextData::fontName>()).In(Query::TrueType).Default("Arial"),
    F("trueTypeFlag1", Type::Byte, Of<&O::textData, &TextData::trueTypeFlag1>()).In(Query::TrueType),
    F("trueTypeFlag2", Type::Byte, Of<&O::textData, &TextData::trueTypeFlag2>()).In(Query::TrueType),
    F("trueTypeFlag3", Type::Byte, Of<&O::textData, &TextData::trueTypeFlag3>()).In(Query::TrueType),
    F("trueTypeValue", Type::Integer, Of<&O::textData, &TextData::trueTypeValue>())
        .In(Query::TrueType)
        .Default(200000),
    F("barCode", Type::Bytes, Of<&O::textData, &TextData::barCode>()).In(Query::BarCode),
});

// The pad's seventh record value is its hole.
inline constexpr auto kPad = Placed<kMultiLayer>({
    F("padValues", Type::Integers, Of<&O::pad, &PadData::padValues>()),
    F("hole", Type::Size, Of<&O::hole>()).File("hole", 6).Default(300000),
    F("padBytes", Type::Bytes, Of<&O::pad, &PadData::padBytes>()),
    F("name", Type::Text, Of<&O::labels, &LabelData::name>()).File("name", 5),
    F("rotation", Type::Angle, Of<&O::rotation>()).File("rotation", 4),
    F("kindByte1", Type::Byte, Of<&O::kindByte1>()),
    F("kindByte2", Type::Byte, Of<&O::kindByte2>()),
    F("extraValues", Type::Integers, Of<&O::pad, &PadData::extraValues>()),
    F("extraBytes", Type::Bytes, Of<&O::pad, &PadData::extraBytes>()),
    F("stackMode", Type::Byte, Of<&O::pad, &PadData::stackMode>()).In(Query::StackMode).File("stackMode", 7),
    F("shapes", Type::PadShapes, Of<&O::pad>()).In(Query::None).File("shapes", 8),
    F("cornerPercent", Type::CornerPercent, Of<&O::pad, &PadData::cornerPercent>())
        .In(Query::None)
        .File("cornerPercent", 9),
});

// The via's record passes its layer as a byte (see the record exchange).
inline constexpr auto kVia = Placed<kMultiLayer>({
    F("size", Type::Size, Of<&O::size>()).File("size", 4).Default(500000),
    F("hole", Type::Size, Of<&O::hole>()).File("hole", 5).Default(280000),
    F("kindByte1", Type::Byte, Of<&O::kindByte1>()),
    F("kindByte2", Type::Byte, Of<&O::kindByte2>()),
    F("viaByte1", Type::Byte, Of<&O::viaByte1>()),
    F("viaByte2", Type::Byte, Of<&O::viaByte2>()),
    F("lowLayer", Type::CopperLayer, Of<&O::lowLayer>()).File("from", 6),
    F("highLayer", Type::CopperLayer, Of<&O::highLayer>()).File("to", 7),
});

inline constexpr Field kFromTo[] = {
    HeaderWord(),
    X("x1", 1),
    Y("y1", 2),
    F("byte1", Type::Byte, Of<&O::kindByte1>()),
    F("x2", Type::Integer, Of<&O::x2>()).File("x2", 3),
    F("y2", Type::Integer, Of<&O::y2>()).File("y2", 4),
    F("byte2", Type::Byte, Of<&O::kindByte2>()),
    HeaderValue1(),
};

inline constexpr Field kManualFromTo[] = {
    HeaderWord(),
    F("net", Type::Text, Of<&O::labels, &LabelData::net>()).File("net", 1),
    F("fromPad", Type::Text, Of<&O::labels, &LabelData::fromPad>()).File("from", 2),
    F("toPad", Type::Text, Of<&O::labels, &LabelData::toPad>()).File("to", 3),
    F("name", Type::Text, Of<&O::labels, &LabelData::name>()).File("name", 4),
};

inline constexpr Field kNet[] = {
    HeaderWord(),
    F("name", Type::Text, Of<&O::labels, &LabelData::name>()).File("name", 1),
    F("byte1", Type::Byte, Of<&O::kindByte1>()),
    F("byte2", Type::Byte, Of<&O::kindByte2>()),
};

inline constexpr auto kComponent = Placed({
    F("rotation", Type::Angle, Of<&O::rotation>()).File("rotation", 4),
    F("nameObject", Type::TextReference, Of<&O::component, &ComponentData::nameObject>()).File("nameText", 6),
    F("commentObject", Type::TextReference, Of<&O::component, &ComponentData::commentObject>())
        .File("commentText", 7),
    F("pattern", Type::Text, Of<&O::component, &ComponentData::pattern>()).File("pattern", 5),
    F("sourceDesignator", Type::Text, Of<&O::component, &ComponentData::sourceDesignator>())
        .In(Query::ComponentEx),
    F("height", Type::Integer, Of<&O::component, &ComponentData::height>()).In(Query::ComponentEx),
    F("lockStrings", Type::Byte, Of<&O::component, &ComponentData::lockStrings>()).In(Query::ComponentEx),
    F("sourceLibrary", Type::Text, Of<&O::component, &ComponentData::sourceLibrary>()).In(Query::SourceLinks),
    F("sourceUniqueId", Type::Text, Of<&O::component, &ComponentData::sourceUniqueId>())
        .In(Query::SourceLinks),
    F("model", Type::Text, Of<&O::component, &ComponentData::model>()).In(Query::Model),
    F("channelOffset", Type::Integer, Of<&O::component, &ComponentData::channelOffset>())
        .In(Query::ChannelOffset),
    F("componentKind", Type::Byte, Of<&O::component, &ComponentData::componentKind>())
        .In(Query::ComponentKind),
});

// Polygons and board outlines share their record (PcbApi_QueryPolygon).
inline constexpr Field kPolygon[] = {
    Header(),
    Layer(),
    F("net", Type::Text, Of<&O::labels, &LabelData::net>()).File("net", 2),
    F("grid", Type::Integer, Of<&O::outline, &OutlineData::grid>()),
    F("trackWidth", Type::Integer, Of<&O::outline, &OutlineData::trackWidth>()),
    F("hatchStyle", Type::Byte, Of<&O::outline, &OutlineData::hatchStyle>()),
    F("pourOver", Type::Byte, Of<&O::outline, &OutlineData::pourOver>()),
    F("removeDead", Type::Byte, Of<&O::outline, &OutlineData::removeDead>()),
    Points(3),
};

inline constexpr Field kBoardOutline[] = {
    Header(),
    F("net", Type::Text, Of<&O::labels, &LabelData::net>()),
    F("grid", Type::Integer, Of<&O::outline, &OutlineData::grid>()),
    F("trackWidth", Type::Integer, Of<&O::outline, &OutlineData::trackWidth>()),
    F("hatchStyle", Type::Byte, Of<&O::outline, &OutlineData::hatchStyle>()),
    F("pourOver", Type::Byte, Of<&O::outline, &OutlineData::pourOver>()),
    F("removeDead", Type::Byte, Of<&O::outline, &OutlineData::removeDead>()),
    Points(1),
};

inline constexpr Field kRegion[] = {
    Header(),
    Layer(),
    F("net", Type::Text, Of<&O::labels, &LabelData::net>()),
    F("keepout", Type::Byte, Of<&O::outline, &OutlineData::keepout>()),
    F("regionKind", Type::Integer, Of<&O::outline, &OutlineData::regionKind>()),
    Points(2),
};

inline constexpr Field kSplitPlane[] = {
    Header(),
    Layer(),
    F("net", Type::Text, Of<&O::labels, &LabelData::net>()).File("net", 2),
    Points(3),
};

// Component bodies and differential pairs.
inline constexpr Field kLayerOnly[] = {
    Header(),
    Layer(),
};

inline constexpr auto kDimension = Spanned<kFirstMechanical>({
    F("textHeight", Type::Size, Of<&O::dimension, &DimensionData::textHeight>())
        .File("textHeight", 6)
        .Default(600000),
    F("lineWidth", Type::Size, Of<&O::width>()).File("lineWidth", 7).Default(100000),
    F("arrowSize", Type::Integer, Of<&O::dimension, &DimensionData::arrowSize>()).In(Query::ExtDimension),
    F("textGap", Type::Integer, Of<&O::dimension, &DimensionData::textGap>()).In(Query::ExtDimension),
    F("unitStyle", Type::Byte, Of<&O::dimension, &DimensionData::unitStyle>()).In(Query::ExtDimension),
    F("precision", Type::Byte, Of<&O::dimension, &DimensionData::precision>()).In(Query::ExtDimension),
    F("references", Type::References, Of<&O::dimension, &DimensionData::references>())
        .In(Query::None)
        .File("references", 8),
});

// A coordinate's size is its cross.
inline constexpr auto kCoordinate = Placed<kFirstMechanical>({
    F("size", Type::Size, Of<&O::size>()).File("size", 4).Default(1000000),
    F("lineWidth", Type::Size, Of<&O::width>()).File("lineWidth", 5).Default(100000),
    F("textHeight", Type::Size, Of<&O::dimension, &DimensionData::textHeight>())
        .File("textHeight", 6)
        .Default(600000),
});

inline constexpr Field kObjectClass[] = {
    HeaderWord(),
    F("name", Type::Text, Of<&O::labels, &LabelData::name>()).File("name", 1),
    F("memberKind", Type::MemberKind, Of<&O::objectClass, &ClassData::memberKind>()).File("memberKind", 2),
    F("superClass", Type::Byte, Of<&O::objectClass, &ClassData::superClass>()),
    F("members", Type::Members, Of<&O::objectClass, &ClassData::members>())
        .In(Query::None)
        .File("members", 3),
};

inline constexpr Field kRule[] = {
    HeaderWord(),
    F("name", Type::Text, Of<&O::labels, &LabelData::name>()).File("name", 1),
    F("ruleKind", Type::Byte, Of<&O::designRule, &RuleData::ruleKind>()).File("ruleKind", 2),
    F("scope1", Type::Text, Of<&O::designRule, &RuleData::scope1>()).File("scope1", 3),
    F("scope2", Type::Text, Of<&O::designRule, &RuleData::scope2>()).File("scope2", 4),
    F("value", Type::Integer, Of<&O::designRule, &RuleData::value>()).File("value", 5),
    F("enabled", Type::Flag, Of<&O::designRule, &RuleData::enabled>()).File("enabled", 7),
    F("priority", Type::Size, Of<&O::designRule, &RuleData::priority>()).File("priority", 6),
};

inline constexpr auto kViolation = Placed({
    F("rule", Type::Text, Of<&O::labels, &LabelData::rule>()).File("rule", 4),
    F("description", Type::Text, Of<&O::labels, &LabelData::description>()).File("description", 5),
});

inline constexpr Field kEmbedded[] = {
    HeaderWord(),
    F("name", Type::Text, Of<&O::labels, &LabelData::name>()).File("name", 1),
    F("description", Type::Text, Of<&O::labels, &LabelData::description>()).File("description", 2),
};

inline constexpr auto kEmbeddedBoard = Placed({
    F("document", Type::Text, Of<&O::embeddedBoard, &EmbeddedBoardData::document>()).File("document", 4),
    F("rows", Type::Size, Of<&O::embeddedBoard, &EmbeddedBoardData::rows>()).File("rows", 5),
    F("columns", Type::Size, Of<&O::embeddedBoard, &EmbeddedBoardData::columns>()).File("columns", 6),
    F("rowSpacing", Type::Integer, Of<&O::embeddedBoard, &EmbeddedBoardData::rowSpacing>())
        .File("rowSpacing", 7),
    F("columnSpacing", Type::Integer, Of<&O::embeddedBoard, &EmbeddedBoardData::columnSpacing>())
        .File("columnSpacing", 8),
    F("mirrored", Type::Flag, Of<&O::embeddedBoard, &EmbeddedBoardData::mirrored>()).File("mirrored", 9),
});

inline constexpr KindSchema kKinds[] = {
    Kind<kArc>(K::Arc, "arc", true),
    Kind<kPad>(K::Pad, "pad", true),
    Kind<kVia>(K::Via, "via", true),
    Kind<kTrack>(K::Track, "track", true),
    Kind<kText>(K::Text, "text", true),
    Kind<kFill>(K::Fill, "fill", true),
    Kind<kFromTo>(K::FromTo, "fromTo", false),
    Kind<kNet>(K::Net, "net", false),
    Kind<kComponent>(K::Component, "component", false),
    Kind<kPolygon>(K::Polygon, "polygon", true),
    Kind<kRegion>(K::Region, "region", true),
    Kind<kLayerOnly>(K::ComponentBody, "componentBody", false),
    Kind<kDimension>(K::Dimension, "dimension", true),
    Kind<kCoordinate>(K::Coordinate, "coordinate", true),
    Kind<kObjectClass>(K::ObjectClass, "class", false),
    Kind<kRule>(K::Rule, "rule", false),
    Kind<kManualFromTo>(K::ManualFromTo, "manualFromTo", false),
    Kind<kLayerOnly>(K::DifferentialPair, "differentialPair", false),
    Kind<kViolation>(K::Violation, "violation", false),
    Kind<kEmbedded>(K::Embedded, "embedded", false),
    Kind<kEmbeddedBoard>(K::EmbeddedBoard, "embeddedBoard", false),
    Kind<kSplitPlane>(K::SplitPlane, "splitPlane", true),
    Kind<kBoardOutline>(K::BoardOutline, "boardOutline", true),
};

// The schema of each kind code, for lookups in constant time.
inline constexpr std::array<const KindSchema*, 256> kByCode = [] {
  std::array<const KindSchema*, 256> byCode{};
  for (const KindSchema& kind : kKinds) byCode[static_cast<std::size_t>(kind.kind)] = &kind;
  return byCode;
}();

}  // namespace fields

// Every kind the editor makes, by rising kind code.
inline constexpr std::span<const KindSchema> Kinds() { return fields::kKinds; }

// The kind's schema; nullptr for None and unknown codes.
inline constexpr const KindSchema* SchemaOf(qvabi::ObjectKind kind) {
  return fields::kByCode[static_cast<std::size_t>(kind)];
}
// True when two kinds pass the same fields in `query`, so that one
// export may serve both.
inline constexpr bool SameQueryFields(qvabi::ObjectKind a, qvabi::ObjectKind b, Query query) {
  std::vector<const Field*> left;
  std::vector<const Field*> right;
  for (const Field& f : SchemaOf(a)->fields)
    if (f.query == query) left.push_back(&f);
  for (const Field& f : SchemaOf(b)->fields)
    if (f.query == query) right.push_back(&f);
  if (left.size() != right.size()) return false;
  for (std::size_t i = 0; i < left.size(); ++i)
    if (std::string_view(left[i]->key) != right[i]->key || left[i]->type != right[i]->type ||
        left[i]->access.storage != right[i]->access.storage)
      return false;
  return true;
}

}  // namespace schema
}  // namespace brelix
