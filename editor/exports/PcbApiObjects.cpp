// Object creation, contents, display and the per-kind records.
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
using brelix::exports::ValidMode;

extern "C" {

ABI_EXPORT qvabi::PcbHandle STDCALL PcbApi_CreateObject(uint8_t kind) noexcept {
  return Guarded<qvabi::PcbHandle>("editor.CreateObject", 0,
                                   [&] { return Editor::Instance().CreateObject(kind); });
}

ABI_EXPORT void STDCALL PcbApi_SetOwnerBoard(qvabi::PcbHandle object, qvabi::PcbHandle board) noexcept {
  Guarded([&] { Editor::Instance().SetOwner(object, board); });
}

ABI_EXPORT void STDCALL PcbApi_AddObjectToContainer(qvabi::PcbHandle board,
                                                    qvabi::PcbHandle object) noexcept {
  Guarded([&] { Editor::Instance().AddToContents(board, object); });
}

ABI_EXPORT void STDCALL PcbApi_DestroyObject(qvabi::PcbHandle object) noexcept {
  Guarded([&] { Editor::Instance().DestroyObject(object); });
}

ABI_EXPORT void STDCALL PcbApi_ScreenDisplay(qvabi::PcbHandle object, uint8_t mode,
                                             qvabi::ByteBool /*flag*/) noexcept {
  Guarded([&] {
    if (EditorObject* found = Editor::Instance().FindObject(object)) ++(*found->displays)[mode];
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryObjectBoundingRectangle(qvabi::PcbHandle object, int32_t* x1,
                                                               int32_t* y1, int32_t* x2,
                                                               int32_t* y2) noexcept {
  return Guarded<int32_t>("editor.QueryObjectBoundingRectangle", kRefused, [&]() -> int32_t {
    const EditorObject* found = Editor::Instance().FindObject(object);
    const brelix::Rect rect = found ? brelix::BoundingRect(*found) : brelix::Rect{};
    if (x1) *x1 = rect.x1;
    if (y1) *y1 = rect.y1;
    if (x2) *x2 = rect.x2;
    if (y2) *y2 = rect.y2;
    return found ? kDone : kRefused;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_GetObjectIdFromObjectHandle(qvabi::PcbHandle object) noexcept {
  return Guarded<int32_t>("editor.GetObjectIdFromObjectHandle", 0, [&]() -> int32_t {
    const EditorObject* found = Editor::Instance().FindObject(object);
    return found ? static_cast<int32_t>(found->kind) : 0;
  });
}

ABI_EXPORT qvabi::ByteBool STDCALL PcbApi_QueryObjectImport_FromUser(qvabi::PcbHandle /*object*/) noexcept {
  // Nothing in this editor is imported from a user library.
  return Guarded<qvabi::ByteBool>("editor.QueryObjectImport_FromUser", qvabi::ToByteBool(false),
                                  [] { return qvabi::ToByteBool(false); });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryObjectGraphicallyInvalidate(qvabi::PcbHandle object) noexcept {
  return Guarded<int32_t>("editor.QueryObjectGraphicallyInvalidate", kRefused, [&]() -> int32_t {
    EditorObject* found = Editor::Instance().FindObject(object);
    if (!found) return kRefused;
    ++found->invalidations;
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_GetObjectBitField2(uint8_t mode, qvabi::PcbHandle object,
                                                     uint8_t* bitField2) noexcept {
  return Guarded<int32_t>("editor.GetObjectBitField2", kRefused, [&]() -> int32_t {
    EditorObject* found = ObjectFor(mode, object);
    if (!found) return kRefused;
    Exchange(mode, bitField2, found->bitField2);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_GetObjectBitField3(uint8_t mode, qvabi::PcbHandle object,
                                                     uint16_t* bitField3) noexcept {
  return Guarded<int32_t>("editor.GetObjectBitField3", kRefused, [&]() -> int32_t {
    EditorObject* found = ObjectFor(mode, object);
    if (!found) return kRefused;
    Exchange(mode, bitField3, found->bitField3);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryPrimitive(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                                 uint16_t* headerWord, uint32_t* layer, int32_t* headerValue1,
                                                 int32_t* headerValue2, uint8_t* headerByte) noexcept {
  return Guarded<int32_t>("editor.QueryPrimitive", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object);
    if (!o) return kRefused;
    Exchange(mode, flags, o->flags);
    Exchange(mode, headerWord, o->headerWord);
    Exchange(mode, layer, o->layer);
    Exchange(mode, headerValue1, o->headerValue1);
    Exchange(mode, headerValue2, o->headerValue2);
    Exchange(mode, headerByte, o->headerByte);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryTrack(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                             uint16_t* headerWord, uint32_t* layer, int32_t* headerValue1,
                                             uint8_t* headerByte, int32_t* headerValue2, int32_t* x,
                                             int32_t* y, int32_t* x2, int32_t* y2, int32_t* width,
                                             int32_t* attributeA, int32_t* attributeB,
                                             int32_t* attributeC) noexcept {
  return Guarded<int32_t>("editor.QueryTrack", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, qvabi::ObjectKind::Track);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Track, Query::Record>(
        mode, *o, flags, headerWord, layer, headerValue1, headerByte, headerValue2, x, y, x2, y2, width,
        attributeA, attributeB, attributeC);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryArc(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                           uint16_t* headerWord, uint32_t* layer, int32_t* headerValue1,
                                           uint8_t* headerByte, int32_t* headerValue2, int32_t* x, int32_t* y,
                                           int32_t* radius, double* startAngle, double* endAngle,
                                           int32_t* width, int32_t* attributeA) noexcept {
  return Guarded<int32_t>("editor.QueryArc", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, qvabi::ObjectKind::Arc);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Arc, Query::Record>(
        mode, *o, flags, headerWord, layer, headerValue1, headerByte, headerValue2, x, y, radius, startAngle,
        endAngle, width, attributeA);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryFill(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                            uint16_t* headerWord, uint32_t* layer, int32_t* headerValue1,
                                            uint8_t* headerByte, int32_t* headerValue2, int32_t* x,
                                            int32_t* y, int32_t* x2, int32_t* y2, int32_t* attributeA,
                                            double* rotation) noexcept {
  return Guarded<int32_t>("editor.QueryFill", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, qvabi::ObjectKind::Fill);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Fill, Query::Record>(mode, *o, flags, headerWord, layer,
                                                                  headerValue1, headerByte, headerValue2, x,
                                                                  y, x2, y2, attributeA, rotation);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryText(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                            uint16_t* headerWord, uint32_t* layer, int32_t* headerValue1,
                                            uint8_t* headerByte, int32_t* headerValue2, int32_t* x,
                                            int32_t* y, int32_t* size, int32_t* textAttribute,
                                            double* rotation, uint8_t* textFlag, qvabi::ShortString* text,
                                            int32_t* width, int32_t* attributeB,
                                            int32_t* attributeC) noexcept {
  return Guarded<int32_t>("editor.QueryText", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, qvabi::ObjectKind::Text);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Text, Query::Record>(
        mode, *o, flags, headerWord, layer, headerValue1, headerByte, headerValue2, x, y, size, textAttribute,
        rotation, textFlag, text, width, attributeB, attributeC);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryTrueTypeTextInfo(uint8_t mode, qvabi::PcbHandle object,
                                                        uint8_t* trueTypeMode, qvabi::ShortString* fontName,
                                                        uint8_t* flag1, uint8_t* flag2, uint8_t* flag3,
                                                        int32_t* trueTypeValue) noexcept {
  return Guarded<int32_t>("editor.QueryTrueTypeTextInfo", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, qvabi::ObjectKind::Text);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Text, Query::TrueType>(mode, *o, trueTypeMode, fontName, flag1,
                                                                    flag2, flag3, trueTypeValue);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_GetDesignatorDisplayString(qvabi::PcbHandle object,
                                                             qvabi::ShortString* text) noexcept {
  return Guarded<int32_t>("editor.GetDesignatorDisplayString", kRefused, [&]() -> int32_t {
    // The display string of a plain text is the text itself.
    const EditorObject* o = ObjectFor(qvabi::ReadMode, object, qvabi::ObjectKind::Text);
    if (!o || !text) return kRefused;
    text->assign(o->textData->text);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryBarCodeTextInfo(uint8_t mode, qvabi::PcbHandle object, uint8_t* byte0,
                                                       uint8_t* byte1, uint8_t* byte2,
                                                       uint8_t* byte3) noexcept {
  return Guarded<int32_t>("editor.QueryBarCodeTextInfo", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, qvabi::ObjectKind::Text);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Text, Query::BarCode>(mode, *o, byte0, byte1, byte2, byte3);
  });
}

}  // extern "C"
