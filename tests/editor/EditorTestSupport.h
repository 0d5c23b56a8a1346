// Shared helpers of the editor's tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "editor/BoardFile.h"
#include "editor/Editor.h"
#include "editor/exports/Exports.h"
#include "generated/BuildPaths.h"

namespace brelix::testing {

inline std::string ExamplePath(const std::string& name) {
  return std::string(STRATIVUE_SOURCE_DIR) + "/examples/boards/" + name + ".board.json";
}

inline const std::vector<std::string>& ExampleNames() {
  static const std::vector<std::string> kNames = {"two-layer",          "four-layer", "six-layer",
                                                  "eight-layer-metric", "max-stack",  "sensor-node"};
  return kNames;
}

// A small valid board: Top, GND plane, Bottom.
inline std::string SmallBoardText(const std::string& extraTopLevel = "") {
  return R"({"format": "quorvex-board/1", "fileName": "C:\\Designs\\T\\T.qvpcb", "unit": "imperial",
    "currentLayer": 33, "cursor": ["10mil", "-20mil"], )" +
         extraTopLevel + R"(
    "stack": [
      {"id": 1, "name": "Top", "copper": "1.4mil",
       "dielectric": {"material": "FR-4", "type": "core", "constant": 4.8, "height": "12.6mil"}},
      {"id": 39, "name": "GND", "copper": 7000, "net": "GND",
       "dielectric": {"material": "Prepreg", "type": 2, "constant": 4.2, "height": "5mil"}},
      {"id": 32, "name": "Bottom", "copper": "1.4mil"}],
    "topDielectric": {"material": "Solder Resist", "type": "surface", "constant": 3.5, "height": "0.4mil"},
    "bottomDielectric": {"material": "Coverlay", "type": "surface", "constant": 3.1, "height": "0.5mil"},
    "layerPairs": [[1, 32], [1, 39]]})";
}

// Every test starts from an empty editor.
class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override { Editor::Instance().Reset(); }
  void TearDown() override { Editor::Instance().Reset(); }

  qvabi::PcbHandle OpenSmallBoard() {
    return Editor::Instance().OpenBoardText(SmallBoardText(), "small.board.json");
  }
  Editor& editor() { return Editor::Instance(); }
};

}  // namespace brelix::testing
