// Boards and looks into the editor for the stack-up legend's tests.
#pragma once

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "EditorTestSession.h"
#include "host/Host.h"
#include "plugin/LayerStackupLegend.h"
#include "plugin/RTL/HostClient.h"

namespace strativue::legendtest {

struct StackLayer {
  int id;
  std::string name;
  std::string type = "core";
  std::string material = "FR-4";
};

// "Layer Stack Up Detail for: Board1.qvpcb" has 39 characters.
inline constexpr const char* kFileName = "C:\\Designs\\Demo\\Board1.qvpcb";

// A board file with the given stack (each layer 1.4 mil of copper over
// 12.6 mil of dielectric, constant 4.8), 0.4 mil surface masks of
// "SolderMask" (constant 3.5) and TopOverlay as the current layer.
inline std::string BoardJson(const std::vector<StackLayer>& stack, const std::string& unit = "imperial") {
  nlohmann::json layers = nlohmann::json::array();
  for (std::size_t i = 0; i < stack.size(); ++i) {
    nlohmann::json layer = {{"id", stack[i].id}, {"name", stack[i].name}, {"copper", "1.4mil"}};
    if (i + 1 < stack.size())
      layer["dielectric"] = {
          {"material", stack[i].material}, {"type", stack[i].type}, {"constant", 4.8}, {"height", "12.6mil"}};
    layers.push_back(layer);
  }
  const nlohmann::json mask = {
      {"material", "SolderMask"}, {"type", "surface"}, {"constant", 3.5}, {"height", "0.4mil"}};
  const nlohmann::json board = {{"format", "quorvex-board/1"},
                                {"fileName", kFileName},
                                {"unit", unit},
                                {"currentLayer", 33},
                                {"stack", layers},
                                {"topDielectric", mask},
                                {"bottomDielectric", mask},
                                {"objects", nlohmann::json::array()}};
  return board.dump();
}

inline const std::vector<StackLayer> kTwoLayers = {{1, "Top Layer"}, {32, "Bottom Layer"}};
inline const std::vector<StackLayer> kFourLayers = {
    {1, "Top Layer"}, {2, "Mid Layer 1", "prepreg"}, {3, "Mid Layer 2"}, {32, "Bottom Layer"}};

inline TLegendOptions OptionsWith(bool copper, bool type, bool gerbers, bool height, bool material,
                                  bool constant, bool masks) {
  return {qvabi::ToByteBool(copper), qvabi::ToByteBool(type),     qvabi::ToByteBool(gerbers),
          qvabi::ToByteBool(height), qvabi::ToByteBool(material), qvabi::ToByteBool(constant),
          qvabi::ToByteBool(masks)};
}

// An editor session with the host's client in place, so that the status
// bar can be read.
class LegendTest : public editortest::EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    quorvex::Host::Instance().Reset();
    SetHostClient(quorvex::Host::Instance().GetClient());
  }
  void TearDown() override {
    SetHostClient(nullptr);
    quorvex::Host::Instance().Reset();
    EditorTest::TearDown();
  }

  int32_t Live() const { return sim_->LiveObjectCount(); }

  bool Alive(qvabi::PcbHandle handle) const { return sim_->DescribeObject(handle) != nullptr; }
  int32_t YOf(const TPCBObject& object) const { return Describe(object.Handle)["y"].get<int32_t>(); }
  int32_t XOf(const TPCBObject& object) const { return Describe(object.Handle)["x"].get<int32_t>(); }

  std::vector<qvabi::PcbHandle> Contents(qvabi::PcbHandle board) const {
    std::vector<qvabi::PcbHandle> handles;
    const int32_t count = sim_->BoardObjectCount(board);
    for (int32_t i = 0; i < count; ++i) handles.push_back(sim_->BoardObjectAt(board, i));
    return handles;
  }

  std::string Panel(int32_t index) const {
    const auto panels = quorvex::Host::Instance().GetGuiManager().Panels();
    const auto found = panels.find(index);
    return found == panels.end() ? std::string() : found->second;
  }
};

}  // namespace strativue::legendtest
