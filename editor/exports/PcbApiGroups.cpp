// The records of the other object kinds: connections, components, areas,
// dimensions, classes, rules, violations and embedded objects.
#include "editor/Editor.h"
#include "editor/exports/Exports.h"
#include "editor/exports/ObjectRecords.h"

using brelix::Editor;
using brelix::EditorObject;
using brelix::exports::Exchange;
using brelix::exports::ExchangeKindHeader;
using brelix::exports::Guarded;
using brelix::exports::kDone;
using brelix::exports::kRefused;
using brelix::exports::ObjectFor;
using K = qvabi::ObjectKind;

namespace {

// Every query that carries a string can run out of memory; none may throw.
template <typename Body>
int32_t Record(Body&& body) {
  return Guarded<int32_t>(kRefused, std::forward<Body>(body));
}

EditorObject* ReadOnly(qvabi::PcbHandle handle, K kind) { return ObjectFor(qvabi::ReadMode, handle, kind); }

}  // namespace

extern "C" {

ABI_EXPORT int32_t STDCALL PcbApi_QueryFromTo(uint8_t mode, qvabi::PcbHandle object, uint16_t* headerWord,
                                              int32_t* x, int32_t* y, uint8_t* byte1, int32_t* x2,
                                              int32_t* y2, uint8_t* byte2, int32_t* headerValue1) {
  EditorObject* o = ObjectFor(mode, object, K::FromTo);
  if (!o) return kRefused;
  Exchange(mode, headerWord, o->headerWord);
  Exchange(mode, x, o->x);
  Exchange(mode, y, o->y);
  Exchange(mode, byte1, o->kindByte1);
  Exchange(mode, x2, o->x2);
  Exchange(mode, y2, o->y2);
  Exchange(mode, byte2, o->kindByte2);
  Exchange(mode, headerValue1, o->headerValue1);
  return kDone;
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryManualFromTo(uint8_t mode, qvabi::PcbHandle object,
                                                    uint16_t* headerWord, qvabi::ShortString* net,
                                                    qvabi::ShortString* fromPad, qvabi::ShortString* toPad,
                                                    qvabi::ShortString* name) {
  return Record([&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::ManualFromTo);
    if (!o) return kRefused;
    Exchange(mode, headerWord, o->headerWord);
    Exchange(mode, net, o->labels->net);
    Exchange(mode, fromPad, o->labels->fromPad);
    Exchange(mode, toPad, o->labels->toPad);
    Exchange(mode, name, o->labels->name);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryNet(uint8_t mode, qvabi::PcbHandle object, uint16_t* headerWord,
                                           qvabi::ShortString* name, uint8_t* byte1, uint8_t* byte2) {
  return Record([&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Net);
    if (!o) return kRefused;
    Exchange(mode, headerWord, o->headerWord);
    Exchange(mode, name, o->labels->name);
    Exchange(mode, byte1, o->kindByte1);
    Exchange(mode, byte2, o->kindByte2);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryComponent(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                                 uint16_t* headerWord, uint32_t* layer, int32_t* headerValue1,
                                                 uint8_t* headerByte, int32_t* headerValue2, int32_t* x,
                                                 int32_t* y, double* rotation, qvabi::PcbHandle* nameObject,
                                                 qvabi::PcbHandle* commentObject,
                                                 qvabi::ShortString* pattern) {
  return Record([&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Component);
    if (!o) return kRefused;
    ExchangeKindHeader(mode, *o, flags, headerWord, layer, headerValue1, headerByte, headerValue2);
    Exchange(mode, x, o->x);
    Exchange(mode, y, o->y);
    Exchange(mode, rotation, o->rotation);
    Exchange(mode, nameObject, o->component->nameObject);
    Exchange(mode, commentObject, o->component->commentObject);
    Exchange(mode, pattern, o->component->pattern);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryComponentEx(uint8_t mode, qvabi::PcbHandle object,
                                                   qvabi::ShortString* sourceDesignator, int32_t* height,
                                                   uint8_t* lockStrings) {
  return Record([&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Component);
    if (!o) return kRefused;
    Exchange(mode, sourceDesignator, o->component->sourceDesignator);
    Exchange(mode, height, o->component->height);
    Exchange(mode, lockStrings, o->component->lockStrings);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryComponentSourceLinks(uint8_t mode, qvabi::PcbHandle object,
                                                            qvabi::ShortString* sourceLibrary,
                                                            qvabi::ShortString* sourceUniqueId) {
  return Record([&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Component);
    if (!o) return kRefused;
    Exchange(mode, sourceLibrary, o->component->sourceLibrary);
    Exchange(mode, sourceUniqueId, o->component->sourceUniqueId);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryDefaultPCB3DModel(uint8_t mode, qvabi::PcbHandle object,
                                                         qvabi::ShortString* model) {
  return Record([&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Component);
    if (!o) return kRefused;
    Exchange(mode, model, o->component->model);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryComponentChannelOffset(uint8_t mode, qvabi::PcbHandle object,
                                                              int32_t* offset) {
  EditorObject* o = ObjectFor(mode, object, K::Component);
  if (!o) return kRefused;
  Exchange(mode, offset, o->component->channelOffset);
  return kDone;
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryComponentKind(uint8_t mode, qvabi::PcbHandle object,
                                                     uint8_t* componentKind) {
  EditorObject* o = ObjectFor(mode, object, K::Component);
  if (!o) return kRefused;
  Exchange(mode, componentKind, o->component->componentKind);
  return kDone;
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryPolygon(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                               uint16_t* headerWord, uint32_t* layer, int32_t* headerValue1,
                                               uint8_t* headerByte, int32_t* headerValue2,
                                               qvabi::ShortString* net, int32_t* grid, int32_t* trackWidth,
                                               uint8_t* hatchStyle, uint8_t* pourOver, uint8_t* removeDead) {
  return Record([&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object);
    // A board outline is a polygon of its own kind.
    if (!o || (o->kind != K::Polygon && o->kind != K::BoardOutline)) return kRefused;
    ExchangeKindHeader(mode, *o, flags, headerWord, layer, headerValue1, headerByte, headerValue2);
    Exchange(mode, net, o->labels->net);
    Exchange(mode, grid, o->outline->grid);
    Exchange(mode, trackWidth, o->outline->trackWidth);
    Exchange(mode, hatchStyle, o->outline->hatchStyle);
    Exchange(mode, pourOver, o->outline->pourOver);
    Exchange(mode, removeDead, o->outline->removeDead);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryRegion(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                              uint16_t* headerWord, uint32_t* layer, int32_t* headerValue1,
                                              uint8_t* headerByte, int32_t* headerValue2,
                                              qvabi::ShortString* net, uint8_t* keepout,
                                              int32_t* regionKind) {
  return Record([&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Region);
    if (!o) return kRefused;
    ExchangeKindHeader(mode, *o, flags, headerWord, layer, headerValue1, headerByte, headerValue2);
    Exchange(mode, net, o->labels->net);
    Exchange(mode, keepout, o->outline->keepout);
    Exchange(mode, regionKind, o->outline->regionKind);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QuerySplitPlane(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                                  uint16_t* headerWord, uint32_t* layer,
                                                  int32_t* headerValue1, uint8_t* headerByte,
                                                  int32_t* headerValue2, qvabi::ShortString* net) {
  return Record([&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::SplitPlane);
    if (!o) return kRefused;
    ExchangeKindHeader(mode, *o, flags, headerWord, layer, headerValue1, headerByte, headerValue2);
    Exchange(mode, net, o->labels->net);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryDimension(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                                 uint16_t* headerWord, uint32_t* layer, int32_t* headerValue1,
                                                 uint8_t* headerByte, int32_t* headerValue2, int32_t* x,
                                                 int32_t* y, int32_t* x2, int32_t* y2, int32_t* textHeight,
                                                 int32_t* lineWidth) {
  EditorObject* o = ObjectFor(mode, object, K::Dimension);
  if (!o) return kRefused;
  ExchangeKindHeader(mode, *o, flags, headerWord, layer, headerValue1, headerByte, headerValue2);
  Exchange(mode, x, o->x);
  Exchange(mode, y, o->y);
  Exchange(mode, x2, o->x2);
  Exchange(mode, y2, o->y2);
  Exchange(mode, textHeight, o->dimension->textHeight);
  Exchange(mode, lineWidth, o->width);
  return kDone;
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryExtDimension(uint8_t mode, qvabi::PcbHandle object, int32_t* arrowSize,
                                                    int32_t* textGap, uint8_t* unitStyle,
                                                    uint8_t* precision) {
  EditorObject* o = ObjectFor(mode, object, K::Dimension);
  if (!o) return kRefused;
  Exchange(mode, arrowSize, o->dimension->arrowSize);
  Exchange(mode, textGap, o->dimension->textGap);
  Exchange(mode, unitStyle, o->dimension->unitStyle);
  Exchange(mode, precision, o->dimension->precision);
  return kDone;
}

ABI_EXPORT int32_t STDCALL PcbApi_References_Count(qvabi::PcbHandle object) {
  const EditorObject* o = ReadOnly(object, K::Dimension);
  return o ? static_cast<int32_t>(o->dimension->references.size()) : 0;
}

ABI_EXPORT int32_t STDCALL PcbApi_References_At(qvabi::PcbHandle object, int32_t index,
                                                qvabi::PcbHandle* reference) {
  const EditorObject* o = ReadOnly(object, K::Dimension);
  if (!o || !reference || index < 0 || static_cast<std::size_t>(index) >= o->dimension->references.size())
    return kRefused;
  *reference = o->dimension->references[static_cast<std::size_t>(index)];
  return kDone;
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryCoordinate(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                                  uint16_t* headerWord, uint32_t* layer,
                                                  int32_t* headerValue1, uint8_t* headerByte,
                                                  int32_t* headerValue2, int32_t* x, int32_t* y,
                                                  int32_t* size, int32_t* lineWidth, int32_t* textHeight) {
  EditorObject* o = ObjectFor(mode, object, K::Coordinate);
  if (!o) return kRefused;
  ExchangeKindHeader(mode, *o, flags, headerWord, layer, headerValue1, headerByte, headerValue2);
  Exchange(mode, x, o->x);
  Exchange(mode, y, o->y);
  Exchange(mode, size, o->size);
  Exchange(mode, lineWidth, o->width);
  Exchange(mode, textHeight, o->dimension->textHeight);
  return kDone;
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryClass(uint8_t mode, qvabi::PcbHandle object, uint16_t* headerWord,
                                             qvabi::ShortString* name, uint8_t* memberKind,
                                             uint8_t* superClass) {
  return Record([&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::ObjectClass);
    if (!o) return kRefused;
    Exchange(mode, headerWord, o->headerWord);
    Exchange(mode, name, o->labels->name);
    Exchange(mode, memberKind, o->objectClass->memberKind);
    Exchange(mode, superClass, o->objectClass->superClass);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_GetMemberFromClassAt(qvabi::PcbHandle object, int32_t index,
                                                       qvabi::ShortString* member) {
  const EditorObject* o = ReadOnly(object, K::ObjectClass);
  if (!o || !member || index < 0 || static_cast<std::size_t>(index) >= o->objectClass->members.size())
    return kRefused;
  member->assign(o->objectClass->members[static_cast<std::size_t>(index)]);
  return kDone;
}

ABI_EXPORT int32_t STDCALL PcbApi_RemoveAllMembersFromClass(qvabi::PcbHandle object) {
  EditorObject* o = ReadOnly(object, K::ObjectClass);
  if (!o) return kRefused;
  o->objectClass->members.clear();
  return kDone;
}

ABI_EXPORT int32_t STDCALL PcbApi_AddMemberToClass(qvabi::PcbHandle object,
                                                   const qvabi::ShortString* member) {
  return Record([&]() -> int32_t {
    EditorObject* o = ReadOnly(object, K::ObjectClass);
    if (!o || !member) return kRefused;
    o->objectClass->members.emplace_back(member->view());
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryRule(uint8_t mode, qvabi::PcbHandle object, uint16_t* headerWord,
                                            qvabi::ShortString* name, uint8_t* ruleKind,
                                            qvabi::ShortString* scope1, qvabi::ShortString* scope2,
                                            int32_t* value, uint8_t* enabled, int32_t* priority) {
  return Record([&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Rule);
    if (!o) return kRefused;
    Exchange(mode, headerWord, o->headerWord);
    Exchange(mode, name, o->labels->name);
    Exchange(mode, ruleKind, o->designRule->ruleKind);
    Exchange(mode, scope1, o->designRule->scope1);
    Exchange(mode, scope2, o->designRule->scope2);
    Exchange(mode, value, o->designRule->value);
    Exchange(mode, enabled, o->designRule->enabled);
    Exchange(mode, priority, o->designRule->priority);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryViolation(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                                 uint16_t* headerWord, uint32_t* layer, int32_t* headerValue1,
                                                 uint8_t* headerByte, int32_t* headerValue2, int32_t* x,
                                                 int32_t* y, qvabi::ShortString* rule,
                                                 qvabi::ShortString* description) {
  return Record([&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Violation);
    if (!o) return kRefused;
    ExchangeKindHeader(mode, *o, flags, headerWord, layer, headerValue1, headerByte, headerValue2);
    Exchange(mode, x, o->x);
    Exchange(mode, y, o->y);
    Exchange(mode, rule, o->labels->rule);
    Exchange(mode, description, o->labels->description);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryEmbedded(uint8_t mode, qvabi::PcbHandle object, uint16_t* headerWord,
                                                qvabi::ShortString* name, qvabi::ShortString* description) {
  return Record([&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::Embedded);
    if (!o) return kRefused;
    Exchange(mode, headerWord, o->headerWord);
    Exchange(mode, name, o->labels->name);
    Exchange(mode, description, o->labels->description);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryEmbeddedBoard(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                                     uint16_t* headerWord, uint32_t* layer,
                                                     int32_t* headerValue1, uint8_t* headerByte,
                                                     int32_t* headerValue2, int32_t* x, int32_t* y,
                                                     qvabi::ShortString* document, int32_t* rows,
                                                     int32_t* columns, int32_t* rowSpacing,
                                                     int32_t* columnSpacing, uint8_t* mirrored) {
  return Record([&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, K::EmbeddedBoard);
    if (!o) return kRefused;
    ExchangeKindHeader(mode, *o, flags, headerWord, layer, headerValue1, headerByte, headerValue2);
    Exchange(mode, x, o->x);
    Exchange(mode, y, o->y);
    Exchange(mode, document, o->embeddedBoard->document);
    Exchange(mode, rows, o->embeddedBoard->rows);
    Exchange(mode, columns, o->embeddedBoard->columns);
    Exchange(mode, rowSpacing, o->embeddedBoard->rowSpacing);
    Exchange(mode, columnSpacing, o->embeddedBoard->columnSpacing);
    Exchange(mode, mirrored, o->embeddedBoard->mirrored);
    return kDone;
  });
}

}  // extern "C"
