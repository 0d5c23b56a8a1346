// A primitive object of the editor with every field of its records.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "abi/PcbApiFunctions.h"
#include "boardtext/Lengths.h"
#include "editor/OutOfLine.h"

namespace brelix {

// Points as the board files and scripts write them.
using boardtext::Point;

// Pads keep per-layer data for the layer ids 0 to 82.
inline constexpr int kPadLayerCount = 83;
// Pad shape codes the editor draws: round, rectangular, octagonal and
// rounded rectangle; any other code is stored and drawn as a rectangle.
inline constexpr uint8_t kRoundShape = 1;
inline constexpr uint8_t kRectangleShape = 2;
inline constexpr uint8_t kOctagonShape = 3;
inline constexpr uint8_t kRoundedRectangleShape = 9;
// Where new pads, vias, dimensions and coordinates go.
inline constexpr uint32_t kMultiLayer = 74;
inline constexpr uint32_t kFirstMechanical = 57;

struct Rect {
  int32_t x1 = 0;
  int32_t y1 = 0;
  int32_t x2 = 0;
  int32_t y2 = 0;
  bool operator==(const Rect&) const = default;
};

// Texts.
struct TextData {
  std::string text;
  int32_t textAttribute = 0;
  uint8_t textFlag = 0;
  uint8_t trueTypeMode = 0;
  std::string fontName;
  uint8_t trueTypeFlag1 = 0;
  uint8_t trueTypeFlag2 = 0;
  uint8_t trueTypeFlag3 = 0;
  int32_t trueTypeValue = 0;
  std::array<uint8_t, 4> barCode{};
};

// Pads. Per-layer shape and size are indexed by layer id 0 to 82 (vias
// answer from their size instead). Corner-radius percentages are kept per
// layer class: top layer, every other layer, bottom layer.
struct PadData {
  std::array<int32_t, 6> padValues{};
  std::array<uint8_t, 3> padBytes{};
  std::array<int32_t, 10> extraValues{};
  std::array<uint8_t, 3> extraBytes{};
  uint8_t stackMode = 0;
  std::array<uint8_t, kPadLayerCount> shapes{};
  std::array<int32_t, kPadLayerCount> sizeX{};
  std::array<int32_t, kPadLayerCount> sizeY{};
  std::array<uint8_t, 3> cornerPercent{};
};

// Names and texts of the kinds that carry them: pad, net, class, rule,
// embedded object and manual from-to names; nets of from-tos and areas.
struct LabelData {
  std::string name;
  std::string net;
  std::string fromPad;
  std::string toPad;
  std::string description;  // violations and embedded objects
  std::string rule;         // the rule a violation breaks
};

// Components. The name and comment are text objects of their own.
struct ComponentData {
  qvabi::PcbHandle nameObject = 0;
  qvabi::PcbHandle commentObject = 0;
  std::string pattern;
  std::string sourceDesignator;
  std::string sourceLibrary;
  std::string sourceUniqueId;
  std::string model;
  int32_t height = 0;
  uint8_t lockStrings = 0;
  int32_t channelOffset = 0;
  uint8_t componentKind = 0;
};

// Polygons, regions, split planes and board outlines.
struct OutlineData {
  std::vector<Point> points;
  int32_t grid = 0;
  int32_t trackWidth = 0;
  uint8_t hatchStyle = 0;
  uint8_t pourOver = 0;
  uint8_t removeDead = 0;
  uint8_t keepout = 0;
  int32_t regionKind = 0;
};

// Dimensions (x, y to x2, y2) and coordinates (size is the cross).
struct DimensionData {
  int32_t textHeight = 0;
  int32_t arrowSize = 0;
  int32_t textGap = 0;
  uint8_t unitStyle = 0;
  uint8_t precision = 0;
  std::vector<qvabi::PcbHandle> references;
};

// Object classes.
struct ClassData {
  uint8_t memberKind = 0;
  uint8_t superClass = 0;
  std::vector<std::string> members;
};

// Design rules.
struct RuleData {
  uint8_t ruleKind = 0;
  std::string scope1;
  std::string scope2;
  int32_t value = 0;
  uint8_t enabled = 0;
  int32_t priority = 0;
};

// Embedded boards (x, y, rotation from the common fields).
struct EmbeddedBoardData {
  std::string document;
  int32_t rows = 0;
  int32_t columns = 0;
  int32_t rowSpacing = 0;
  int32_t columnSpacing = 0;
  uint8_t mirrored = 0;
};

// The fields most kinds use are held in the record itself; each kind's own
// fields are held out of line, so that a board of many tracks holds little
// more than the tracks' geometry.
struct EditorObject {
  qvabi::PcbHandle handle = 0;
  qvabi::ObjectKind kind = qvabi::ObjectKind::None;
  qvabi::PcbHandle owner = 0;

  // Base record.
  uint16_t flags = 0;
  uint16_t headerWord = 0;
  uint32_t layer = 1;
  int32_t headerValue1 = 0;
  int32_t headerValue2 = 0;
  uint8_t headerByte = 0;
  uint8_t bitField2 = 0;
  uint16_t bitField3 = 0;

  // Kind records; each kind uses its own subset.
  int32_t x = 0;
  int32_t y = 0;
  int32_t x2 = 0;
  int32_t y2 = 0;
  int32_t width = 0;  // track and arc line width, text stroke width
  int32_t attributeA = 0;
  int32_t attributeB = 0;
  int32_t attributeC = 0;
  int32_t radius = 0;
  double startAngle = 0;
  double endAngle = 0;
  double rotation = 0;  // fill and text
  int32_t size = 0;

  // Pads and vias. `hole` is the pad's seventh record value and the via's
  // second; `size` is the via's diameter.
  int32_t hole = 0;
  uint8_t kindByte1 = 0;  // pad and via; the first byte of from-tos and nets
  uint8_t kindByte2 = 0;  // likewise the second
  uint8_t viaByte1 = 0;
  uint8_t viaByte2 = 0;
  uint8_t lowLayer = 1;
  uint8_t highLayer = 32;

  int32_t invalidations = 0;
  // The board whose contents hold the object; 0 when none does.
  qvabi::PcbHandle contentsOf = 0;

  OutOfLine<TextData> textData;
  OutOfLine<PadData> pad;
  OutOfLine<LabelData> labels;
  OutOfLine<ComponentData> component;
  OutOfLine<OutlineData> outline;
  OutOfLine<DimensionData> dimension;
  OutOfLine<ClassData> objectClass;
  OutOfLine<RuleData> designRule;
  OutOfLine<EmbeddedBoardData> embeddedBoard;
  OutOfLine<std::map<uint8_t, int32_t>> displays;  // ScreenDisplay count per mode
};

// The kinds the editor can create: every kind code of qvabi::ObjectKind but None.
bool IsSupportedKind(int kind);
// The kind's name in board files ("arc", "pad", "boardOutline", ...); empty for None.
const char* KindName(qvabi::ObjectKind kind);
// The kind named so in board files; None for an unknown name.
qvabi::ObjectKind KindFromName(std::string_view name);
// True for the kinds with a shape on the board (drawn, and bounded by their
// geometry); nets, classes, rules and the like have none.
bool HasShape(qvabi::ObjectKind kind);
// A pad's per-layer corner radius: half the smaller per-layer size times the
// layer class's percentage, for the rounded-rectangle shape (9) only.
int32_t PadCornerRadius(const EditorObject& pad, int layer);
// The corner-radius percentage slot (0 top, 1 other layers, 2 bottom) of a layer id.
int CornerPercentSlot(int layer);
// A new object of `kind` with the editor's defaults.
EditorObject MakeObject(qvabi::ObjectKind kind, qvabi::PcbHandle handle);

// The object's bounding rectangle (see the design notes): text by its stroke
// font extents, tracks and arcs by their geometry grown by half their width.
Rect BoundingRect(const EditorObject& object);

}  // namespace brelix
