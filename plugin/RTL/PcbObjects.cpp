#include "plugin/RTL/PcbObjects.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "plugin/RTL/PcbApi.h"

namespace strativue {
namespace {

int32_t AddSaturated(int32_t a, int32_t b) {
  const int64_t sum = int64_t{a} + b;
  if (sum > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (sum < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(sum);
}

// Round, halves to even, saturated to the 32-bit range.
int32_t RoundToInt32(double value) {
  const double rounded = RoundHalfEven(value);
  if (std::isnan(rounded)) return 0;
  if (rounded <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  if (rounded >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(rounded);
}

bool Bit(uint32_t word, int bit) { return (word >> bit) & 1u; }

template <typename Word>
void SetBit(Word& word, int bit, bool value) {
  const auto mask = static_cast<Word>(1u << bit);
  word = value ? static_cast<Word>(word | mask) : static_cast<Word>(word & ~mask);
}

}  // namespace

namespace detail {
qvabi::PcbHandle CreateEditorObject(qvabi::ObjectKind kind) {
  return PcbApi::CreateObject(static_cast<uint8_t>(kind));
}
void DestroyEditorObject(qvabi::PcbHandle handle) {
  if (handle != 0) PcbApi::DestroyObject(handle);
}
void SetEditorOwnerBoard(qvabi::PcbHandle handle, qvabi::PcbHandle board) {
  PcbApi::SetOwnerBoard(handle, board);
}
}  // namespace detail

TPCBObject::TPCBObject(qvabi::PcbHandle handle) : Handle(handle) {}

void TPCBObject::SyncBitFields(uint8_t mode) {
  PcbApi::GetObjectBitField2(mode, Handle, &BitField2);
  PcbApi::GetObjectBitField3(mode, Handle, &BitField3);
}

int32_t TPCBObject::Sync(uint8_t mode) {
  SyncBitFields(mode);
  return PcbApi::QueryPrimitive(mode, Handle, &Flags, &HeaderWord, &Layer, &HeaderValue1, &HeaderValue2,
                                &HeaderByte);
}

int32_t TPCBObject::GetBoundingRect(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2) {
  return PcbApi::QueryObjectBoundingRectangle(Handle, &x1, &y1, &x2, &y2);
}

void TPCBObject::MoveBy(int32_t dx, int32_t dy) {
  X = AddSaturated(X, dx);
  Y = AddSaturated(Y, dy);
}

bool TPCBObject::NotImportedFromUser() { return !PcbApi::QueryObjectImport_FromUser(Handle); }
int32_t TPCBObject::GraphicallyInvalidate() { return PcbApi::QueryObjectGraphicallyInvalidate(Handle); }
bool TPCBObject::FlagsBit4() { return Bit(Flags, 4); }
bool TPCBObject::BitField2Bit4() { return Bit(BitField2, 4); }
bool TPCBObject::BitField2Bit0() { return Bit(BitField2, 0); }
bool TPCBObject::BitField2Bit1() { return Bit(BitField2, 1); }
bool TPCBObject::BitField2Bit3() { return Bit(BitField2, 3); }
bool TPCBObject::BitField2Bit5() { return Bit(BitField2, 5); }
bool TPCBObject::BitField2Bit6() { return Bit(BitField2, 6); }
void TPCBObject::SetFlagsBit4(bool value) { SetBit(Flags, 4, value); }
bool TPCBObject::FlagsBit3() { return Bit(Flags, 3); }
void TPCBObject::SetFlagsBit3AndWrite(bool value) {
  SetBit(Flags, 3, value);
  Sync(qvabi::WriteMode);
}
bool TPCBObject::FlagsBit8Clear() { return !Bit(Flags, 8); }
void TPCBObject::SetFlagsBit8ClearAndWrite(bool value) {
  SetBit(Flags, 8, !value);
  Sync(qvabi::WriteMode);
}
bool TPCBObject::BitField3Bit1Or2() { return BitField3Bit1() || BitField3Bit2(); }
void TPCBObject::SetBitField3Bits1And2(bool value) {
  SetBitField3Bit1(value);
  SetBitField3Bit2(value);
}
bool TPCBObject::BitField3Bit1() { return Bit(BitField3, 1); }
void TPCBObject::SetBitField3Bit1(bool value) { SetBit(BitField3, 1, value); }
bool TPCBObject::BitField3Bit2() { return Bit(BitField3, 2); }
void TPCBObject::SetBitField3Bit2(bool value) { SetBit(BitField3, 2, value); }
bool TPCBObject::FlagsBit11() { return Bit(Flags, 11); }
void TPCBObject::SetFlagsBit11(bool value) { SetBit(Flags, 11, value); }
bool TPCBObject::FlagsBit13() { return Bit(Flags, 13); }
void TPCBObject::SetFlagsBit13(bool value) { SetBit(Flags, 13, value); }
bool TPCBObject::KindByte1() { return false; }
void TPCBObject::SetKindByte1(bool) {}
bool TPCBObject::KindByte2() { return false; }
void TPCBObject::SetKindByte2(bool) {}
bool TPCBObject::FlagsBit12() { return Bit(Flags, 12); }
void TPCBObject::SetFlagsBit12(bool value) { SetBit(Flags, 12, value); }
bool TPCBObject::FlagsBit14() { return Bit(Flags, 14); }
void TPCBObject::SetFlagsBit14(bool value) { SetBit(Flags, 14, value); }
bool TPCBObject::FlagsBit15() { return Bit(Flags, 15); }
void TPCBObject::SetFlagsBit15(bool value) { SetBit(Flags, 15, value); }
qvabi::PcbHandle TPCBObject::GetHandle() { return Handle; }
uint8_t TPCBObject::GetObjectKind() { return ObjectKind; }
int32_t TPCBObject::GetX() { return X; }
int32_t TPCBObject::GetY() { return Y; }
int32_t TPCBObject::GetX2() { return X; }
int32_t TPCBObject::GetY2() { return Y; }
uint16_t TPCBObject::GetFlags() { return Flags; }
uint16_t TPCBObject::GetHeaderWord() { return HeaderWord; }
TLayerId TPCBObject::GetLayer() { return FromPartitionId(Layer); }
uint8_t TPCBObject::GetHeaderByte() { return HeaderByte; }
int32_t TPCBObject::GetHeaderValue1() { return HeaderValue1; }
int32_t TPCBObject::GetHeaderValue2() { return HeaderValue2; }
int32_t TPCBObject::GetAttributeA() { return 0; }
int32_t TPCBObject::GetAttributeB() { return 0; }
int32_t TPCBObject::GetAttributeC() { return 0; }
int32_t TPCBObject::GetPadValue1() { return 0; }
int32_t TPCBObject::GetPadValue2() { return 0; }
int32_t TPCBObject::GetPadValue3() { return 0; }
int32_t TPCBObject::GetPadValue4() { return 0; }
int32_t TPCBObject::GetPadValue5() { return 0; }
int32_t TPCBObject::GetPadValue6() { return 0; }
int32_t TPCBObject::GetPadValue7() { return 0; }
bool TPCBObject::GetPadByte1() { return false; }
bool TPCBObject::GetPadByte2() { return false; }
bool TPCBObject::GetPadByte3() { return false; }
std::string TPCBObject::GetName() { return {}; }
double TPCBObject::GetRotation() { return 0.0; }
int32_t TPCBObject::GetWidth() { return 0; }
int32_t TPCBObject::GetShape() { return 0; }
int32_t TPCBObject::GetSize() { return 0; }
int32_t TPCBObject::GetSizeX() { return GetSize(); }
int32_t TPCBObject::GetSizeY() { return GetSize(); }
bool TPCBObject::ViaByte1() { return false; }
bool TPCBObject::ViaByte2() { return false; }
int32_t TPCBObject::GetRadius() { return 0; }
double TPCBObject::GetStartAngle() { return 0.0; }
double TPCBObject::GetEndAngle() { return 0.0; }
int32_t TPCBObject::GetLineWidth() { return 0; }

int32_t TPCBObject::GetBoundsValue1() {
  int32_t v[4] = {0, 0, 0, 0};
  GetBoundingRect(v[0], v[1], v[2], v[3]);
  return v[0];
}
int32_t TPCBObject::GetBoundsValue2() {
  int32_t v[4] = {0, 0, 0, 0};
  GetBoundingRect(v[0], v[1], v[2], v[3]);
  return v[1];
}
int32_t TPCBObject::GetBoundsValue3() {
  int32_t v[4] = {0, 0, 0, 0};
  GetBoundingRect(v[0], v[1], v[2], v[3]);
  return v[2];
}
int32_t TPCBObject::GetBoundsValue4() {
  int32_t v[4] = {0, 0, 0, 0};
  GetBoundingRect(v[0], v[1], v[2], v[3]);
  return v[3];
}

int32_t TPCBObject::GetTextAttribute() { return 0; }
bool TPCBObject::GetTextFlag() { return false; }
std::string TPCBObject::GetText() { return {}; }
bool TPCBObject::FromToByte1() { return false; }
bool TPCBObject::FromToByte2() { return false; }

int32_t TPCBObject::Corner(int corner, bool wantX, int32_t margin) {
  const int32_t x = GetX();
  const int32_t y = GetY();
  const int32_t x2 = GetX2();
  const int32_t y2 = GetY2();
  const double w = std::fabs(static_cast<double>(x2) - x) + 2.0 * margin;
  const double h = std::fabs(static_cast<double>(y2) - y) + 2.0 * margin;
  return TurnedCorner(x / 2 + x2 / 2, y / 2 + y2 / 2, w, h, GetRotation(), corner, wantX);
}

int32_t TPCBObject::TurnedCorner(int32_t centreX, int32_t centreY, double w, double h, double degrees,
                                 int corner, bool wantX) {
  const double cx = centreX;
  const double cy = centreY;
  const bool leftSide = corner == 1 || corner == 3;
  if (h == 0.0) return wantX ? RoundToInt32(leftSide ? cx - w / 2 : cx + w / 2) : centreY;

  const double r = std::sqrt((w / 2) * (w / 2) + (h / 2) * (h / 2));
  const double phi = std::atan(w / h);
  const double theta = degrees * std::numbers::pi / 180.0;
  const double a = phi - theta;
  const double b = std::numbers::pi / 2 - theta - phi;
  double cornerX = 0.0;
  double cornerY = 0.0;
  switch (corner) {
    case 1:
      cornerX = cx - r * std::sin(a);
      cornerY = cy - r * std::cos(a);
      break;
    case 2:
      cornerX = cx + r * std::cos(b);
      cornerY = cy - r * std::sin(b);
      break;
    case 3:
      cornerX = cx - r * std::cos(b);
      cornerY = cy + r * std::sin(b);
      break;
    default:
      cornerX = cx + r * std::sin(a);
      cornerY = cy + r * std::cos(a);
      break;
  }
  return RoundToInt32(wantX ? cornerX : cornerY);
}

int32_t TPCBObject::CornerX1(int32_t margin) { return Corner(1, true, margin); }
int32_t TPCBObject::CornerY1(int32_t margin) { return Corner(1, false, margin); }
int32_t TPCBObject::CornerX2(int32_t margin) { return Corner(2, true, margin); }
int32_t TPCBObject::CornerY2(int32_t margin) { return Corner(2, false, margin); }
int32_t TPCBObject::CornerX3(int32_t margin) { return Corner(3, true, margin); }
int32_t TPCBObject::CornerY3(int32_t margin) { return Corner(3, false, margin); }
int32_t TPCBObject::CornerX4(int32_t margin) { return Corner(4, true, margin); }
int32_t TPCBObject::CornerY4(int32_t margin) { return Corner(4, false, margin); }

int32_t TPCBObject::GetSizeOnLayer(TLayerId layer) { return OnLayer(layer) ? GetSize() : 0; }
int32_t TPCBObject::GetSizeXOnLayer(TLayerId layer) { return OnLayer(layer) ? GetSizeX() : 0; }
int32_t TPCBObject::GetSizeYOnLayer(TLayerId layer) { return OnLayer(layer) ? GetSizeY() : 0; }
int32_t TPCBObject::ShapeOnLayer(TLayerId layer) { return OnLayer(layer) ? GetShape() : 0; }
int32_t TPCBObject::GetWidthOnLayer(TLayerId layer) { return OnLayer(layer) ? GetWidth() : 0; }
int32_t TPCBObject::CornerX1OnLayer(TLayerId layer, int32_t margin) {
  return OnLayer(layer) ? CornerX1(margin) : 0;
}
int32_t TPCBObject::CornerY1OnLayer(TLayerId layer, int32_t margin) {
  return OnLayer(layer) ? CornerY1(margin) : 0;
}
int32_t TPCBObject::CornerX2OnLayer(TLayerId layer, int32_t margin) {
  return OnLayer(layer) ? CornerX2(margin) : 0;
}
int32_t TPCBObject::CornerY2OnLayer(TLayerId layer, int32_t margin) {
  return OnLayer(layer) ? CornerY2(margin) : 0;
}
int32_t TPCBObject::CornerX3OnLayer(TLayerId layer, int32_t margin) {
  return OnLayer(layer) ? CornerX3(margin) : 0;
}
int32_t TPCBObject::CornerY3OnLayer(TLayerId layer, int32_t margin) {
  return OnLayer(layer) ? CornerY3(margin) : 0;
}
int32_t TPCBObject::CornerX4OnLayer(TLayerId layer, int32_t margin) {
  return OnLayer(layer) ? CornerX4(margin) : 0;
}
int32_t TPCBObject::CornerY4OnLayer(TLayerId layer, int32_t margin) {
  return OnLayer(layer) ? CornerY4(margin) : 0;
}
int32_t TPCBObject::GetXOnLayer(TLayerId layer) { return OnLayer(layer) ? GetX() : 0; }
int32_t TPCBObject::GetYOnLayer(TLayerId layer) { return OnLayer(layer) ? GetY() : 0; }
int32_t TPCBObject::GetX2OnLayer(TLayerId layer) { return OnLayer(layer) ? GetX2() : 0; }
int32_t TPCBObject::GetY2OnLayer(TLayerId layer) { return OnLayer(layer) ? GetY2() : 0; }

void TPCBObject::SetHandle(qvabi::PcbHandle value) { Handle = value; }
void TPCBObject::SetObjectKind(uint8_t value) { ObjectKind = value; }
void TPCBObject::SetX(int32_t value) { X = value; }
void TPCBObject::SetY(int32_t value) { Y = value; }
void TPCBObject::SetX2(int32_t) {}
void TPCBObject::SetY2(int32_t) {}
void TPCBObject::SetFlags(uint16_t value) { Flags = value; }
void TPCBObject::SetHeaderWord(uint16_t value) { HeaderWord = value; }
void TPCBObject::SetLayerId(TLayerId layer) { SetLayer(layer); }
void TPCBObject::SetHeaderByte(uint8_t value) { HeaderByte = value; }
void TPCBObject::SetHeaderValue1(int32_t value) { HeaderValue1 = value; }
void TPCBObject::SetHeaderValue2(int32_t value) { HeaderValue2 = value; }
void TPCBObject::SetAttributeA(int32_t) {}
void TPCBObject::SetAttributeB(int32_t) {}
void TPCBObject::SetAttributeC(int32_t) {}
void TPCBObject::SetPadValue1(int32_t) {}
void TPCBObject::SetPadValue2(int32_t) {}
void TPCBObject::SetPadValue3(int32_t) {}
void TPCBObject::SetPadValue4(int32_t) {}
void TPCBObject::SetPadValue5(int32_t) {}
void TPCBObject::SetPadValue6(int32_t) {}
void TPCBObject::SetPadValue7(int32_t) {}
void TPCBObject::SetPadByte1(bool) {}
void TPCBObject::SetPadByte2(bool) {}
void TPCBObject::SetPadByte3(bool) {}
void TPCBObject::SetName(std::string_view) {}
void TPCBObject::SetRotation(double) {}
void TPCBObject::SetWidth(int32_t) {}
void TPCBObject::SetValue137(int32_t) {}
void TPCBObject::SetSize(int32_t) {}
void TPCBObject::SetValue139(int32_t) {}
void TPCBObject::SetValue140(int32_t) {}
void TPCBObject::SetViaByte1(bool) {}
void TPCBObject::SetViaByte2(bool) {}
void TPCBObject::SetRadius(int32_t) {}
void TPCBObject::SetStartAngle(double) {}
void TPCBObject::SetEndAngle(double) {}
void TPCBObject::SetLineWidth(int32_t) {}
void TPCBObject::SetTextAttribute(int32_t) {}
void TPCBObject::SetTextFlag(bool) {}
void TPCBObject::SetText(std::string_view) {}
void TPCBObject::SetFromToByte1(bool) {}
void TPCBObject::SetFromToByte2(bool) {}

void TPCBObject::SetLayer(TLayerId layer) { Layer = ToPartitionId(layer); }

TPcbTrack::TPcbTrack(qvabi::PcbHandle handle) : TPCBObject(handle) {
  ObjectKind = static_cast<uint8_t>(kKind);
}

int32_t TPcbTrack::Sync(uint8_t mode) {
  SyncBitFields(mode);
  return PcbApi::QueryTrack(mode, Handle, &Flags, &HeaderWord, &Layer, &HeaderValue1, &HeaderByte,
                            &HeaderValue2, &X, &Y, &X2, &Y2, &Width, &AttributeA, &AttributeB, &AttributeC);
}

void TPcbTrack::MoveBy(int32_t dx, int32_t dy) {
  TPCBObject::MoveBy(dx, dy);
  X2 = AddSaturated(X2, dx);
  Y2 = AddSaturated(Y2, dy);
}

TPcbArc::TPcbArc(qvabi::PcbHandle handle) : TPCBObject(handle) { ObjectKind = static_cast<uint8_t>(kKind); }

int32_t TPcbArc::Sync(uint8_t mode) {
  SyncBitFields(mode);
  return PcbApi::QueryArc(mode, Handle, &Flags, &HeaderWord, &Layer, &HeaderValue1, &HeaderByte,
                          &HeaderValue2, &X, &Y, &Radius, &StartAngle, &EndAngle, &Width, &AttributeA);
}

TPcbFill::TPcbFill(qvabi::PcbHandle handle) : TPCBObject(handle) { ObjectKind = static_cast<uint8_t>(kKind); }

int32_t TPcbFill::Sync(uint8_t mode) {
  SyncBitFields(mode);
  return PcbApi::QueryFill(mode, Handle, &Flags, &HeaderWord, &Layer, &HeaderValue1, &HeaderByte,
                           &HeaderValue2, &X, &Y, &X2, &Y2, &AttributeA, &Rotation);
}

void TPcbFill::MoveBy(int32_t dx, int32_t dy) {
  TPCBObject::MoveBy(dx, dy);
  X2 = AddSaturated(X2, dx);
  Y2 = AddSaturated(Y2, dy);
}

TPcbText::TPcbText(qvabi::PcbHandle handle) : TPCBObject(handle) {
  ObjectKind = static_cast<uint8_t>(kKind);
  FontName.assign("Arial");
}

int32_t TPcbText::Sync(uint8_t mode) {
  SyncBitFields(mode);
  int32_t result = PcbApi::QueryText(mode, Handle, &Flags, &HeaderWord, &Layer, &HeaderValue1, &HeaderByte,
                                     &HeaderValue2, &X, &Y, &Size, &TextAttribute, &Rotation, &TextFlag,
                                     &Text, &Width, &AttributeB, &AttributeC);
  // A refused text record counts as much as a refused TrueType record.
  if (const int32_t trueType =
          PcbApi::QueryTrueTypeTextInfo(mode, Handle, &TrueTypeMode, &FontName, &TrueTypeFlag1,
                                        &TrueTypeFlag2, &TrueTypeFlag3, &TrueTypeValue);
      trueType != 0)
    result = trueType;
  // Written in place, so that a missing editor function leaves the current
  // value, then cut to the plug-in's limit.
  PcbApi::GetDesignatorDisplayString(Handle, &DesignatorText);
  DesignatorText.bytes[0] = static_cast<uint8_t>(qvabi::Utf8CutLength(DesignatorText.view(), kMaxTextLength));
  if (PcbApi::QueryBarCodeTextInfo(mode, Handle, &BarCodeBytes[0], &BarCodeBytes[1], &BarCodeBytes[2],
                                   &BarCodeBytes[3]) == 1)
    result = 1;
  return result;
}

}  // namespace strativue
