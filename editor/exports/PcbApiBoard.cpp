// The board, layer and option-group queries.
#include <algorithm>

#include "editor/Editor.h"
#include "editor/exports/Exports.h"

using brelix::Board;
using brelix::Editor;
using brelix::exports::Exchange;
using brelix::exports::Guarded;
using brelix::exports::kDone;
using brelix::exports::kRefused;
using brelix::exports::ValidMode;

namespace {

constexpr int32_t kMaxLayerPairs = 1024;

Board* BoardFor(uint8_t mode, qvabi::PcbHandle handle) {
  return ValidMode(mode) ? Editor::Instance().FindBoard(handle) : nullptr;
}

void ExchangeDielectric(uint8_t mode, brelix::Dielectric& d, qvabi::ShortString* material, uint8_t* type,
                        double* constant, int32_t* height) {
  Exchange(mode, material, d.material);
  Exchange(mode, type, d.type.value);
  Exchange(mode, constant, d.constant.value);
  Exchange(mode, height, d.height.value);
}

template <typename T, std::size_t N>
int32_t ExchangeArray(uint8_t mode, T* values, std::array<T, N>& stored) {
  if (!values) return kRefused;
  if (mode == qvabi::ReadMode)
    std::copy(stored.begin(), stored.end(), values);
  else
    std::copy(values, values + N, stored.begin());
  return kDone;
}

template <typename Group>
int32_t OptionGroup(uint8_t mode, qvabi::PcbHandle handle, int32_t* values, Group group) {
  Board* board = BoardFor(mode, handle);
  if (!board) return kRefused;
  return ExchangeArray(mode, values, group(board->options));
}

}  // namespace

extern "C" {

ABI_EXPORT qvabi::PcbHandle STDCALL PcbApi_GetCurrentBoardHandle(void) noexcept {
  return Guarded<qvabi::PcbHandle>("editor.GetCurrentBoardHandle", 0,
                                   [] { return Editor::Instance().CurrentBoard(); });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryBoard(uint8_t mode, qvabi::PcbHandle handle, int32_t* boardInt3,
                                             qvabi::ShortString* fileName, uint8_t* boardByte5,
                                             int32_t* boardInt6, int32_t* boardInt7, int32_t* cursorX,
                                             int32_t* cursorY, uint8_t* boardUnit, uint32_t* currentLayer,
                                             int32_t* boardInt12) noexcept {
  return Guarded<int32_t>("editor.QueryBoard", kRefused, [&]() -> int32_t {
    Board* board = BoardFor(mode, handle);
    if (!board) return kRefused;
    Exchange(mode, boardInt3, board->int3);
    Exchange(mode, fileName, board->fileName);
    Exchange(mode, boardByte5, board->byte5);
    Exchange(mode, boardInt6, board->int6);
    Exchange(mode, boardInt7, board->int7);
    Exchange(mode, cursorX, board->cursor.x);
    Exchange(mode, cursorY, board->cursor.y);
    if (mode == qvabi::ReadMode) {
      if (boardUnit) *boardUnit = board->unit;
      if (currentLayer) *currentLayer = board->currentLayer;
    } else {
      // Values that name no unit or no layer are refused field by field.
      if (boardUnit && (*boardUnit == brelix::kImperial || *boardUnit == brelix::kMetric))
        board->unit = *boardUnit;
      if (currentLayer)
        if (const auto layer = brelix::LayerFromRecordId(*currentLayer)) board->currentLayer = *layer;
    }
    Exchange(mode, boardInt12, board->int12);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryBoardLayerInfo(uint8_t mode, qvabi::PcbHandle handle, uint8_t layer,
                                                      int32_t* layerInfo, uint8_t* byte1,
                                                      uint8_t* byte2) noexcept {
  return Guarded<int32_t>("editor.QueryBoardLayerInfo", kRefused, [&]() -> int32_t {
    Board* board = BoardFor(mode, handle);
    brelix::LayerRecord* record = board ? board->Layer(layer) : nullptr;
    if (!record) return kRefused;
    Exchange(mode, layerInfo, record->info);
    Exchange(mode, byte1, record->infoByte1);
    Exchange(mode, byte2, record->infoByte2);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryLayer(uint8_t mode, uint8_t layer, qvabi::PcbHandle handle,
                                             qvabi::ShortString* name, int32_t* copperThickness,
                                             uint8_t* editorByte1, uint8_t* editorByte2,
                                             uint8_t* previousLayer, uint8_t* nextLayer,
                                             uint8_t* editorByte3) noexcept {
  return Guarded<int32_t>("editor.QueryLayer", kRefused, [&]() -> int32_t {
    Board* board = BoardFor(mode, handle);
    brelix::LayerRecord* record = board ? board->Layer(layer) : nullptr;
    if (!record) return kRefused;
    Exchange(mode, name, record->name);
    Exchange(mode, copperThickness, record->copper.value);
    Exchange(mode, editorByte1, record->editorByte1);
    Exchange(mode, editorByte2, record->editorByte2);
    Exchange(mode, previousLayer, record->previous);
    Exchange(mode, nextLayer, record->next);
    Exchange(mode, editorByte3, record->editorByte3);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryInternalPlane(uint8_t mode, uint8_t layer, qvabi::PcbHandle handle,
                                                     qvabi::ShortString* name, int32_t* copperThickness,
                                                     uint8_t* editorByte1, uint8_t* editorByte2,
                                                     uint8_t* previousLayer, uint8_t* nextLayer,
                                                     qvabi::ShortString* netName) noexcept {
  return Guarded<int32_t>("editor.QueryInternalPlane", kRefused, [&]() -> int32_t {
    Board* board = BoardFor(mode, handle);
    if (!board || !brelix::IsInternalPlane(layer)) return kRefused;
    brelix::LayerRecord& record = board->layers[layer];
    Exchange(mode, name, record.name);
    Exchange(mode, copperThickness, record.copper.value);
    Exchange(mode, editorByte1, record.editorByte1);
    Exchange(mode, editorByte2, record.editorByte2);
    Exchange(mode, previousLayer, record.previous);
    Exchange(mode, nextLayer, record.next);
    Exchange(mode, netName, record.net);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryLayerDielectric(uint8_t mode, uint8_t layer, qvabi::PcbHandle handle,
                                                       qvabi::ShortString* material, uint8_t* dielectricType,
                                                       double* constant, int32_t* height) noexcept {
  return Guarded<int32_t>("editor.QueryLayerDielectric", kRefused, [&]() -> int32_t {
    Board* board = BoardFor(mode, handle);
    brelix::LayerRecord* record = board ? board->Layer(layer) : nullptr;
    if (!record) return kRefused;
    ExchangeDielectric(mode, record->dielectric, material, dielectricType, constant, height);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryBoardSplitPlaneMode(uint8_t mode, qvabi::PcbHandle handle,
                                                           uint8_t* splitPlaneMode) noexcept {
  return Guarded<int32_t>("editor.QueryBoardSplitPlaneMode", kRefused, [&]() -> int32_t {
    Board* board = BoardFor(mode, handle);
    if (!board) return kRefused;
    Exchange(mode, splitPlaneMode, board->splitPlaneMode);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryBoardLayerPairsCount(qvabi::PcbHandle handle, int32_t* count,
                                                            uint8_t mode) noexcept {
  return Guarded<int32_t>("editor.QueryBoardLayerPairsCount", kRefused, [&]() -> int32_t {
    Board* board = BoardFor(mode, handle);
    if (!board || !count) return kRefused;
    if (mode == qvabi::ReadMode) {
      *count = static_cast<int32_t>(board->pairs.size());
    } else {
      if (*count < 0 || *count > kMaxLayerPairs) return kRefused;
      board->pairs.resize(static_cast<std::size_t>(*count));
    }
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryBoardLayerPairAt(uint8_t mode, qvabi::PcbHandle handle, int32_t index,
                                                        uint8_t* pairByte1, uint8_t* pairByte2,
                                                        uint32_t* firstLayer,
                                                        uint32_t* secondLayer) noexcept {
  return Guarded<int32_t>("editor.QueryBoardLayerPairAt", kRefused, [&]() -> int32_t {
    Board* board = BoardFor(mode, handle);
    if (!board || index < 0 || static_cast<std::size_t>(index) >= board->pairs.size()) return kRefused;
    brelix::LayerPair& pair = board->pairs[static_cast<std::size_t>(index)];
    Exchange(mode, pairByte1, pair.byte1);
    Exchange(mode, pairByte2, pair.byte2);
    Exchange(mode, firstLayer, pair.first);
    Exchange(mode, secondLayer, pair.second);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryBoardExternalDielectrics(
    uint8_t mode, qvabi::PcbHandle handle, qvabi::ShortString* topMaterial, uint8_t* topType,
    double* topConstant, int32_t* topHeight, qvabi::ShortString* bottomMaterial, uint8_t* bottomType,
    double* bottomConstant, int32_t* bottomHeight) noexcept {
  return Guarded<int32_t>("editor.QueryBoardExternalDielectrics", kRefused, [&]() -> int32_t {
    Board* board = BoardFor(mode, handle);
    if (!board) return kRefused;
    ExchangeDielectric(mode, board->topDielectric, topMaterial, topType, topConstant, topHeight);
    ExchangeDielectric(mode, board->bottomDielectric, bottomMaterial, bottomType, bottomConstant,
                       bottomHeight);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryBoardGridsEx(uint8_t mode, qvabi::PcbHandle handle,
                                                    int32_t* values) noexcept {
  return Guarded<int32_t>("editor.QueryBoardGridsEx", kRefused, [&]() -> int32_t {
    return OptionGroup(
        mode, handle, values, [](brelix::BoardOptions & o) -> auto& { return o.grids; });
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryBoardOutputOptions(uint8_t mode, qvabi::PcbHandle handle,
                                                          int32_t* values) noexcept {
  return Guarded<int32_t>("editor.QueryBoardOutputOptions", kRefused, [&]() -> int32_t {
    return OptionGroup(
        mode, handle, values, [](brelix::BoardOptions & o) -> auto& { return o.output; });
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryBoardOutputOptionsPlotLayers(uint8_t mode, qvabi::PcbHandle handle,
                                                                    int32_t index, uint8_t* value) noexcept {
  return Guarded<int32_t>("editor.QueryBoardOutputOptionsPlotLayers", kRefused, [&]() -> int32_t {
    Board* board = BoardFor(mode, handle);
    if (!board || index < 1 || index > qvabi::kPlotLayerCount) return kRefused;
    Exchange(mode, value, board->options.plotLayers[static_cast<std::size_t>(index - 1)]);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryBoardOutputOptionsFlipLayers(uint8_t mode, qvabi::PcbHandle handle,
                                                                    int32_t index, uint8_t* value) noexcept {
  return Guarded<int32_t>("editor.QueryBoardOutputOptionsFlipLayers", kRefused, [&]() -> int32_t {
    Board* board = BoardFor(mode, handle);
    if (!board || index < 1 || index > qvabi::kPlotLayerCount) return kRefused;
    Exchange(mode, value, board->options.flipLayers[static_cast<std::size_t>(index - 1)]);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryBoardGerberOptions(uint8_t mode, qvabi::PcbHandle handle,
                                                          int32_t* values) noexcept {
  return Guarded<int32_t>("editor.QueryBoardGerberOptions", kRefused, [&]() -> int32_t {
    return OptionGroup(
        mode, handle, values, [](brelix::BoardOptions & o) -> auto& { return o.gerber; });
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryBoardPrinterOptions(uint8_t mode, qvabi::PcbHandle handle,
                                                           int32_t* values) noexcept {
  return Guarded<int32_t>("editor.QueryBoardPrinterOptions", kRefused, [&]() -> int32_t {
    return OptionGroup(
        mode, handle, values, [](brelix::BoardOptions & o) -> auto& { return o.printer; });
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryBoardPrinterOptionsPlotterPen(uint8_t mode, qvabi::PcbHandle handle,
                                                                     int32_t pen, int32_t* value1,
                                                                     int32_t* value2) noexcept {
  return Guarded<int32_t>("editor.QueryBoardPrinterOptionsPlotterPen", kRefused, [&]() -> int32_t {
    Board* board = BoardFor(mode, handle);
    if (!board || pen < 1 || pen > qvabi::kPlotterPenCount) return kRefused;
    auto& stored = board->options.plotterPens[static_cast<std::size_t>(pen - 1)];
    Exchange(mode, value1, stored[0]);
    Exchange(mode, value2, stored[1]);
    return kDone;
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryBoardPrinterOptionsCompositeLayer(uint8_t mode,
                                                                         qvabi::PcbHandle handle,
                                                                         uint8_t layer,
                                                                         int32_t* values) noexcept {
  return Guarded<int32_t>("editor.QueryBoardPrinterOptionsCompositeLayer", kRefused, [&]() -> int32_t {
    Board* board = BoardFor(mode, handle);
    if (!board || layer < 1 || layer > brelix::kLayerCount) return kRefused;
    return ExchangeArray(mode, values, board->options.compositeLayers[layer - 1u]);
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryBoardAdvancedPlacerOptions(uint8_t mode, qvabi::PcbHandle handle,
                                                                  int32_t* values) noexcept {
  return Guarded<int32_t>("editor.QueryBoardAdvancedPlacerOptions", kRefused, [&]() -> int32_t {
    return OptionGroup(
        mode, handle, values, [](brelix::BoardOptions & o) -> auto& { return o.placer; });
  });
}

ABI_EXPORT int32_t STDCALL PcbApi_QueryBoardEngineeringChangeOrderOptions(uint8_t mode,
                                                                          qvabi::PcbHandle handle,
                                                                          int32_t* values) noexcept {
  return Guarded<int32_t>("editor.QueryBoardEngineeringChangeOrderOptions", kRefused, [&]() -> int32_t {
    return OptionGroup(
        mode, handle, values, [](brelix::BoardOptions & o) -> auto& { return o.eco; });
  });
}

}  // extern "C"
