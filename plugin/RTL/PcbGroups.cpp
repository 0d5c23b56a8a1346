#include "plugin/RTL/PcbGroups.h"

#include "plugin/RTL/PcbApi.h"
#include "plugin/RTL/PcbWrap.h"

namespace strativue {

TPcbNet::TPcbNet(qvabi::PcbHandle handle) : TPcbGroupObject(handle) {
  ObjectKind = static_cast<uint8_t>(kKind);
}

int32_t TPcbNet::Sync(uint8_t mode) {
  SyncBitFields(mode);
  return PcbApi::QueryNet(mode, Handle, &HeaderWord, &Name, &NetByte1, &NetByte2);
}

TPcbComponent::TPcbComponent(qvabi::PcbHandle handle) : TPcbGroupObject(handle) {
  ObjectKind = static_cast<uint8_t>(kKind);
}

int32_t TPcbComponent::Sync(uint8_t mode) {
  SyncBitFields(mode);
  PcbApi::QueryComponent(mode, Handle, &Flags, &HeaderWord, &Layer, &HeaderValue1, &HeaderByte, &HeaderValue2,
                         &X, &Y, &Rotation, &NameObject, &CommentObject, &Pattern);
  PcbApi::QueryComponentEx(mode, Handle, &SourceDesignator, &Height, &LockStrings);
  PcbApi::QueryComponentSourceLinks(mode, Handle, &SourceLibrary, &SourceUniqueId);
  PcbApi::QueryDefaultPCB3DModel(mode, Handle, &Model);
  PcbApi::QueryComponentChannelOffset(mode, Handle, &ChannelOffset);
  const int32_t result = PcbApi::QueryComponentKind(mode, Handle, &ComponentKind);
  // Only a text is wrapped: a name handle that named a component would wrap
  // components without end.
  Name.clear();
  if (NameObject != 0 && (PcbApi::GetObjectIdFromObjectHandle(NameObject) & kKindMask) ==
                             static_cast<int32_t>(qvabi::ObjectKind::Text))
    if (const std::unique_ptr<TPCBObject> text = WrapObject(NameObject)) Name = text->GetText();
  return result;
}

TPcbCoordinate::TPcbCoordinate(qvabi::PcbHandle handle) : TPcbGroupObject(handle) {
  ObjectKind = static_cast<uint8_t>(kKind);
}

int32_t TPcbCoordinate::Sync(uint8_t mode) {
  SyncBitFields(mode);
  return PcbApi::QueryCoordinate(mode, Handle, &Flags, &HeaderWord, &Layer, &HeaderValue1, &HeaderByte,
                                 &HeaderValue2, &X, &Y, &Size, &LineWidth, &TextHeight);
}

TPcbDimension::TPcbDimension(qvabi::PcbHandle handle) : TPcbGroupObject(handle) {
  ObjectKind = static_cast<uint8_t>(kKind);
}

int32_t TPcbDimension::Sync(uint8_t mode) {
  SyncBitFields(mode);
  PcbApi::QueryDimension(mode, Handle, &Flags, &HeaderWord, &Layer, &HeaderValue1, &HeaderByte, &HeaderValue2,
                         &X, &Y, &X2, &Y2, &TextHeight, &LineWidth);
  // A fresh list each time, so that reading twice does not repeat them; a
  // refused index ends it, whatever count the editor gave.
  References.clear();
  const int32_t count = PcbApi::References_Count(Handle);
  for (int32_t index = 0; index < count; ++index) {
    qvabi::PcbHandle reference = 0;
    if (PcbApi::References_At(Handle, index, &reference) != 0) break;
    References.push_back(reference);
  }
  return PcbApi::QueryExtDimension(mode, Handle, &ArrowSize, &TextGap, &UnitStyle, &Precision);
}

TPcbPolygon::TPcbPolygon(qvabi::PcbHandle handle) : TPcbGroupObject(handle) {
  ObjectKind = static_cast<uint8_t>(kKind);
}

int32_t TPcbPolygon::Sync(uint8_t mode) {
  SyncBitFields(mode);
  return PcbApi::QueryPolygon(mode, Handle, &Flags, &HeaderWord, &Layer, &HeaderValue1, &HeaderByte,
                              &HeaderValue2, &Net, &Grid, &TrackWidth, &HatchStyle, &PourOver, &RemoveDead);
}

TPcbBoardOutline::TPcbBoardOutline(qvabi::PcbHandle handle) : TPcbPolygon(handle) {
  ObjectKind = static_cast<uint8_t>(kKind);
}

TPcbSplitPlane::TPcbSplitPlane(qvabi::PcbHandle handle) : TPcbGroupObject(handle) {
  ObjectKind = static_cast<uint8_t>(kKind);
}

int32_t TPcbSplitPlane::Sync(uint8_t mode) {
  SyncBitFields(mode);
  return PcbApi::QuerySplitPlane(mode, Handle, &Flags, &HeaderWord, &Layer, &HeaderValue1, &HeaderByte,
                                 &HeaderValue2, &Net);
}

}  // namespace strativue
