#include "editor/Board.h"

namespace brelix {

Board::Board() {
  for (int id = 1; id <= kLayerCount; ++id) layers[id].name = DefaultLayerName(id);
}

void Board::LinkStack() {
  for (auto& layer : layers) layer.previous = layer.next = 0;
  for (std::size_t i = 0; i < stack.size(); ++i) {
    LayerRecord& layer = layers[stack[i]];
    layer.previous = i == 0 ? 0 : stack[i - 1];
    layer.next = i + 1 == stack.size() ? 0 : stack[i + 1];
  }
}

BoardOptions BoardOptions::Defaults() {
  BoardOptions o;
  // Grids: snap, component, electrical and visible grids in board units.
  o.grids = {50000, 50000, 250000, 250000, 80000, 1000000, 50000, 50000, 0, 0, 1, 1, 0, 0};
  // Output: a plotter of 1 mil steps, mirrored nothing, every layer plotted.
  for (std::size_t i = 0; i < o.output.size(); ++i) o.output[i] = static_cast<int32_t>(i % 3 == 0 ? 1 : 0);
  o.output[0] = 10000;
  o.plotLayers.fill(1);
  o.flipLayers.fill(0);
  // Gerber: 2.5 format in inches, 100 mil borders, apertures embedded.
  o.gerber = {2, 5, 1, 1000000, 0, 1, 0, 1, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1};
  o.printer = {1, 0, 0, 100, 100, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  for (std::size_t pen = 0; pen < o.plotterPens.size(); ++pen)
    o.plotterPens[pen] = {static_cast<int32_t>(pen + 1), 100000};
  for (std::size_t layer = 0; layer < o.compositeLayers.size(); ++layer)
    o.compositeLayers[layer] = {static_cast<int32_t>(layer + 1), 0, 1, 0};
  o.placer = {1, 0, 200000, 1, 0, 0};
  o.eco = {1, 0};
  return o;
}

}  // namespace brelix
