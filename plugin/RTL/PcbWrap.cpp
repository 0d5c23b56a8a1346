#include "plugin/RTL/PcbWrap.h"

#include "plugin/RTL/PcbApi.h"
#include "plugin/RTL/PcbDesignObjects.h"
#include "plugin/RTL/PcbGroups.h"
#include "plugin/RTL/PcbPads.h"

namespace strativue {
namespace {

std::unique_ptr<TPCBObject> NewWrapper(qvabi::ObjectKind kind, qvabi::PcbHandle handle) {
  using K = qvabi::ObjectKind;
  switch (kind) {
    case K::Arc:
      return std::make_unique<TPcbArc>(handle);
    case K::Pad:
      return std::make_unique<TPcbPad>(handle);
    case K::Via:
      return std::make_unique<TPcbVia>(handle);
    case K::Track:
      return std::make_unique<TPcbTrack>(handle);
    case K::Text:
      return std::make_unique<TPcbText>(handle);
    case K::Fill:
      return std::make_unique<TPcbFill>(handle);
    case K::FromTo:
      return std::make_unique<TPcbFromTo>(handle);
    case K::Net:
      return std::make_unique<TPcbNet>(handle);
    case K::Component:
      return std::make_unique<TPcbComponent>(handle);
    case K::Polygon:
      return std::make_unique<TPcbPolygon>(handle);
    case K::Region:
      return std::make_unique<TPCBRegion>(handle);
    case K::ComponentBody:
      return std::make_unique<TPcbComponentBody>(handle);
    case K::Dimension:
      return std::make_unique<TPcbDimension>(handle);
    case K::Coordinate:
      return std::make_unique<TPcbCoordinate>(handle);
    case K::ObjectClass:
      return std::make_unique<TPCBObjectClass>(handle);
    case K::Rule:
      return std::make_unique<TPcbRule>(handle);
    case K::ManualFromTo:
      return std::make_unique<TPcbManualFromTo>(handle);
    case K::DifferentialPair:
      return std::make_unique<TPcbDifferentialPair>(handle);
    case K::Violation:
      return std::make_unique<TPcbViolation>(handle);
    case K::Embedded:
      return std::make_unique<TPcbEmbedded>(handle);
    case K::EmbeddedBoard:
      return std::make_unique<TPcbEmbeddedBoard>(handle);
    case K::SplitPlane:
      return std::make_unique<TPcbSplitPlane>(handle);
    case K::BoardOutline:
      return std::make_unique<TPcbBoardOutline>(handle);
    default:
      return nullptr;
  }
}

}  // namespace

std::unique_ptr<TPCBObject> WrapObject(qvabi::PcbHandle handle) {
  const auto kind = static_cast<qvabi::ObjectKind>(PcbApi::GetObjectIdFromObjectHandle(handle) & kKindMask);
  std::unique_ptr<TPCBObject> object = NewWrapper(kind, handle);
  if (object) object->Sync(qvabi::ReadMode);
  return object;
}

}  // namespace strativue
