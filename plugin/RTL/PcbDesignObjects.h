// Working copies of the editor's other object kinds: from-tos, component
// bodies, differential pairs, regions, embedded boards, object classes,
// embedded objects, design rules and rule violations.
#pragma once

#include <string>
#include <vector>

#include "plugin/RTL/PcbObjects.h"

namespace strativue {

class TPcbFromTo : public TPCBObject {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::FromTo;
  explicit TPcbFromTo(qvabi::PcbHandle handle);
  // HeaderWord, X, Y, a byte, X2, Y2, a byte, HeaderValue1.
  int32_t Sync(uint8_t mode) override;
  int32_t GetX2() override { return X2; }
  int32_t GetY2() override { return Y2; }
  void SetX2(int32_t value) override { X2 = value; }
  void SetY2(int32_t value) override { Y2 = value; }
  bool FromToByte1() override { return Byte1 != 0; }
  bool FromToByte2() override { return Byte2 != 0; }
  void SetFromToByte1(bool value) override { Byte1 = qvabi::ToByteBool(value); }
  void SetFromToByte2(bool value) override { Byte2 = qvabi::ToByteBool(value); }

  int32_t X2 = 0;
  int32_t Y2 = 0;
  uint8_t Byte1 = 0;
  uint8_t Byte2 = 0;
};

// A from-to the user drew by hand. Its ObjectKind stays 0, although the
// editor reports its objects as kind 17.
class TPcbManualFromTo : public TPCBObject {
 public:
  explicit TPcbManualFromTo(qvabi::PcbHandle handle) : TPCBObject(handle) {}
  // HeaderWord and four strings: net, from pad, to pad, name.
  int32_t Sync(uint8_t mode) override;

  qvabi::ShortString Net{};
  qvabi::ShortString FromPad{};
  qvabi::ShortString ToPad{};
  qvabi::ShortString Name{};
};

// Kinds that exchange only the common record.
class TPcbComponentBody : public TPCBObject {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::ComponentBody;
  explicit TPcbComponentBody(qvabi::PcbHandle handle);
};

class TPcbDifferentialPair : public TPCBObject {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::DifferentialPair;
  explicit TPcbDifferentialPair(qvabi::PcbHandle handle);
};

class TPCBRegion : public TPCBObject {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::Region;
  explicit TPCBRegion(qvabi::PcbHandle handle);
  int32_t Sync(uint8_t mode) override;

  qvabi::ShortString Net{};
  uint8_t Keepout = 0;
  int32_t RegionKind = 0;
};

class TPcbEmbeddedBoard : public TPCBObject {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::EmbeddedBoard;
  explicit TPcbEmbeddedBoard(qvabi::PcbHandle handle);
  int32_t Sync(uint8_t mode) override;
  // Slots 80 and 148 carry the board's mirror byte.
  bool GetTextFlag() override { return Mirrored != 0; }
  void SetTextFlag(bool value) override { Mirrored = qvabi::ToByteBool(value); }

  qvabi::ShortString Document{};
  int32_t Rows = 0;
  int32_t Columns = 0;
  int32_t RowSpacing = 0;
  int32_t ColumnSpacing = 0;
  uint8_t Mirrored = 0;
};

class TPCBObjectClass : public TPCBObject {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::ObjectClass;
  explicit TPCBObjectClass(qvabi::PcbHandle handle);
  // The class record, then its members: reading replaces Members with the
  // editor's member names in order; writing removes every member in the
  // editor and adds Members in order. Answers the last call's result.
  int32_t Sync(uint8_t mode) override;

  qvabi::ShortString Name{};
  uint8_t MemberKind = 0;
  uint8_t SuperClass = 0;
  std::vector<std::string> Members;
};

class TPcbEmbedded : public TPCBObject {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::Embedded;
  explicit TPcbEmbedded(qvabi::PcbHandle handle);
  int32_t Sync(uint8_t mode) override;

  qvabi::ShortString Name{};
  qvabi::ShortString Description{};
};

class TPcbRule : public TPCBObject {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::Rule;
  explicit TPcbRule(qvabi::PcbHandle handle);
  int32_t Sync(uint8_t mode) override;

  qvabi::ShortString Name{};
  uint8_t RuleKind = 0;
  qvabi::ShortString Scope1{};
  qvabi::ShortString Scope2{};
  int32_t Value = 0;
  uint8_t Enabled = 0;
  int32_t Priority = 0;
};

class TPcbViolation : public TPCBObject {
 public:
  static constexpr qvabi::ObjectKind kKind = qvabi::ObjectKind::Violation;
  explicit TPcbViolation(qvabi::PcbHandle handle);
  int32_t Sync(uint8_t mode) override;

  qvabi::ShortString Rule{};
  qvabi::ShortString Description{};
};

}  // namespace strativue
