// Pads and vias: their records and the per-layer pad data.
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

namespace {

// The pad or via for a per-layer query, when the layer id is 0 to 82.
EditorObject* PadOrVia(qvabi::PcbHandle handle, uint8_t layer, bool padOnly) {
  if (layer >= brelix::kPadLayerCount) return nullptr;
  EditorObject* object = Editor::Instance().FindObject(handle);
  if (!object) return nullptr;
  if (object->kind == qvabi::ObjectKind::Pad) return object;
  return !padOnly && object->kind == qvabi::ObjectKind::Via ? object : nullptr;
}

// A via has its size on every copper layer it spans, none elsewhere.
bool ViaSpans(const EditorObject& via, uint8_t layer) {
  if (!brelix::IsCopperLayer(layer)) return false;
  return layer >= std::min(via.lowLayer, via.highLayer) && layer <= std::max(via.lowLayer, via.highLayer);
}

}  // namespace

extern "C" {

ABI_EXPORT int32_t STDCALL PcbApi_QueryPad(
    uint8_t mode, qvabi::PcbHandle object, uint16_t* flags, uint16_t* headerWord, uint32_t* layer,
    int32_t* headerValue1, uint8_t* headerByte, int32_t* headerValue2, int32_t* x, int32_t* y,
    int32_t* padValue1, int32_t* padValue2, int32_t* padValue3, int32_t* padValue4, int32_t* padValue5,
    int32_t* padValue6, int32_t* padValue7, uint8_t* padByte1, uint8_t* padByte2, uint8_t* padByte3,
    qvabi::ShortString* name, double* rotation, uint8_t* kindByte1, uint8_t* kindByte2, int32_t* extraValue1,
    int32_t* extraValue2, int32_t* extraValue3, int32_t* extraValue4, int32_t* extraValue5,
    int32_t* extraValue6, int32_t* extraValue7, int32_t* extraValue8, int32_t* extraValue9,
    int32_t* extraValue10, uint8_t* extraByte1, uint8_t* extraByte2, uint8_t* extraByte3) noexcept {
  return Guarded<int32_t>("editor.QueryPad", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, qvabi::ObjectKind::Pad);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Pad, Query::Record>(
        mode, *o, flags, headerWord, layer, headerValue1, headerByte, headerValue2, x, y, padValue1,
        padValue2, padValue3, padValue4, padValue5, padValue6, padValue7, padByte1, padByte2, padByte3, name,
        rotation, kindByte1, kindByte2, extraValue1, extraValue2, extraValue3, extraValue4, extraValue5,
        extraValue6, extraValue7, extraValue8, extraValue9, extraValue10, extraByte1, extraByte2, extraByte3);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryPadStackMode(uint8_t mode, qvabi::PcbHandle object,
                                                    uint8_t* stackMode) noexcept {
  return Guarded<int32_t>("editor.QueryPadStackMode", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, qvabi::ObjectKind::Pad);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Pad, Query::StackMode>(mode, *o, stackMode);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryPadOrViaShapeOnLayer(qvabi::PcbHandle object, uint8_t layer,
                                                            uint8_t* shape) noexcept {
  return Guarded<int32_t>("editor.QueryPadOrViaShapeOnLayer", kRefused, [&]() -> int32_t {
    const EditorObject* o = PadOrVia(object, layer, false);
    if (!o || !shape) return kRefused;
    if (o->kind == qvabi::ObjectKind::Via)
      *shape = ViaSpans(*o, layer) ? brelix::kRoundShape : 0;
    else
      *shape = o->pad->shapes[layer];
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryPadOrViaSizeOnLayer(qvabi::PcbHandle object, uint8_t layer,
                                                           int32_t* sizeX, int32_t* sizeY) noexcept {
  return Guarded<int32_t>("editor.QueryPadOrViaSizeOnLayer", kRefused, [&]() -> int32_t {
    const EditorObject* o = PadOrVia(object, layer, false);
    if (!o) return kRefused;
    const bool via = o->kind == qvabi::ObjectKind::Via;
    const int32_t viaSize = via && ViaSpans(*o, layer) ? o->size : 0;
    if (sizeX) *sizeX = via ? viaSize : o->pad->sizeX[layer];
    if (sizeY) *sizeY = via ? viaSize : o->pad->sizeY[layer];
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryPadCornerRadiusOnLayer(qvabi::PcbHandle object, uint8_t layer,
                                                              int32_t* radius) noexcept {
  return Guarded<int32_t>("editor.QueryPadCornerRadiusOnLayer", kRefused, [&]() -> int32_t {
    const EditorObject* o = PadOrVia(object, layer, true);
    if (!o || !radius) return kRefused;
    *radius = brelix::PadCornerRadius(*o, layer);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryPadCRPercentageOnLayer(qvabi::PcbHandle object, uint8_t layer,
                                                              uint8_t* percentage) noexcept {
  return Guarded<int32_t>("editor.QueryPadCRPercentageOnLayer", kRefused, [&]() -> int32_t {
    const EditorObject* o = PadOrVia(object, layer, true);
    if (!o || !percentage) return kRefused;
    *percentage = o->pad->cornerPercent[static_cast<std::size_t>(brelix::CornerPercentSlot(layer))];
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_SetPadShapeOnLayer(qvabi::PcbHandle object, uint8_t layer,
                                                     uint8_t shape) noexcept {
  return Guarded<int32_t>("editor.SetPadShapeOnLayer", kRefused, [&]() -> int32_t {
    EditorObject* o = PadOrVia(object, layer, true);
    if (!o) return kRefused;
    o->pad->shapes[layer] = shape;
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_SetPadSizeOnLayer(qvabi::PcbHandle object, uint8_t layer, int32_t sizeX,
                                                    int32_t sizeY) noexcept {
  return Guarded<int32_t>("editor.SetPadSizeOnLayer", kRefused, [&]() -> int32_t {
    EditorObject* o = PadOrVia(object, layer, true);
    // A negative size has no meaning; it is refused rather than stored.
    if (!o || sizeX < 0 || sizeY < 0) return kRefused;
    o->pad->sizeX[layer] = sizeX;
    o->pad->sizeY[layer] = sizeY;
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_SetCRPctOnLayer(qvabi::PcbHandle object, uint8_t layer,
                                                  uint8_t percentage) noexcept {
  return Guarded<int32_t>("editor.SetCRPctOnLayer", kRefused, [&]() -> int32_t {
    EditorObject* o = PadOrVia(object, layer, true);
    if (!o || percentage > 100) return kRefused;
    o->pad->cornerPercent[static_cast<std::size_t>(brelix::CornerPercentSlot(layer))] = percentage;
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryVia(uint8_t mode, qvabi::PcbHandle object, uint16_t* flags,
                                           uint16_t* headerWord, uint8_t* layer, int32_t* headerValue1,
                                           uint8_t* headerByte, int32_t* headerValue2, int32_t* x, int32_t* y,
                                           int32_t* size, int32_t* holeSize, uint8_t* kindByte1,
                                           uint8_t* kindByte2, uint8_t* viaByte1, uint8_t* viaByte2,
                                           uint8_t* lowLayer, uint8_t* highLayer) noexcept {
  return Guarded<int32_t>("editor.QueryVia", kRefused, [&]() -> int32_t {
    EditorObject* o = ObjectFor(mode, object, qvabi::ObjectKind::Via);
    if (!o) return kRefused;
    return ExchangeRecord<qvabi::ObjectKind::Via, Query::Record>(
        mode, *o, flags, headerWord, layer, headerValue1, headerByte, headerValue2, x, y, size, holeSize,
        kindByte1, kindByte2, viaByte1, viaByte2, lowLayer, highLayer);
  });
}

}  // extern "C"
