// The layer and unit vocabulary shared by the board wrapper, the primitive
// wrappers and the legend: layer ids with their default names and classes,
// the length unit, and lengths written as text in mil or mm.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace strativue {

// A layer as the plug-in keeps it: 0 (no layer) to 82.
using TLayerId = uint8_t;
// The kind of a layer: 0 none, 1 top, 2 mid, 3 bottom signal layer,
// 4 internal plane, 5 mechanical, 6 to 23 one of the single layers.
using TLayerClass = uint8_t;

inline constexpr TLayerId kNoLayer = 0;
inline constexpr TLayerId kTopLayer = 1;
inline constexpr TLayerId kMidLayer1 = 2;
inline constexpr TLayerId kBottomLayer = 32;
inline constexpr TLayerId kTopOverlay = 33;
inline constexpr TLayerId kBottomOverlay = 34;
inline constexpr TLayerId kTopPaste = 35;
inline constexpr TLayerId kBottomPaste = 36;
inline constexpr TLayerId kTopSolder = 37;
inline constexpr TLayerId kBottomSolder = 38;
inline constexpr TLayerId kInternalPlane1 = 39;
inline constexpr TLayerId kInternalPlane16 = 54;
inline constexpr TLayerId kDrillGuide = 55;
inline constexpr TLayerId kKeepOutLayer = 56;
inline constexpr TLayerId kMechanical1 = 57;
inline constexpr TLayerId kMechanical16 = 72;
inline constexpr TLayerId kDrillDrawing = 73;
inline constexpr TLayerId kMultiLayer = 74;
inline constexpr TLayerId kViaHoleLayer = 82;
inline constexpr TLayerId kLastLayer = 82;

// The default name of a layer id ("NoLayer", "TopLayer", "MidLayer1", ...);
// empty above 82.
std::string DefaultLayerName(TLayerId id);
// The class of a plain layer id; 0 for 0 and for any id above 82.
TLayerClass LayerClassOfId(TLayerId id);

// A set of layer ids.
class TLayerSet {
 public:
  constexpr TLayerSet() = default;
  // The ids from `first` to `last`, both included.
  static constexpr TLayerSet Range(TLayerId first, TLayerId last) {
    TLayerSet set;
    for (unsigned id = first; id <= last; ++id) set.Add(static_cast<TLayerId>(id));
    return set;
  }
  constexpr void Add(TLayerId id) { bits_[id / 64] |= uint64_t{1} << (id % 64); }
  constexpr bool Contains(TLayerId id) const { return (bits_[id / 64] >> (id % 64)) & 1u; }
  constexpr TLayerSet operator|(const TLayerSet& other) const {
    TLayerSet set;
    for (int i = 0; i < 4; ++i) set.bits_[i] = bits_[i] | other.bits_[i];
    return set;
  }

 private:
  uint64_t bits_[4] = {0, 0, 0, 0};
};

// The signal layers and the internal planes.
inline constexpr TLayerSet CopperLayerSet =
    TLayerSet::Range(kTopLayer, kBottomLayer) | TLayerSet::Range(kInternalPlane1, kInternalPlane16);

// The unit a board shows lengths in, as the board record's byte holds it.
enum class BoardUnit : uint8_t { Metric = 0, Imperial = 1 };

inline constexpr int MilDecimals = 3;
inline constexpr int MmDecimals = 4;

// Board units: 10000 to the mil.
inline constexpr double kUnitsPerMil = 10000.0;
inline constexpr double kMmPerMil = 0.0254;

// Writes a length in board units as "12.6mil" (Imperial) or "0.32mm"
// (Metric), trailing zeros dropped, "." whatever the locale. At most 255
// characters. Any unit byte other than Imperial writes mm.
std::string FormatLength(double value, BoardUnit unit);
// As FormatLength, after rounding the value to 3 (mil) or 5 (mm) decimals
// with halves to even.
std::string FormatCoordinate(int32_t value, BoardUnit unit);
// Drops trailing zeros after a decimal point, then the point itself when
// nothing follows it: "12.500" gives "12.5", "10.000" gives "10".
std::string StripTrailingZeros(std::string_view text);

// Round to the nearest integer, halves to even.
double RoundHalfEven(double value);

// Round (mils * 10000), saturated to the 32-bit range.
int32_t MilsToCoord(double mils);
double CoordToMils(int32_t value);
double CoordToMm(int32_t value);

constexpr int32_t Min(int32_t a, int32_t b) { return a < b ? a : b; }
constexpr int32_t Max(int32_t a, int32_t b) { return a > b ? a : b; }
constexpr double Min(double a, double b) { return a < b ? a : b; }
constexpr double Max(double a, double b) { return a > b ? a : b; }

}  // namespace strativue
