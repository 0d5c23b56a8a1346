// Working copies of the editor's pads and vias.
#pragma once

#include <array>

#include "plugin/RTL/PcbObjects.h"

namespace strativue {

// A pad: its record, its stack mode and its shape, size and corner radius on
// every layer id 0 to 82.
class TPcbPad : public TPCBObject {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::Pad;
  static constexpr int kLayerCount = 83;
  // The stack mode in which every layer has its own shape and size.
  static constexpr uint8_t kFullStackMode = 2;
  // The shape code whose corners are rounded by a percentage.
  static constexpr uint8_t kRoundedRectangle = 9;

  explicit TPcbPad(qvabi::PcbHandle handle);

  // The pad record; when the editor refuses it, its answer at once. Then the
  // stack mode and, reading, every layer's shape, size, corner radius and
  // corner-radius percentage (keeping those of layer 1, of the last of layers
  // 2 to 31 and of layer 32); writing, in the full stack mode every layer's
  // shape, size and percentage, in another mode only the three percentages,
  // for each layer shaped as a rounded rectangle. Answers the last call's result.
  int32_t Sync(uint8_t mode) override;

  bool KindByte1() override { return KindBytes[0] != 0; }
  void SetKindByte1(bool value) override { KindBytes[0] = qvabi::ToByteBool(value); }
  bool KindByte2() override { return KindBytes[1] != 0; }
  void SetKindByte2(bool value) override { KindBytes[1] = qvabi::ToByteBool(value); }
  int32_t GetPadValue1() override { return PadValues[0]; }
  int32_t GetPadValue2() override { return PadValues[1]; }
  int32_t GetPadValue3() override { return PadValues[2]; }
  int32_t GetPadValue4() override { return PadValues[3]; }
  int32_t GetPadValue5() override { return PadValues[4]; }
  int32_t GetPadValue6() override { return PadValues[5]; }
  int32_t GetPadValue7() override { return PadValues[6]; }
  bool GetPadByte1() override { return PadBytes[0] != 0; }
  bool GetPadByte2() override { return PadBytes[1] != 0; }
  bool GetPadByte3() override { return PadBytes[2] != 0; }
  std::string GetName() override { return Name.str(); }
  double GetRotation() override { return Rotation; }
  // Per-layer answers; 0 for a layer id beyond 82.
  int32_t GetSizeXOnLayer(TLayerId layer) override;
  int32_t GetSizeYOnLayer(TLayerId layer) override;
  int32_t ShapeOnLayer(TLayerId layer) override;
  // The smaller of the layer's two sizes.
  int32_t GetWidthOnLayer(TLayerId layer) override;
  // The corners of the layer's size, grown by `margin`, turned by the
  // rotation about the pad's centre (X, Y).
  int32_t CornerX1OnLayer(TLayerId layer, int32_t margin) override;
  int32_t CornerY1OnLayer(TLayerId layer, int32_t margin) override;
  int32_t CornerX2OnLayer(TLayerId layer, int32_t margin) override;
  int32_t CornerY2OnLayer(TLayerId layer, int32_t margin) override;
  int32_t CornerX3OnLayer(TLayerId layer, int32_t margin) override;
  int32_t CornerY3OnLayer(TLayerId layer, int32_t margin) override;
  int32_t CornerX4OnLayer(TLayerId layer, int32_t margin) override;
  int32_t CornerY4OnLayer(TLayerId layer, int32_t margin) override;
  // The unturned extent on the layer: centre minus and plus half the size.
  int32_t GetXOnLayer(TLayerId layer) override;
  int32_t GetYOnLayer(TLayerId layer) override;
  int32_t GetX2OnLayer(TLayerId layer) override;
  int32_t GetY2OnLayer(TLayerId layer) override;
  void SetPadValue1(int32_t value) override { PadValues[0] = value; }
  void SetPadValue2(int32_t value) override { PadValues[1] = value; }
  void SetPadValue3(int32_t value) override { PadValues[2] = value; }
  void SetPadValue4(int32_t value) override { PadValues[3] = value; }
  void SetPadValue5(int32_t value) override { PadValues[4] = value; }
  void SetPadValue6(int32_t value) override { PadValues[5] = value; }
  void SetPadValue7(int32_t value) override { PadValues[6] = value; }
  void SetPadByte1(bool value) override { PadBytes[0] = qvabi::ToByteBool(value); }
  void SetPadByte2(bool value) override { PadBytes[1] = qvabi::ToByteBool(value); }
  void SetPadByte3(bool value) override { PadBytes[2] = qvabi::ToByteBool(value); }
  void SetName(std::string_view value) override { Name.assign(value); }
  void SetRotation(double value) override { Rotation = value; }
  // Slot 152, after the base's slots: the layer's corner radius as last read.
  virtual int32_t CornerRadiusOnLayer(TLayerId layer);

  std::array<int32_t, 7> PadValues{};
  std::array<uint8_t, 3> PadBytes{};
  qvabi::ShortString Name{};
  double Rotation = 0.0;
  std::array<uint8_t, 2> KindBytes{};
  std::array<int32_t, 10> ExtraValues{};  // editor-defined
  std::array<uint8_t, 3> ExtraBytes{};    // editor-defined
  uint8_t StackMode = 0;
  std::array<uint8_t, kLayerCount> Shapes{};
  std::array<int32_t, kLayerCount> SizesX{};
  std::array<int32_t, kLayerCount> SizesY{};
  std::array<int32_t, kLayerCount> CornerRadii{};
  uint8_t TopCornerPercent = 0;
  uint8_t MidCornerPercent = 0;
  uint8_t BottomCornerPercent = 0;

 private:
  bool ValidLayer(TLayerId layer) const { return layer < kLayerCount; }
  int32_t LayerCorner(TLayerId layer, int corner, bool wantX, int32_t margin);
  // The kept percentage that stands for `layer`: layer 1, layer 32 or the rest.
  uint8_t& CornerPercentFor(int layer);
};

class TPcbVia : public TPCBObject {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::Via;
  explicit TPcbVia(qvabi::PcbHandle handle);

  // The via record, whose layer travels as a layer id and is converted back.
  int32_t Sync(uint8_t mode) override;
  bool KindByte1() override { return KindBytes[0] != 0; }
  void SetKindByte1(bool value) override { KindBytes[0] = qvabi::ToByteBool(value); }
  bool KindByte2() override { return KindBytes[1] != 0; }
  void SetKindByte2(bool value) override { KindBytes[1] = qvabi::ToByteBool(value); }
  int32_t GetPadValue7() override { return HoleSize; }
  void SetPadValue7(int32_t value) override { HoleSize = value; }
  int32_t GetSize() override { return Size; }
  void SetSize(int32_t value) override { Size = value; }
  bool ViaByte1() override { return ViaBytes[0] != 0; }
  void SetViaByte1(bool value) override { ViaBytes[0] = qvabi::ToByteBool(value); }
  bool ViaByte2() override { return ViaBytes[1] != 0; }
  void SetViaByte2(bool value) override { ViaBytes[1] = qvabi::ToByteBool(value); }
  // Asked of the editor each time: the via's size and shape on that layer.
  int32_t GetSizeOnLayer(TLayerId layer) override;
  int32_t ShapeOnLayer(TLayerId layer) override;

  int32_t Size = 0;
  int32_t HoleSize = 0;
  std::array<uint8_t, 2> KindBytes{};
  std::array<uint8_t, 2> ViaBytes{};
  uint8_t LowLayer = 0;
  uint8_t HighLayer = 0;
};

}  // namespace strativue
