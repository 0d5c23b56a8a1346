// Working copies of the PCB editor's primitives. A wrapper holds the editor
// handle and the fields of the object's editor record, reads them (Sync
// ReadMode), lets the caller change them and writes them back (Sync
// WriteMode). A wrapper owns no editor resource: freeing it never touches the
// editor object; creating, destroying and adding objects are separate calls.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "abi/PcbApiFunctions.h"
#include "abi/Types.h"
#include "plugin/RTL/Exceptions.h"
#include "plugin/RTL/Layers.h"
#include "plugin/RTL/RT_PCB.h"

namespace strativue {

// The base wrapper. Its virtual operations are declared in the editor's slot
// order (slot number in each comment); the destructor comes after the last
// slot so that it does not shift them.
class TPCBObject {
 public:
  explicit TPCBObject(qvabi::PcbHandle handle);
  TPCBObject(const TPCBObject&) = delete;
  TPCBObject& operator=(const TPCBObject&) = delete;

  // 0: exchanges the record with the editor: bit fields 2 and 3, then the
  // kind's query. Answers the last query's result.
  virtual int32_t Sync(uint8_t mode);
  // 1: the editor's bounding rectangle; answers the query's result.
  virtual int32_t GetBoundingRect(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2);
  // 2: moves the reference point (saturating at the 32-bit range).
  virtual void MoveBy(int32_t dx, int32_t dy);
  virtual bool NotImportedFromUser();       // 3
  virtual int32_t GraphicallyInvalidate();  // 4
  virtual bool FlagsBit4();                 // 5
  virtual bool BitField2Bit4();             // 6
  virtual bool BitField2Bit0();             // 7
  virtual bool BitField2Bit1();             // 8
  virtual bool BitField2Bit3();             // 9
  virtual bool BitField2Bit5();             // 10
  virtual bool BitField2Bit6();             // 11
  virtual void SetFlagsBit4(bool value);    // 12
  virtual bool FlagsBit3();                 // 13
  // 14: then Sync(WriteMode).
  virtual void SetFlagsBit3AndWrite(bool value);
  virtual bool FlagsBit8Clear();  // 15
  // 16: clears bit 8 for true, sets it for false, then Sync(WriteMode).
  virtual void SetFlagsBit8ClearAndWrite(bool value);
  virtual bool BitField3Bit1Or2();                 // 17
  virtual void SetBitField3Bits1And2(bool value);  // 18
  virtual bool BitField3Bit1();                    // 19
  virtual void SetBitField3Bit1(bool value);       // 20
  virtual bool BitField3Bit2();                    // 21
  virtual void SetBitField3Bit2(bool value);       // 22
  virtual bool FlagsBit11();                       // 23
  virtual void SetFlagsBit11(bool value);          // 24
  virtual bool FlagsBit13();                       // 25
  virtual void SetFlagsBit13(bool value);          // 26
  virtual bool KindByte1();                        // 27
  virtual void SetKindByte1(bool value);           // 28
  virtual bool KindByte2();                        // 29
  virtual void SetKindByte2(bool value);           // 30
  virtual bool FlagsBit12();                       // 31
  virtual void SetFlagsBit12(bool value);          // 32
  virtual bool FlagsBit14();                       // 33
  virtual void SetFlagsBit14(bool value);          // 34
  virtual bool FlagsBit15();                       // 35
  virtual void SetFlagsBit15(bool value);          // 36
  virtual qvabi::PcbHandle GetHandle();            // 37
  virtual uint8_t GetObjectKind();                 // 38
  virtual int32_t GetX();                          // 39
  virtual int32_t GetY();                          // 40
  virtual int32_t GetX2();                         // 41
  virtual int32_t GetY2();                         // 42
  virtual uint16_t GetFlags();                     // 43
  virtual uint16_t GetHeaderWord();                // 44
  virtual TLayerId GetLayer();                     // 45
  virtual uint8_t GetHeaderByte();                 // 46
  virtual int32_t GetHeaderValue1();               // 47
  virtual int32_t GetHeaderValue2();               // 48
  virtual int32_t GetAttributeA();                 // 49
  virtual int32_t GetAttributeB();                 // 50
  virtual int32_t GetAttributeC();                 // 51
  virtual int32_t GetPadValue1();                  // 52
  virtual int32_t GetPadValue2();                  // 53
  virtual int32_t GetPadValue3();                  // 54
  virtual int32_t GetPadValue4();                  // 55
  virtual int32_t GetPadValue5();                  // 56
  virtual int32_t GetPadValue6();                  // 57
  virtual int32_t GetPadValue7();                  // 58
  virtual bool GetPadByte1();                      // 59
  virtual bool GetPadByte2();                      // 60
  virtual bool GetPadByte3();                      // 61
  virtual std::string GetName();                   // 62
  virtual double GetRotation();                    // 63
  virtual int32_t GetWidth();                      // 64
  virtual int32_t GetShape();                      // 65
  virtual int32_t GetSize();                       // 66
  virtual int32_t GetSizeX();                      // 67
  virtual int32_t GetSizeY();                      // 68
  virtual bool ViaByte1();                         // 69
  virtual bool ViaByte2();                         // 70
  virtual int32_t GetRadius();                     // 71
  virtual double GetStartAngle();                  // 72
  virtual double GetEndAngle();                    // 73
  virtual int32_t GetLineWidth();                  // 74
  virtual int32_t GetBoundsValue1();               // 75
  virtual int32_t GetBoundsValue2();               // 76
  virtual int32_t GetBoundsValue3();               // 77
  virtual int32_t GetBoundsValue4();               // 78
  virtual int32_t GetTextAttribute();              // 79
  virtual bool GetTextFlag();                      // 80
  virtual std::string GetText();                   // 81
  virtual bool FromToByte1();                      // 82
  virtual bool FromToByte2();                      // 83
  // 84 to 91: the corners of the rectangle from (X, Y) to (X2, Y2), grown by
  // `margin` on every side and turned by the rotation about its centre.
  // Unturned, corner 1 is lower left, 2 lower right, 3 upper left, 4 upper
  // right.
  virtual int32_t CornerX1(int32_t margin);  // 84
  virtual int32_t CornerY1(int32_t margin);  // 85
  virtual int32_t CornerX2(int32_t margin);  // 86
  virtual int32_t CornerY2(int32_t margin);  // 87
  virtual int32_t CornerX3(int32_t margin);  // 88
  virtual int32_t CornerY3(int32_t margin);  // 89
  virtual int32_t CornerX4(int32_t margin);  // 90
  virtual int32_t CornerY4(int32_t margin);  // 91
  // 92 to 108: the named slot when `layer` converts to this object's Layer,
  // else 0.
  virtual int32_t GetSizeOnLayer(TLayerId layer);                   // 92
  virtual int32_t GetSizeXOnLayer(TLayerId layer);                  // 93
  virtual int32_t GetSizeYOnLayer(TLayerId layer);                  // 94
  virtual int32_t ShapeOnLayer(TLayerId layer);                     // 95
  virtual int32_t GetWidthOnLayer(TLayerId layer);                  // 96
  virtual int32_t CornerX1OnLayer(TLayerId layer, int32_t margin);  // 97
  virtual int32_t CornerY1OnLayer(TLayerId layer, int32_t margin);  // 98
  virtual int32_t CornerX2OnLayer(TLayerId layer, int32_t margin);  // 99
  virtual int32_t CornerY2OnLayer(TLayerId layer, int32_t margin);  // 100
  virtual int32_t CornerX3OnLayer(TLayerId layer, int32_t margin);  // 101
  virtual int32_t CornerY3OnLayer(TLayerId layer, int32_t margin);  // 102
  virtual int32_t CornerX4OnLayer(TLayerId layer, int32_t margin);  // 103
  virtual int32_t CornerY4OnLayer(TLayerId layer, int32_t margin);  // 104
  virtual int32_t GetXOnLayer(TLayerId layer);                      // 105
  virtual int32_t GetYOnLayer(TLayerId layer);                      // 106
  virtual int32_t GetX2OnLayer(TLayerId layer);                     // 107
  virtual int32_t GetY2OnLayer(TLayerId layer);                     // 108
  virtual void SetHandle(qvabi::PcbHandle value);                   // 109
  virtual void SetObjectKind(uint8_t value);                        // 110
  virtual void SetX(int32_t value);                                 // 111
  virtual void SetY(int32_t value);                                 // 112
  virtual void SetX2(int32_t value);                                // 113
  virtual void SetY2(int32_t value);                                // 114
  virtual void SetFlags(uint16_t value);                            // 115
  virtual void SetHeaderWord(uint16_t value);                       // 116
  virtual void SetLayerId(TLayerId layer);                          // 117
  virtual void SetHeaderByte(uint8_t value);                        // 118
  virtual void SetHeaderValue1(int32_t value);                      // 119
  virtual void SetHeaderValue2(int32_t value);                      // 120
  virtual void SetAttributeA(int32_t value);                        // 121
  virtual void SetAttributeB(int32_t value);                        // 122
  virtual void SetAttributeC(int32_t value);                        // 123
  virtual void SetPadValue1(int32_t value);                         // 124
  virtual void SetPadValue2(int32_t value);                         // 125
  virtual void SetPadValue3(int32_t value);                         // 126
  virtual void SetPadValue4(int32_t value);                         // 127
  virtual void SetPadValue5(int32_t value);                         // 128
  virtual void SetPadValue6(int32_t value);                         // 129
  virtual void SetPadValue7(int32_t value);                         // 130
  virtual void SetPadByte1(bool value);                             // 131
  virtual void SetPadByte2(bool value);                             // 132
  virtual void SetPadByte3(bool value);                             // 133
  virtual void SetName(std::string_view value);                     // 134
  virtual void SetRotation(double value);                           // 135
  virtual void SetWidth(int32_t value);                             // 136
  virtual void SetValue137(int32_t value);                          // 137
  virtual void SetSize(int32_t value);                              // 138
  virtual void SetValue139(int32_t value);                          // 139
  virtual void SetValue140(int32_t value);                          // 140
  virtual void SetViaByte1(bool value);                             // 141
  virtual void SetViaByte2(bool value);                             // 142
  virtual void SetRadius(int32_t value);                            // 143
  virtual void SetStartAngle(double value);                         // 144
  virtual void SetEndAngle(double value);                           // 145
  virtual void SetLineWidth(int32_t value);                         // 146
  virtual void SetTextAttribute(int32_t value);                     // 147
  virtual void SetTextFlag(bool value);                             // 148
  virtual void SetText(std::string_view value);                     // 149
  virtual void SetFromToByte1(bool value);                          // 150
  virtual void SetFromToByte2(bool value);                          // 151

  // Frees the wrapper only; the editor object stays.
  virtual ~TPCBObject() = default;

  // Layer := ToPartitionId(layer); the next Sync(WriteMode) hands it over.
  void SetLayer(TLayerId layer);

  qvabi::PcbHandle Handle;
  uint8_t ObjectKind = 0;
  int32_t X = 0;
  int32_t Y = 0;
  uint16_t Flags = 0;
  uint8_t BitField2 = 0;
  uint16_t BitField3 = 0;
  uint16_t HeaderWord = 0;
  uint8_t HeaderByte = 0;
  int32_t HeaderValue1 = 0;
  int32_t HeaderValue2 = 0;
  TLayerPartitionId Layer = 0;

 protected:
  // GetObjectBitField2 and GetObjectBitField3, the start of every Sync.
  void SyncBitFields(uint8_t mode);
  // The turned-rectangle corner `corner` (1 to 4), x or y.
  int32_t Corner(int corner, bool wantX, int32_t margin);
  // Corner `corner` of a w by h rectangle centred on (centreX, centreY) and
  // turned by `degrees`, rounded half to even and saturated.
  static int32_t TurnedCorner(int32_t centreX, int32_t centreY, double w, double h, double degrees,
                              int corner, bool wantX);
  bool OnLayer(TLayerId layer) const { return ToPartitionId(layer) == Layer; }
};

class TPcbTrack : public TPCBObject {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::Track;
  explicit TPcbTrack(qvabi::PcbHandle handle);

  int32_t Sync(uint8_t mode) override;
  void MoveBy(int32_t dx, int32_t dy) override;
  int32_t GetX2() override { return X2; }
  int32_t GetY2() override { return Y2; }
  int32_t GetAttributeA() override { return AttributeA; }
  int32_t GetAttributeB() override { return AttributeB; }
  int32_t GetAttributeC() override { return AttributeC; }
  int32_t GetWidth() override { return Width; }
  void SetX2(int32_t value) override { X2 = value; }
  void SetY2(int32_t value) override { Y2 = value; }
  void SetAttributeA(int32_t value) override { AttributeA = value; }
  void SetAttributeB(int32_t value) override { AttributeB = value; }
  void SetAttributeC(int32_t value) override { AttributeC = value; }
  void SetWidth(int32_t value) override { Width = value; }

  int32_t X2 = 0;
  int32_t Y2 = 0;
  int32_t Width = 0;
  int32_t AttributeA = 0;
  int32_t AttributeB = 0;
  int32_t AttributeC = 0;
};

class TPcbArc : public TPCBObject {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::Arc;
  explicit TPcbArc(qvabi::PcbHandle handle);

  int32_t Sync(uint8_t mode) override;
  int32_t GetAttributeA() override { return AttributeA; }
  int32_t GetRadius() override { return Radius; }
  double GetStartAngle() override { return StartAngle; }
  double GetEndAngle() override { return EndAngle; }
  int32_t GetLineWidth() override { return Width; }
  void SetAttributeA(int32_t value) override { AttributeA = value; }
  void SetRadius(int32_t value) override { Radius = value; }
  void SetStartAngle(double value) override { StartAngle = value; }
  void SetEndAngle(double value) override { EndAngle = value; }
  void SetLineWidth(int32_t value) override { Width = value; }

  int32_t Radius = 0;
  double StartAngle = 0.0;
  double EndAngle = 0.0;
  int32_t Width = 0;
  int32_t AttributeA = 0;
};

class TPcbFill : public TPCBObject {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::Fill;
  explicit TPcbFill(qvabi::PcbHandle handle);

  int32_t Sync(uint8_t mode) override;
  void MoveBy(int32_t dx, int32_t dy) override;
  int32_t GetX2() override { return X2; }
  int32_t GetY2() override { return Y2; }
  int32_t GetAttributeA() override { return AttributeA; }
  double GetRotation() override { return Rotation; }
  void SetX2(int32_t value) override { X2 = value; }
  void SetY2(int32_t value) override { Y2 = value; }
  void SetAttributeA(int32_t value) override { AttributeA = value; }
  void SetRotation(double value) override { Rotation = value; }

  int32_t X2 = 0;
  int32_t Y2 = 0;
  int32_t AttributeA = 0;
  double Rotation = 0.0;
};

class TPcbText : public TPCBObject {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::Text;
  // The most characters the plug-in writes into a text.
  static constexpr std::size_t kMaxTextLength = 254;

  explicit TPcbText(qvabi::PcbHandle handle);

  // The text record, then the TrueType part, the designator display string
  // and the bar-code part. Answers the TrueType query's result, or 1 when
  // the bar-code query answers 1.
  int32_t Sync(uint8_t mode) override;
  int32_t GetAttributeB() override { return AttributeB; }
  int32_t GetAttributeC() override { return AttributeC; }
  double GetRotation() override { return Rotation; }
  int32_t GetWidth() override { return Width; }
  int32_t GetSize() override { return Size; }
  int32_t GetLineWidth() override { return Width; }
  int32_t GetTextAttribute() override { return TextAttribute; }
  bool GetTextFlag() override { return TextFlag != 0; }
  std::string GetText() override { return Text.str(); }
  void SetAttributeB(int32_t value) override { AttributeB = value; }
  void SetAttributeC(int32_t value) override { AttributeC = value; }
  void SetRotation(double value) override { Rotation = value; }
  void SetSize(int32_t value) override { Size = value; }
  void SetLineWidth(int32_t value) override { Width = value; }
  void SetTextAttribute(int32_t value) override { TextAttribute = value; }
  void SetTextFlag(bool value) override { TextFlag = qvabi::ToByteBool(value); }
  // Keeps the first 254 characters.
  void SetText(std::string_view value) override { Text.assign(value, kMaxTextLength); }

  int32_t Size = 0;
  int32_t TextAttribute = 0;
  double Rotation = 0.0;
  uint8_t TextFlag = 0;
  qvabi::ShortString Text{};
  int32_t Width = 0;
  int32_t AttributeB = 0;
  int32_t AttributeC = 0;
  // At most 254 characters.
  qvabi::ShortString DesignatorText{};
  uint8_t TrueTypeMode = 0;
  qvabi::ShortString FontName{};
  uint8_t TrueTypeFlag1 = 0;
  uint8_t TrueTypeFlag2 = 0;
  uint8_t TrueTypeFlag3 = 0;
  int32_t TrueTypeValue = 200000;
  uint8_t BarCodeBytes[4] = {0, 0, 0, 0};
};

// Makes a new editor primitive of T's kind on `board`: creates the editor
// object, wraps it, takes the editor's defaults (Sync ReadMode), lets
// `change` set the wanted fields, puts it on `layer`, writes it
// (Sync WriteMode) and gives it its owner board. The object is not yet part
// of the board's contents (TPcbBoard::AddToBoard). When `change` raises, the
// editor object is destroyed before the error goes on. Without the editor the
// handle is 0 and the wrapper keeps its constructor's values. When the editor
// refuses to write the new record, the object is destroyed and Exception
// raised.
template <typename T, typename Change>
std::unique_ptr<T> NewPrimitive(qvabi::PcbHandle board, TLayerId layer, Change&& change);

// Changes an existing primitive: Sync(ReadMode), `change`, SetLayer(layer),
// Sync(WriteMode).
template <typename Change>
void ChangePrimitive(TPCBObject& object, TLayerId layer, Change&& change) {
  object.Sync(qvabi::ReadMode);
  std::forward<Change>(change)(object);
  object.SetLayer(layer);
  object.Sync(qvabi::WriteMode);
}

namespace detail {
qvabi::PcbHandle CreateEditorObject(qvabi::ObjectKind kind);
void DestroyEditorObject(qvabi::PcbHandle handle);
void SetEditorOwnerBoard(qvabi::PcbHandle handle, qvabi::PcbHandle board);
}  // namespace detail

template <typename T, typename Change>
std::unique_ptr<T> NewPrimitive(qvabi::PcbHandle board, TLayerId layer, Change&& change) {
  const qvabi::PcbHandle handle = detail::CreateEditorObject(T::kKind);
  try {
    auto object = std::make_unique<T>(handle);
    object->Sync(qvabi::ReadMode);
    std::forward<Change>(change)(*object);
    object->SetLayer(layer);
    // A record the editor refused would leave the object on the editor's
    // default layer, so it is dropped rather than handed out.
    if (object->Sync(qvabi::WriteMode) != 0 && handle != 0)
      throw Exception("The editor refused a new primitive");
    detail::SetEditorOwnerBoard(handle, board);
    return object;
  } catch (...) {
    detail::DestroyEditorObject(handle);
    throw;
  }
}

}  // namespace strativue
