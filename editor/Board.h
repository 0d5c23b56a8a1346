// One open board of the editor: the board record, its 82 layer records, the
// layer pairs, external dielectrics, option groups and its contents.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "abi/PcbApiFunctions.h"
#include "boardtext/InputScript.h"
#include "boardtext/Lengths.h"
#include "editor/LayerIds.h"

namespace brelix {

using boardtext::Point;
using boardtext::ScriptAction;

namespace kicad {
struct KicadSource;
}

// The JSON a value was written as. Only the board-file code knows it
// (editor/BoardFileFields.h), so that the model's users need not compile the
// JSON library.
struct KeptSource;

// A value read from a board file together with the JSON it was written as,
// so that saving an unchanged value writes the very same text.
template <typename T>
struct Kept {
  T value{};
  std::shared_ptr<const KeptSource> source;  // null for values the file did not give

  Kept() = default;
  Kept(T v) : value(v) {}  // NOLINT: a plain value converts implicitly
  Kept(T v, std::shared_ptr<const KeptSource> s) : value(v), source(std::move(s)) {}
};
using Length = Kept<int32_t>;

struct Dielectric {
  std::string material;
  Kept<uint8_t> type;
  Kept<double> constant;
  Length height;
};

struct LayerRecord {
  std::string name;
  Length copper{14000};
  uint8_t editorByte1 = 0;
  uint8_t editorByte2 = 0;
  uint8_t previous = 0;
  uint8_t next = 0;
  uint8_t editorByte3 = 0;
  std::string net = "(No Net)";
  Dielectric dielectric;  // the one below this layer; type 0 ("none") when there is none
  int32_t info = 0;
  uint8_t infoByte1 = 0;
  uint8_t infoByte2 = 0;
};

struct LayerPair {
  uint8_t byte1 = 0;
  uint8_t byte2 = 0;
  uint32_t first = 0;
  uint32_t second = 0;
};

// The opaque option groups; WriteMode stores whatever the caller gives.
struct BoardOptions {
  std::array<int32_t, qvabi::kGridOptionCount> grids{};
  std::array<int32_t, qvabi::kOutputOptionCount> output{};
  std::array<uint8_t, qvabi::kPlotLayerCount> plotLayers{};
  std::array<uint8_t, qvabi::kPlotLayerCount> flipLayers{};
  std::array<int32_t, qvabi::kGerberOptionCount> gerber{};
  std::array<int32_t, qvabi::kPrinterOptionCount> printer{};
  std::array<std::array<int32_t, 2>, qvabi::kPlotterPenCount> plotterPens{};
  std::array<std::array<int32_t, qvabi::kCompositeLayerValueCount>, kLayerCount> compositeLayers{};
  std::array<int32_t, qvabi::kPlacerOptionCount> placer{};
  std::array<int32_t, qvabi::kEcoOptionCount> eco{};

  // The values a freshly opened board answers.
  static BoardOptions Defaults();
};

inline constexpr uint8_t kImperial = 1;
inline constexpr uint8_t kMetric = 0;

struct Board {
  qvabi::PcbHandle handle = 0;
  std::string sourcePath;
  std::string fileName;
  uint8_t unit = kImperial;
  uint8_t currentLayer = kTopLayer;
  Length openedCursor[2];  // what the file said; saving writes it back
  Point cursor;            // session state
  bool refusesCommands = false;

  // Editor-defined board record fields, stored only.
  int32_t int3 = 0;
  uint8_t byte5 = 0;
  int32_t int6 = 0;
  int32_t int7 = 0;
  int32_t int12 = 0;
  uint8_t splitPlaneMode = 1;

  std::array<LayerRecord, kLayerCount + 1> layers;  // index 0 unused
  std::vector<uint8_t> stack;                       // layer ids, top to bottom, as opened
  Dielectric topDielectric;
  Dielectric bottomDielectric;
  std::vector<LayerPair> pairs;
  BoardOptions options = BoardOptions::Defaults();

  std::vector<qvabi::PcbHandle> contents;  // in the order added
  std::deque<ScriptAction> script;         // actions not consumed yet

  // Boards read from a KiCad file keep the file for writing it back; the
  // objects read from it have handles up to `lastFileObject`, so everything
  // after that was added during the session.
  std::shared_ptr<kicad::KicadSource> kicad;
  qvabi::PcbHandle lastFileObject = 0;
  // What opening the board has to tell the user, one line each.
  std::vector<std::string> notes;

  // Default layer names and no stack; the file reader fills the rest.
  Board();
  // Sets previous/next of every layer from `stack` (0 outside it).
  void LinkStack();
  // The layer record for 1..82, nil otherwise.
  LayerRecord* Layer(int id) { return id >= 1 && id <= kLayerCount ? &layers[id] : nullptr; }
};

}  // namespace brelix
