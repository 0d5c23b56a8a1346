#include "plugin/RTL/Layers.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "abi/Types.h"

namespace strativue {
namespace {

constexpr std::size_t kMaxText = 255;

struct SingleLayer {
  TLayerId id;
  const char* name;
  TLayerClass layerClass;
};

constexpr std::array<SingleLayer, 18> kSingleLayers = {{
    {33, "TopOverlay", 6},
    {34, "BottomOverlay", 7},
    {35, "TopPaste", 8},
    {36, "BottomPaste", 9},
    {37, "TopSolder", 10},
    {38, "BottomSolder", 11},
    {55, "DrillGuide", 12},
    {56, "KeepOutLayer", 13},
    {73, "DrillDrawing", 14},
    {74, "MultiLayer", 15},
    {75, "ConnectLayer", 16},
    {76, "BackGroundLayer", 17},
    {77, "DRCErrorLayer", 18},
    {78, "HighlightLayer", 19},
    {79, "GridColor1", 20},
    {80, "GridColor10", 21},
    {81, "PadHoleLayer", 22},
    {82, "ViaHoleLayer", 23},
}};

const SingleLayer* FindSingleLayer(TLayerId id) {
  for (const SingleLayer& layer : kSingleLayers)
    if (layer.id == id) return &layer;
  return nullptr;
}

std::string CutText(std::string text) {
  text.resize(qvabi::Utf8CutLength(text, kMaxText));
  return text;
}

// Fixed-point text of `value` with `decimals` decimals. std::to_chars rounds
// the exact binary value correctly (a tie, possible only for values exactly
// halfway in binary, goes to the even digit), as the C library's printf does,
// and never uses the user's locale.
std::string WriteFixed(double value, int decimals) {
  // Enough for the largest double written in full with its decimals.
  char buffer[std::numeric_limits<double>::max_exponent10 + 32];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  std::string text(buffer, result.ptr);
  // A negative value that rounds to zero is written without its sign: "-0mil"
  // would be a plainly wrong reading.
  if (std::isfinite(value) && text[0] == '-' && text.find_first_of("123456789") == std::string::npos)
    text.erase(0, 1);
  return text;
}

std::string WriteLength(double m, BoardUnit unit) {
  const bool imperial = unit == BoardUnit::Imperial;
  std::string text = StripTrailingZeros(WriteFixed(m, imperial ? MilDecimals : MmDecimals));
  text += imperial ? "mil" : "mm";
  return CutText(std::move(text));
}

double InUnit(double value, BoardUnit unit) {
  return unit == BoardUnit::Imperial ? value / kUnitsPerMil : value * kMmPerMil / kUnitsPerMil;
}

}  // namespace

std::string DefaultLayerName(TLayerId id) {
  if (id == kNoLayer) return "NoLayer";
  if (id == kTopLayer) return "TopLayer";
  if (id < kBottomLayer) return "MidLayer" + std::to_string(id - 1);
  if (id == kBottomLayer) return "BottomLayer";
  if (id >= kInternalPlane1 && id <= kInternalPlane16) return "InternalPlane" + std::to_string(id - 38);
  if (id >= kMechanical1 && id <= kMechanical16) return "Mechanical" + std::to_string(id - 56);
  const SingleLayer* single = FindSingleLayer(id);
  return single ? single->name : "";
}

TLayerClass LayerClassOfId(TLayerId id) {
  if (id == kNoLayer) return 0;
  if (id == kTopLayer) return 1;
  if (id < kBottomLayer) return 2;
  if (id == kBottomLayer) return 3;
  if (id >= kInternalPlane1 && id <= kInternalPlane16) return 4;
  if (id >= kMechanical1 && id <= kMechanical16) return 5;
  const SingleLayer* single = FindSingleLayer(id);
  return single ? single->layerClass : 0;
}

std::string StripTrailingZeros(std::string_view text) {
  // Only digits after a decimal point are trailing zeros: "100" stays "100".
  if (text.find('.') == std::string_view::npos) return std::string(text);
  while (!text.empty() && text.back() == '0') text.remove_suffix(1);
  if (!text.empty() && text.back() == '.') text.remove_suffix(1);
  return std::string(text);
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  const double lower = std::floor(value);
  const double fraction = value - lower;
  if (fraction < 0.5) return lower;
  if (fraction > 0.5) return lower + 1.0;
  return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

std::string FormatLength(double value, BoardUnit unit) { return WriteLength(InUnit(value, unit), unit); }

std::string FormatCoordinate(int32_t value, BoardUnit unit) {
  double m = InUnit(static_cast<double>(value), unit);
  const double scale = unit == BoardUnit::Imperial ? 1e3 : 1e5;
  const double whole = std::trunc(m);
  m = whole + RoundHalfEven((m - whole) * scale) / scale;
  return WriteLength(m, unit);
}

int32_t MilsToCoord(double mils) {
  const double units = RoundHalfEven(mils * kUnitsPerMil);
  if (std::isnan(units)) return 0;
  if (units <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  if (units >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(units);
}

double CoordToMils(int32_t value) { return value / kUnitsPerMil; }

double CoordToMm(int32_t value) { return value * kMmPerMil / kUnitsPerMil; }

}  // namespace strativue
