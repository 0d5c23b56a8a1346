// The plug-in's copy of one PCB document as the editor describes it: file
// name, cursor, unit, current layer, one layer object per layer id with its
// copper, dielectric and stack links, the drill layer pairs and the two
// external dielectrics. Fields are exchanged with the editor in place, one
// address per field, in the editor's record order.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "abi/PcbApiFunctions.h"
#include "abi/Types.h"
#include "plugin/RTL/Layers.h"
#include "plugin/RTL/RT_PCB.h"

namespace strativue {

// One dielectric.
struct TDielectricInfo {
  TDielectricInfo() { Material.assign("FR-4"); }

  qvabi::ShortString Material{};
  // Dielectric type code: 0 none, 1 core, 2 prepreg, 3 surface.
  uint8_t DielectricType = 1;
  double Constant = 4.8;
  // Thickness in board units.
  int32_t Height = 126000;
};

// One layer of a board, kept for every layer id whether or not it is in the
// stack.
class TLayerObject {
 public:
  TLayerObject(qvabi::PcbHandle boardHandle, TLayerId layerId);
  virtual ~TLayerObject() = default;
  TLayerObject(const TLayerObject&) = delete;
  TLayerObject& operator=(const TLayerObject&) = delete;

  // Exchanges this layer and the dielectric below it with the editor;
  // answers the layer query's result.
  virtual int32_t LoadLayer(uint8_t mode);

  qvabi::PcbHandle BoardHandle;
  TLayerId LayerId;
  qvabi::ShortString Name{};
  int32_t CopperThickness = 14000;
  // The dielectric below this layer.
  TDielectricInfo Dielectric;
  uint8_t EditorByte1 = 0;
  uint8_t EditorByte2 = 0;
  // Ids of the layers above and below in the stack; 0: none.
  uint8_t PreviousLayer = 0;
  uint8_t NextLayer = 0;
  uint8_t EditorByte3 = 0;
};

// An internal plane (ids 39 to 54) and the net it carries.
class TInternalPlane : public TLayerObject {
 public:
  TInternalPlane(qvabi::PcbHandle boardHandle, TLayerId layerId);
  int32_t LoadLayer(uint8_t mode) override;

  qvabi::ShortString NetName{};
};

// One drill layer pair.
struct TPcblayerPair {
  // "<upper layer name> - <lower layer name>", built when read.
  qvabi::ShortString Name{};
  TLayerPartitionId SecondLayer = 0;
  TLayerPartitionId FirstLayer = 0;
  uint8_t PairByte1 = 0;
  uint8_t PairByte2 = 0;
};

// The board's option groups, carried for the editor and never read here.
struct TBoardOptionStorage {
  std::array<int32_t, qvabi::kGridOptionCount> Grids{};
  std::array<int32_t, qvabi::kOutputOptionCount> Output{};
  std::array<uint8_t, qvabi::kPlotLayerCount> PlotLayers{};
  std::array<uint8_t, qvabi::kPlotLayerCount> FlipLayers{};
  std::array<int32_t, qvabi::kGerberOptionCount> Gerber{};
  std::array<int32_t, qvabi::kPrinterOptionCount> Printer{};
  std::array<std::array<int32_t, 2>, qvabi::kPlotterPenCount> PlotterPens{};
  std::array<std::array<int32_t, qvabi::kCompositeLayerValueCount>, kLastLayer> CompositeLayers{};
  std::array<int32_t, qvabi::kPlacerOptionCount> Placer{};
  std::array<int32_t, qvabi::kEcoOptionCount> Eco{};
};

class TPcbBoard {
 public:
  // Builds the 82 layer objects with their defaults; no editor call. Any
  // handle is accepted, 0 included.
  explicit TPcbBoard(qvabi::PcbHandle boardHandle);
  virtual ~TPcbBoard() = default;
  TPcbBoard(const TPcbBoard&) = delete;
  TPcbBoard& operator=(const TPcbBoard&) = delete;

  // Exchanges the whole board with the editor (ReadMode or WriteMode);
  // answers the board query's result.
  virtual int32_t LoadBoard(uint8_t mode);

  // The layer object of an id from 1 to 82; nil for any other id.
  TLayerObject* Layer(TLayerId id) const;

  // The stack from top to bottom: from the first layer whose PreviousLayer
  // is 0 along the NextLayer links. The walk ends at a link to 0, to an id
  // above 82, or to a layer already walked, so broken links from the editor
  // can neither loop nor leave the layer table.
  std::vector<TLayerObject*> StackLayers() const;
  // The top layer of the stack, or nil.
  TLayerObject* FirstStackLayer() const;
  // The layer below `layer` on the stack, or nil at the end of the walk
  // (including where a link would repeat a layer of the walk). For a layer
  // off the walk from FirstStackLayer: its own valid next link, if any.
  TLayerObject* NextStackLayer(const TLayerObject* layer) const;
  // The position of `layer` among the stack's layers of `set`, 1 for the
  // first; 0 when the layer is nil or not in the set.
  int32_t CopperPosition(const TLayerSet& set, const TLayerObject* layer) const;

  // Names a pair after its two layers, the upper one in the stack first:
  // "<upper> - <lower>", cut to 255 characters. A layer id that converts to
  // 0 has no layer object: it is named "NoLayer" and has copper position 0.
  void NamePair(TPcblayerPair& pair) const;

  // Makes an editor object part of the board's contents; 0 does nothing.
  void AddToBoard(qvabi::PcbHandle objectHandle) const;

  qvabi::PcbHandle BoardHandle;
  int32_t BoardInt3 = 0;
  // Full path of the board document.
  qvabi::ShortString FileName{};
  uint8_t BoardByte5 = 0;
  int32_t BoardInt6 = 0;
  int32_t BoardInt7 = 0;
  int32_t CursorX = 0;
  int32_t CursorY = 0;
  // strativue::BoardUnit as the editor's byte.
  uint8_t BoardUnit = 0;
  TDielectricInfo TopDielectric;
  TDielectricInfo BottomDielectric;
  TLayerId CurrentLayer = kNoLayer;
  // Index 0 is unused and nil; 39 to 54 hold TInternalPlane.
  std::array<std::unique_ptr<TLayerObject>, kLastLayer + 1> Layers;
  std::vector<std::unique_ptr<TPcblayerPair>> LayerPairs;
  // Index 0 unused.
  std::array<int32_t, kLastLayer + 1> LayerInfo{};
  TBoardOptionStorage Options;
  int32_t BoardInt12 = 0;
  uint8_t SplitPlaneMode = 1;

  strativue::BoardUnit Unit() const { return static_cast<strativue::BoardUnit>(BoardUnit); }

 private:
  void ExchangeOptions(uint8_t mode);
  void ReadLayerPairs();
  void WriteLayerPairs();
  std::vector<TLayerObject*> WalkFrom(TLayerObject* first) const;
};

}  // namespace strativue
