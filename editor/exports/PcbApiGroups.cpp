// The records of the other object kinds: connections, components, areas,
// dimensions, classes, rules, violations and embedded objects.
#include "editor/Editor.h"
#include "editor/exports/Exports.h"
#include "editor/exports/ObjectRecords.h"

using brelix::Editor;
using brelix::EditorObject;
using brelix::exports::Exchange;
using brelix::exports::ExchangeRecord;
using brelix::exports::Guarded;
using brelix::exports::kDone;
using brelix::exports::kRefused;
using brelix::exports::ObjectFor;
using Query = brelix::schema::Query;
using K = qvabi::ObjectKind;

namespace {

EditorObject* ReadOnly(qvabi::PcbHandle handle, K kind) { return ObjectFor(qvabi::ReadMode, handle, kind); }

}  // namespace

extern "C" {

ABI_EXPORT int32_t STDCALL PcbApi_QueryFromTo(uint8_t mode, qvabi::PcbHandle object, uint16_t* headerWord,
                                              int32_t* x, int32_t* y, uint8_t* byte1, int32_t* x2,
                                              int32_t* y2, uint8_t* byte2, int32_t* headerValue1) noexcept {
  return Guarded<int32_t>("editor.QueryFromTo", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::FromTo);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::FromTo, Query::Record>(mode, *o, headerWord, x, y, byte1, x2, y2,
                                                                    byte2, headerValue1);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryManualFromTo(uint8_t mode, qvabi::PcbHandle object,
                                                    uint16_t* headerWord, qvabi::ShortString* net,
                                                    qvabi::ShortString* fromPad, qvabi::ShortString* toPad,
                                                    qvabi::ShortString* name) noexcept {
  return Guarded<int32_t>("editor.QueryManualFromTo", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::ManualFromTo);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::ManualFromTo, Query::Record>(mode, *o, headerWord, net, fromPad,
                                                                          toPad, name);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryNet(uint8_t mode, qvabi::PcbHandle object, uint16_t* headerWord,
                                           qvabi::ShortString* name, uint8_t* byte1,
                                           uint8_t* byte2) noexcept {
  return Guarded<int32_t>("editor.QueryNet", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Net);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Net, Query::Record>(mode, *o, headerWord, name, byte1, byte2);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryComponent(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                                 uint16_t* headerWord, uint32_t* layer, int32_t* headerValue1,
                                                 uint8_t* headerByte, int32_t* headerValue2, int32_t* x,
                                                 int32_t* y, double* rotation, qvabi::PcbHandle* nameObject,
                                                 qvabi::PcbHandle* commentObject,
                                                 qvabi::ShortString* pattern) noexcept {
  return Guarded<int32_t>("editor.QueryComponent", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Component);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Component, Query::Record>(
        mode, *o, flags, headerWord, layer, headerValue1, headerByte, headerValue2, x, y, rotation,
        nameObject, commentObject, pattern);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryComponentEx(uint8_t mode, qvabi::PcbHandle object,
                                                   qvabi::ShortString* sourceDesignator, int32_t* height,
                                                   uint8_t* lockStrings) noexcept {
  return Guarded<int32_t>("editor.QueryComponentEx", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Component);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Component, Query::ComponentEx>(mode, *o, sourceDesignator,
                                                                            height, lockStrings);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryComponentSourceLinks(uint8_t mode, qvabi::PcbHandle object,
                                                            qvabi::ShortString* sourceLibrary,
                                                            qvabi::ShortString* sourceUniqueId) noexcept {
  return Guarded<int32_t>("editor.QueryComponentSourceLinks", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Component);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Component, Query::SourceLinks>(mode, *o, sourceLibrary,
                                                                            sourceUniqueId);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryDefaultPCB3DModel(uint8_t mode, qvabi::PcbHandle object,
                                                         qvabi::ShortString* model) noexcept {
  return Guarded<int32_t>("editor.QueryDefaultPCB3DModel", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Component);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Component, Query::Model>(mode, *o, model);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryComponentChannelOffset(uint8_t mode, qvabi::PcbHandle object,
                                                              int32_t* offset) noexcept {
  return Guarded<int32_t>("editor.QueryComponentChannelOffset", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Component);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Component, Query::ChannelOffset>(mode, *o, offset);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryComponentKind(uint8_t mode, qvabi::PcbHandle object,
                                                     uint8_t* componentKind) noexcept {
  return Guarded<int32_t>("editor.QueryComponentKind", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Component);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Component, Query::ComponentKind>(mode, *o, componentKind);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryPolygon(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                               uint16_t* headerWord, uint32_t* layer, int32_t* headerValue1,
                                               uint8_t* headerByte, int32_t* headerValue2,
                                               qvabi::ShortString* net, int32_t* grid, int32_t* trackWidth,
                                               uint8_t* hatchStyle, uint8_t* pourOver,
                                               uint8_t* removeDead) noexcept {
  // A board outline is a polygon of its own kind, with the polygon's record.
  static_assert(brelix::schema::SameQueryFields(K::Polygon, K::BoardOutline, Query::Record));
  return Guarded<int32_t>("editor.QueryPolygon", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object);
    if (!o || (o->kind != K::Polygon && o->kind != K::BoardOutline)) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Polygon, Query::Record>(
        mode, *o, flags, headerWord, layer, headerValue1, headerByte, headerValue2, net, grid, trackWidth,
        hatchStyle, pourOver, removeDead);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryRegion(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                              uint16_t* headerWord, uint32_t* layer, int32_t* headerValue1,
                                              uint8_t* headerByte, int32_t* headerValue2,
                                              qvabi::ShortString* net, uint8_t* keepout,
                                              int32_t* regionKind) noexcept {
  return Guarded<int32_t>("editor.QueryRegion", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Region);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Region, Query::Record>(
        mode, *o, flags, headerWord, layer, headerValue1, headerByte, headerValue2, net, keepout, regionKind);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QuerySplitPlane(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                                  uint16_t* headerWord, uint32_t* layer,
                                                  int32_t* headerValue1, uint8_t* headerByte,
                                                  int32_t* headerValue2, qvabi::ShortString* net) noexcept {
  return Guarded<int32_t>("editor.QuerySplitPlane", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::SplitPlane);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::SplitPlane, Query::Record>(
        mode, *o, flags, headerWord, layer, headerValue1, headerByte, headerValue2, net);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryDimension(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                                 uint16_t* headerWord, uint32_t* layer, int32_t* headerValue1,
                                                 uint8_t* headerByte, int32_t* headerValue2, int32_t* x,
                                                 int32_t* y, int32_t* x2, int32_t* y2, int32_t* textHeight,
                                                 int32_t* lineWidth) noexcept {
  return Guarded<int32_t>("editor.QueryDimension", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Dimension);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Dimension, Query::Record>(mode, *o, flags, headerWord, layer,
                                                                       headerValue1, headerByte, headerValue2,
                                                                       x, y, x2, y2, textHeight, lineWidth);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryExtDimension(uint8_t mode, qvabi::PcbHandle object, int32_t* arrowSize,
                                                    int32_t* textGap, uint8_t* unitStyle,
                                                    uint8_t* precision) noexcept {
  return Guarded<int32_t>("editor.QueryExtDimension", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Dimension);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Dimension, Query::ExtDimension>(mode, *o, arrowSize, textGap,
                                                                             unitStyle, precision);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_References_Count(qvabi::PcbHandle object) noexcept {
  return Guarded<int32_t>("editor.References_Count", 0, [&]() -> int32_t {
    const EditorObject* o = ReadOnly(object, K::Dimension);
    return o ? static_cast<int32_t>(o->dimension->references.size()) : 0;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_References_At(qvabi::PcbHandle object, int32_t index,
                                                qvabi::PcbHandle* reference) noexcept {
  return Guarded<int32_t>("editor.References_At", kRefused, [&]() -> int32_t {
    const EditorObject* o = ReadOnly(object, K::Dimension);
    if (!o || !reference || index < 0 || static_cast<std::size_t>(index) >= o->dimension->references.size())
      return kRefused;
    *reference = o->dimension->references[static_cast<std::size_t>(index)];
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryCoordinate(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                                  uint16_t* headerWord, uint32_t* layer,
                                                  int32_t* headerValue1, uint8_t* headerByte,
                                                  int32_t* headerValue2, int32_t* x, int32_t* y,
                                                  int32_t* size, int32_t* lineWidth,
                                                  int32_t* textHeight) noexcept {
  return Guarded<int32_t>("editor.QueryCoordinate", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Coordinate);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Coordinate, Query::Record>(
        mode, *o, flags, headerWord, layer, headerValue1, headerByte, headerValue2, x, y, size, lineWidth,
        textHeight);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryClass(uint8_t mode, qvabi::PcbHandle object, uint16_t* headerWord,
                                             qvabi::ShortString* name, uint8_t* memberKind,
                                             uint8_t* superClass) noexcept {
  return Guarded<int32_t>("editor.QueryClass", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::ObjectClass);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::ObjectClass, Query::Record>(mode, *o, headerWord, name,
                                                                         memberKind, superClass);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_GetMemberFromClassAt(qvabi::PcbHandle object, int32_t index,
                                                       qvabi::ShortString* member) noexcept {
  return Guarded<int32_t>("editor.GetMemberFromClassAt", kRefused, [&]() -> int32_t {
    const EditorObject* o = ReadOnly(object, K::ObjectClass);
    if (!o || !member || index < 0 || static_cast<std::size_t>(index) >= o->objectClass->members.size())
      return kRefused;
    member->assign(o->objectClass->members[static_cast<std::size_t>(index)]);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_RemoveAllMembersFromClass(qvabi::PcbHandle object) noexcept {
  return Guarded<int32_t>("editor.RemoveAllMembersFromClass", kRefused, [&]() -> int32_t {
    EditorObject* o = ReadOnly(object, K::ObjectClass);
    if (!o) return kRefused;
    o->objectClass->members.clear();
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_AddMemberToClass(qvabi::PcbHandle object,
                                                   const qvabi::ShortString* member) noexcept {
  return Guarded<int32_t>("editor.AddMemberToClass", kRefused, [&]() -> int32_t {
    EditorObject* o = ReadOnly(object, K::ObjectClass);
    if (!o || !member) return kRefused;
    o->objectClass->members.emplace_back(member->view());
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryRule(uint8_t mode, qvabi::PcbHandle object, uint16_t* headerWord,
                                            qvabi::ShortString* name, uint8_t* ruleKind,
                                            qvabi::ShortString* scope1, qvabi::ShortString* scope2,
                                            int32_t* value, uint8_t* enabled, int32_t* priority) noexcept {
  return Guarded<int32_t>("editor.QueryRule", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Rule);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Rule, Query::Record>(mode, *o, headerWord, name, ruleKind,
                                                                  scope1, scope2, value, enabled, priority);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryViolation(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                                 uint16_t* headerWord, uint32_t* layer, int32_t* headerValue1,
                                                 uint8_t* headerByte, int32_t* headerValue2, int32_t* x,
                                                 int32_t* y, qvabi::ShortString* rule,
                                                 qvabi::ShortString* description) noexcept {
  return Guarded<int32_t>("editor.QueryViolation", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Violation);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Violation, Query::Record>(
        mode, *o, flags, headerWord, layer, headerValue1, headerByte, headerValue2, x, y, rule, description);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryEmbedded(uint8_t mode, qvabi::PcbHandle object, uint16_t* headerWord,
                                                qvabi::ShortString* name,
                                                qvabi::ShortString* description) noexcept {
  return Guarded<int32_t>("editor.QueryEmbedded", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Embedded);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Embedded, Query::Record>(mode, *o, headerWord, name,
                                                                      description);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryEmbeddedBoard(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                                     uint16_t* headerWord, uint32_t* layer,
                                                     int32_t* headerValue1, uint8_t* headerByte,
                                                     int32_t* headerValue2, int32_t* x, int32_t* y,
                                                     qvabi::ShortString* document, int32_t* rows,
                                                     int32_t* columns, int32_t* rowSpacing,
                                                     int32_t* columnSpacing, uint8_t* mirrored) noexcept {
  return Guarded<int32_t>("editor.QueryEmbeddedBoard", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::EmbeddedBoard);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::EmbeddedBoard, Query::Record>(
        mode, *o, flags, headerWord, layer, headerValue1, headerByte, headerValue2, x, y, document, rows,
        columns, rowSpacing, columnSpacing, mirrored);
  });
}

}  // extern "C"
