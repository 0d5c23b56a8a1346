#include "plugin/RTL/PcbDesignObjects.h"

#include "plugin/RTL/PcbApi.h"

namespace strativue {

TPcbFromTo::TPcbFromTo(qvabi::PcbHandle handle) : TPCBObject(handle) {
  ObjectKind = static_cast<uint8_t>(kKind);
}

int32_t TPcbFromTo::Sync(uint8_t mode) {
  SyncBitFields(mode);
  return PcbApi::QueryFromTo(mode, Handle, &HeaderWord, &X, &Y, &Byte1, &X2, &Y2, &Byte2, &HeaderValue1);
}

int32_t TPcbManualFromTo::Sync(uint8_t mode) {
  SyncBitFields(mode);
  return PcbApi::QueryManualFromTo(mode, Handle, &HeaderWord, &Net, &FromPad, &ToPad, &Name);
}

TPcbComponentBody::TPcbComponentBody(qvabi::PcbHandle handle) : TPCBObject(handle) {
  ObjectKind = static_cast<uint8_t>(kKind);
}

TPcbDifferentialPair::TPcbDifferentialPair(qvabi::PcbHandle handle) : TPCBObject(handle) {
  ObjectKind = static_cast<uint8_t>(kKind);
}

TPCBRegion::TPCBRegion(qvabi::PcbHandle handle) : TPCBObject(handle) {
  ObjectKind = static_cast<uint8_t>(kKind);
}

int32_t TPCBRegion::Sync(uint8_t mode) {
  SyncBitFields(mode);
  return PcbApi::QueryRegion(mode, Handle, &Flags, &HeaderWord, &Layer, &HeaderValue1, &HeaderByte,
                             &HeaderValue2, &Net, &Keepout, &RegionKind);
}

TPcbEmbeddedBoard::TPcbEmbeddedBoard(qvabi::PcbHandle handle) : TPCBObject(handle) {
  ObjectKind = static_cast<uint8_t>(kKind);
}

int32_t TPcbEmbeddedBoard::Sync(uint8_t mode) {
  SyncBitFields(mode);
  return PcbApi::QueryEmbeddedBoard(mode, Handle, &Flags, &HeaderWord, &Layer, &HeaderValue1, &HeaderByte,
                                    &HeaderValue2, &X, &Y, &Document, &Rows, &Columns, &RowSpacing,
                                    &ColumnSpacing, &Mirrored);
}

TPCBObjectClass::TPCBObjectClass(qvabi::PcbHandle handle) : TPCBObject(handle) {
  ObjectKind = static_cast<uint8_t>(kKind);
}

int32_t TPCBObjectClass::Sync(uint8_t mode) {
  SyncBitFields(mode);
  int32_t result = PcbApi::QueryClass(mode, Handle, &HeaderWord, &Name, &MemberKind, &SuperClass);
  if (mode == qvabi::ReadMode) {
    // Without the editor's function there is no end to wait for: the list
    // is left as it is. Otherwise a fresh list, so that reading twice does
    // not repeat the members.
    if (!PcbApi::Lookup("GetMemberFromClassAt")) return result;
    Members.clear();
    for (int32_t index = 0;; ++index) {
      qvabi::ShortString member{};
      result = PcbApi::GetMemberFromClassAt(Handle, index, &member);
      if (result != 0) break;
      Members.push_back(member.str());
    }
  } else {
    result = PcbApi::RemoveAllMembersFromClass(Handle);
    for (const std::string& name : Members) {
      qvabi::ShortString member{};
      member.assign(name);
      result = PcbApi::AddMemberToClass(Handle, &member);
    }
  }
  return result;
}

TPcbEmbedded::TPcbEmbedded(qvabi::PcbHandle handle) : TPCBObject(handle) {
  ObjectKind = static_cast<uint8_t>(kKind);
}

int32_t TPcbEmbedded::Sync(uint8_t mode) {
  SyncBitFields(mode);
  return PcbApi::QueryEmbedded(mode, Handle, &HeaderWord, &Name, &Description);
}

TPcbRule::TPcbRule(qvabi::PcbHandle handle) : TPCBObject(handle) { ObjectKind = static_cast<uint8_t>(kKind); }

int32_t TPcbRule::Sync(uint8_t mode) {
  SyncBitFields(mode);
  return PcbApi::QueryRule(mode, Handle, &HeaderWord, &Name, &RuleKind, &Scope1, &Scope2, &Value, &Enabled,
                           &Priority);
}

TPcbViolation::TPcbViolation(qvabi::PcbHandle handle) : TPCBObject(handle) {
  ObjectKind = static_cast<uint8_t>(kKind);
}

int32_t TPcbViolation::Sync(uint8_t mode) {
  SyncBitFields(mode);
  return PcbApi::QueryViolation(mode, Handle, &Flags, &HeaderWord, &Layer, &HeaderValue1, &HeaderByte,
                                &HeaderValue2, &X, &Y, &Rule, &Description);
}

}  // namespace strativue
