#include "plugin/RTL/PcbPads.h"

#include <algorithm>
#include <limits>

#include "plugin/RTL/PcbApi.h"

namespace strativue {
namespace {

int32_t Saturated(int64_t value) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

TPcbPad::TPcbPad(qvabi::PcbHandle handle) : TPCBObject(handle) { ObjectKind = static_cast<uint8_t>(kKind); }

uint8_t& TPcbPad::CornerPercentFor(int layer) {
  if (layer == 1) return TopCornerPercent;
  if (layer == 32) return BottomCornerPercent;
  return MidCornerPercent;
}

int32_t TPcbPad::Sync(uint8_t mode) {
  SyncBitFields(mode);
  int32_t result = PcbApi::QueryPad(
      mode, Handle, &Flags, &HeaderWord, &Layer, &HeaderValue1, &HeaderByte, &HeaderValue2, &X, &Y,
      &PadValues[0], &PadValues[1], &PadValues[2], &PadValues[3], &PadValues[4], &PadValues[5], &PadValues[6],
      &PadBytes[0], &PadBytes[1], &PadBytes[2], &Name, &Rotation, &KindBytes[0], &KindBytes[1],
      &ExtraValues[0], &ExtraValues[1], &ExtraValues[2], &ExtraValues[3], &ExtraValues[4], &ExtraValues[5],
      &ExtraValues[6], &ExtraValues[7], &ExtraValues[8], &ExtraValues[9], &ExtraBytes[0], &ExtraBytes[1],
      &ExtraBytes[2]);
  if (result != 0) return result;
  result = PcbApi::QueryPadStackMode(mode, Handle, &StackMode);
  for (int layer = 0; layer < kLayerCount; ++layer) {
    const auto id = static_cast<uint8_t>(layer);
    const auto i = static_cast<std::size_t>(layer);
    if (mode == qvabi::ReadMode) {
      PcbApi::QueryPadOrViaShapeOnLayer(Handle, id, &Shapes[i]);
      PcbApi::QueryPadOrViaSizeOnLayer(Handle, id, &SizesX[i], &SizesY[i]);
      PcbApi::QueryPadCornerRadiusOnLayer(Handle, id, &CornerRadii[i]);
      // Only layer 1, the last mid layer and layer 32 are kept; the others
      // are read into a scratch byte.
      uint8_t scratch = 0;
      uint8_t& percent = layer >= 1 && layer <= 32 ? CornerPercentFor(layer) : scratch;
      result = PcbApi::QueryPadCRPercentageOnLayer(Handle, id, &percent);
    } else if (StackMode == kFullStackMode) {
      PcbApi::SetPadShapeOnLayer(Handle, id, Shapes[i]);
      PcbApi::SetPadSizeOnLayer(Handle, id, SizesX[i], SizesY[i]);
      result = PcbApi::SetCRPctOnLayer(Handle, id, CornerPercentFor(layer));
    } else if (Shapes[i] == kRoundedRectangle) {
      PcbApi::SetCRPctOnLayer(Handle, 1, TopCornerPercent);
      PcbApi::SetCRPctOnLayer(Handle, 32, BottomCornerPercent);
      result = PcbApi::SetCRPctOnLayer(Handle, 2, MidCornerPercent);
    }
  }
  return result;
}

int32_t TPcbPad::GetSizeXOnLayer(TLayerId layer) { return ValidLayer(layer) ? SizesX[layer] : 0; }
int32_t TPcbPad::GetSizeYOnLayer(TLayerId layer) { return ValidLayer(layer) ? SizesY[layer] : 0; }
int32_t TPcbPad::ShapeOnLayer(TLayerId layer) { return ValidLayer(layer) ? Shapes[layer] : 0; }
int32_t TPcbPad::GetWidthOnLayer(TLayerId layer) {
  return ValidLayer(layer) ? std::min(SizesX[layer], SizesY[layer]) : 0;
}
int32_t TPcbPad::CornerRadiusOnLayer(TLayerId layer) { return ValidLayer(layer) ? CornerRadii[layer] : 0; }

int32_t TPcbPad::LayerCorner(TLayerId layer, int corner, bool wantX, int32_t margin) {
  if (!ValidLayer(layer)) return 0;
  const double w = static_cast<double>(SizesX[layer]) + 2.0 * margin;
  const double h = static_cast<double>(SizesY[layer]) + 2.0 * margin;
  return TurnedCorner(X, Y, w, h, Rotation, corner, wantX);
}

int32_t TPcbPad::CornerX1OnLayer(TLayerId layer, int32_t margin) {
  return LayerCorner(layer, 1, true, margin);
}
int32_t TPcbPad::CornerY1OnLayer(TLayerId layer, int32_t margin) {
  return LayerCorner(layer, 1, false, margin);
}
int32_t TPcbPad::CornerX2OnLayer(TLayerId layer, int32_t margin) {
  return LayerCorner(layer, 2, true, margin);
}
int32_t TPcbPad::CornerY2OnLayer(TLayerId layer, int32_t margin) {
  return LayerCorner(layer, 2, false, margin);
}
int32_t TPcbPad::CornerX3OnLayer(TLayerId layer, int32_t margin) {
  return LayerCorner(layer, 3, true, margin);
}
int32_t TPcbPad::CornerY3OnLayer(TLayerId layer, int32_t margin) {
  return LayerCorner(layer, 3, false, margin);
}
int32_t TPcbPad::CornerX4OnLayer(TLayerId layer, int32_t margin) {
  return LayerCorner(layer, 4, true, margin);
}
int32_t TPcbPad::CornerY4OnLayer(TLayerId layer, int32_t margin) {
  return LayerCorner(layer, 4, false, margin);
}

int32_t TPcbPad::GetXOnLayer(TLayerId layer) {
  return ValidLayer(layer) ? Saturated(int64_t{X} - SizesX[layer] / 2) : 0;
}
int32_t TPcbPad::GetYOnLayer(TLayerId layer) {
  return ValidLayer(layer) ? Saturated(int64_t{Y} - SizesY[layer] / 2) : 0;
}
int32_t TPcbPad::GetX2OnLayer(TLayerId layer) {
  return ValidLayer(layer) ? Saturated(int64_t{X} + SizesX[layer] / 2) : 0;
}
int32_t TPcbPad::GetY2OnLayer(TLayerId layer) {
  return ValidLayer(layer) ? Saturated(int64_t{Y} + SizesY[layer] / 2) : 0;
}

TPcbVia::TPcbVia(qvabi::PcbHandle handle) : TPCBObject(handle) { ObjectKind = static_cast<uint8_t>(kKind); }

int32_t TPcbVia::Sync(uint8_t mode) {
  SyncBitFields(mode);
  TLayerId layer = FromPartitionId(Layer);
  const int32_t result = PcbApi::QueryVia(mode, Handle, &Flags, &HeaderWord, &layer, &HeaderValue1,
                                          &HeaderByte, &HeaderValue2, &X, &Y, &Size, &HoleSize, &KindBytes[0],
                                          &KindBytes[1], &ViaBytes[0], &ViaBytes[1], &LowLayer, &HighLayer);
  Layer = ToPartitionId(layer);
  return result;
}

int32_t TPcbVia::GetSizeOnLayer(TLayerId layer) {
  int32_t sizeX = 0;
  int32_t sizeY = 0;
  PcbApi::QueryPadOrViaSizeOnLayer(Handle, layer, &sizeX, &sizeY);
  return sizeX;
}

int32_t TPcbVia::ShapeOnLayer(TLayerId layer) {
  uint8_t shape = 0;
  PcbApi::QueryPadOrViaShapeOnLayer(Handle, layer, &shape);
  return shape;
}

}  // namespace strativue
