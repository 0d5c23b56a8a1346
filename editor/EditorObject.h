// A primitive object of the editor with every field of its records.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "abi/PcbApi.h"

namespace brelix {

struct Rect {
  int32_t x1 = 0;
  int32_t y1 = 0;
  int32_t x2 = 0;
  int32_t y2 = 0;
  bool operator==(const Rect&) const = default;
};

struct EditorObject {
  abi::PcbHandle handle = 0;
  abi::ObjectKind kind = abi::ObjectKind::None;
  abi::PcbHandle owner = 0;

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
  int32_t textAttribute = 0;
  uint8_t textFlag = 0;
  std::string text;
  uint8_t trueTypeMode = 0;
  std::string fontName;
  uint8_t trueTypeFlag1 = 0;
  uint8_t trueTypeFlag2 = 0;
  uint8_t trueTypeFlag3 = 0;
  int32_t trueTypeValue = 0;
  std::array<uint8_t, 4> barCode{};

  std::map<uint8_t, int32_t> displays;  // ScreenDisplay count per mode
  int32_t invalidations = 0;
};

// The kinds the editor can create: arc, track, text and fill.
bool IsSupportedKind(int kind);
// "arc", "track", "text", "fill"; empty for others.
const char* KindName(abi::ObjectKind kind);
// A new object of `kind` with the editor's defaults.
EditorObject MakeObject(abi::ObjectKind kind, abi::PcbHandle handle);

// The object's bounding rectangle (see the design notes): text by its stroke
// font extents, tracks and arcs by their geometry grown by half their width.
Rect BoundingRect(const EditorObject& object);

}  // namespace brelix
