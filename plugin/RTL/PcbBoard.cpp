#include "plugin/RTL/PcbBoard.h"

#include <algorithm>
#include <string>

#include "plugin/RTL/PcbApi.h"

namespace strativue {

TLayerObject::TLayerObject(qvabi::PcbHandle boardHandle, TLayerId layerId)
    : BoardHandle(boardHandle), LayerId(layerId) {
  Name.assign(DefaultLayerName(layerId));
}

int32_t TLayerObject::LoadLayer(uint8_t mode) {
  const int32_t result = PcbApi::QueryLayer(mode, LayerId, BoardHandle, &Name, &CopperThickness, &EditorByte1,
                                            &EditorByte2, &PreviousLayer, &NextLayer, &EditorByte3);
  PcbApi::QueryLayerDielectric(mode, LayerId, BoardHandle, &Dielectric.Material, &Dielectric.DielectricType,
                               &Dielectric.Constant, &Dielectric.Height);
  return result;
}

TInternalPlane::TInternalPlane(qvabi::PcbHandle boardHandle, TLayerId layerId)
    : TLayerObject(boardHandle, layerId) {
  NetName.assign("(No Net)");
}

int32_t TInternalPlane::LoadLayer(uint8_t mode) {
  const int32_t result =
      PcbApi::QueryInternalPlane(mode, LayerId, BoardHandle, &Name, &CopperThickness, &EditorByte1,
                                 &EditorByte2, &PreviousLayer, &NextLayer, &NetName);
  PcbApi::QueryLayerDielectric(mode, LayerId, BoardHandle, &Dielectric.Material, &Dielectric.DielectricType,
                               &Dielectric.Constant, &Dielectric.Height);
  return result;
}

TPcbBoard::TPcbBoard(qvabi::PcbHandle boardHandle) : BoardHandle(boardHandle) {
  for (int id = 1; id <= kLastLayer; ++id) {
    const auto layerId = static_cast<TLayerId>(id);
    if (layerId >= kInternalPlane1 && layerId <= kInternalPlane16)
      Layers[id] = std::make_unique<TInternalPlane>(boardHandle, layerId);
    else
      Layers[id] = std::make_unique<TLayerObject>(boardHandle, layerId);
  }
}

TLayerObject* TPcbBoard::Layer(TLayerId id) const {
  if (id == kNoLayer || id > kLastLayer) return nullptr;
  return Layers[id].get();
}

int32_t TPcbBoard::LoadBoard(uint8_t mode) {
  TLayerPartitionId currentLayer = ToPartitionId(CurrentLayer);
  const int32_t result =
      PcbApi::QueryBoard(mode, BoardHandle, &BoardInt3, &FileName, &BoardByte5, &BoardInt6, &BoardInt7,
                         &CursorX, &CursorY, &BoardUnit, &currentLayer, &BoardInt12);
  CurrentLayer = FromPartitionId(currentLayer);

  for (int id = 1; id <= kLastLayer; ++id) {
    // Both trailing bytes are editor-defined and dropped.
    uint8_t scratch = 0;
    PcbApi::QueryBoardLayerInfo(mode, BoardHandle, static_cast<uint8_t>(id), &LayerInfo[id], &scratch,
                                &scratch);
  }
  for (int id = 1; id <= kLastLayer; ++id) Layers[id]->LoadLayer(mode);
  PcbApi::QueryBoardSplitPlaneMode(mode, BoardHandle, &SplitPlaneMode);
  ExchangeOptions(mode);
  if (mode == qvabi::ReadMode)
    ReadLayerPairs();
  else
    WriteLayerPairs();
  PcbApi::QueryBoardExternalDielectrics(
      mode, BoardHandle, &TopDielectric.Material, &TopDielectric.DielectricType, &TopDielectric.Constant,
      &TopDielectric.Height, &BottomDielectric.Material, &BottomDielectric.DielectricType,
      &BottomDielectric.Constant, &BottomDielectric.Height);
  return result;
}

void TPcbBoard::ExchangeOptions(uint8_t mode) {
  TBoardOptionStorage& o = Options;
  PcbApi::QueryBoardGridsEx(mode, BoardHandle, o.Grids.data());
  PcbApi::QueryBoardOutputOptions(mode, BoardHandle, o.Output.data());
  for (int index = 1; index <= qvabi::kPlotLayerCount; ++index)
    PcbApi::QueryBoardOutputOptionsPlotLayers(mode, BoardHandle, index, &o.PlotLayers[index - 1]);
  for (int index = 1; index <= qvabi::kPlotLayerCount; ++index)
    PcbApi::QueryBoardOutputOptionsFlipLayers(mode, BoardHandle, index, &o.FlipLayers[index - 1]);
  PcbApi::QueryBoardGerberOptions(mode, BoardHandle, o.Gerber.data());
  PcbApi::QueryBoardPrinterOptions(mode, BoardHandle, o.Printer.data());
  for (int pen = 1; pen <= qvabi::kPlotterPenCount; ++pen)
    PcbApi::QueryBoardPrinterOptionsPlotterPen(mode, BoardHandle, pen, &o.PlotterPens[pen - 1][0],
                                               &o.PlotterPens[pen - 1][1]);
  for (int id = 1; id <= kLastLayer; ++id)
    PcbApi::QueryBoardPrinterOptionsCompositeLayer(mode, BoardHandle, static_cast<uint8_t>(id),
                                                   o.CompositeLayers[id - 1].data());
  PcbApi::QueryBoardAdvancedPlacerOptions(mode, BoardHandle, o.Placer.data());
  PcbApi::QueryBoardEngineeringChangeOrderOptions(mode, BoardHandle, o.Eco.data());
}

void TPcbBoard::ReadLayerPairs() {
  LayerPairs.clear();
  int32_t count = 0;
  if (PcbApi::QueryBoardLayerPairsCount(BoardHandle, &count, qvabi::ReadMode) != 0) return;
  for (int32_t index = 0; index < count; ++index) {
    auto pair = std::make_unique<TPcblayerPair>();
    PcbApi::QueryBoardLayerPairAt(qvabi::ReadMode, BoardHandle, index, &pair->PairByte1, &pair->PairByte2,
                                  &pair->FirstLayer, &pair->SecondLayer);
    NamePair(*pair);
    LayerPairs.push_back(std::move(pair));
  }
}

void TPcbBoard::WriteLayerPairs() {
  int32_t count = static_cast<int32_t>(LayerPairs.size());
  PcbApi::QueryBoardLayerPairsCount(BoardHandle, &count, qvabi::WriteMode);
  for (int32_t index = 0; index < static_cast<int32_t>(LayerPairs.size()); ++index) {
    TPcblayerPair& pair = *LayerPairs[index];
    PcbApi::QueryBoardLayerPairAt(qvabi::WriteMode, BoardHandle, index, &pair.PairByte1, &pair.PairByte2,
                                  &pair.FirstLayer, &pair.SecondLayer);
  }
}

// A pair layer that converts to id 0 has no layer object: it is named by the
// default name of id 0 ("NoLayer") and, like any layer outside the copper
// set, has position 0, so it is written first.
void TPcbBoard::NamePair(TPcblayerPair& pair) const {
  const TLayerId firstId = FromPartitionId(pair.FirstLayer);
  const TLayerId secondId = FromPartitionId(pair.SecondLayer);
  const TLayerObject* a = Layer(firstId);
  const TLayerObject* b = Layer(secondId);
  const std::string aName = a ? a->Name.str() : DefaultLayerName(kNoLayer);
  const std::string bName = b ? b->Name.str() : DefaultLayerName(kNoLayer);
  if (CopperPosition(CopperLayerSet, a) <= CopperPosition(CopperLayerSet, b))
    pair.Name.assign(aName + " - " + bName);
  else
    pair.Name.assign(bName + " - " + aName);
}

std::vector<TLayerObject*> TPcbBoard::WalkFrom(TLayerObject* first) const {
  std::vector<TLayerObject*> walk;
  std::array<bool, kLastLayer + 1> seen{};
  for (TLayerObject* layer = first; layer && !seen[layer->LayerId]; layer = Layer(layer->NextLayer)) {
    seen[layer->LayerId] = true;
    walk.push_back(layer);
  }
  return walk;
}

TLayerObject* TPcbBoard::FirstStackLayer() const {
  for (int id = 1; id <= kLastLayer; ++id)
    if (Layers[id]->PreviousLayer == 0) return Layers[id].get();
  return nullptr;
}

std::vector<TLayerObject*> TPcbBoard::StackLayers() const { return WalkFrom(FirstStackLayer()); }

TLayerObject* TPcbBoard::NextStackLayer(const TLayerObject* layer) const {
  if (!layer) return nullptr;
  const std::vector<TLayerObject*> stack = StackLayers();
  const auto found = std::find(stack.begin(), stack.end(), layer);
  if (found != stack.end()) return std::next(found) == stack.end() ? nullptr : *std::next(found);
  TLayerObject* next = Layer(layer->NextLayer);
  return next == layer ? nullptr : next;
}

int32_t TPcbBoard::CopperPosition(const TLayerSet& set, const TLayerObject* layer) const {
  if (!layer || !set.Contains(layer->LayerId)) return 0;
  int32_t count = 0;
  for (const TLayerObject* visited : StackLayers()) {
    if (set.Contains(visited->LayerId)) ++count;
    if (visited == layer) break;
  }
  return count;
}

void TPcbBoard::AddToBoard(qvabi::PcbHandle objectHandle) const {
  if (objectHandle == 0) return;
  PcbApi::AddObjectToContainer(BoardHandle, objectHandle);
}

}  // namespace strativue
