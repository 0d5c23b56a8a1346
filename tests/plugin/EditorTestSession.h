// Loads the PCB editor stand-in into the test process and binds the
// plug-in's editor functions to it, for tests that talk to the real editor.
#pragma once

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "abi/ModuleFiles.h"
#include "editor/BrelixSim.h"
#include "generated/BuildPaths.h"
#include "platform/Modules.h"
#include "plugin/RTL/PcbApi.h"

namespace strativue::editortest {

// The editor stays loaded for the rest of the process once loaded.
inline const brelix::SimApi* LoadEditor(std::string* error) {
  static std::string loadError;
  static const brelix::SimApi* api = []() -> const brelix::SimApi* {
    const platform::ModuleHandle module =
        platform::LoadModule(std::string(STRATIVUE_BIN_DIR) + "/" + qvabi::kEditorModuleFile, &loadError);
    if (!module) return nullptr;
    static brelix::SimApi sim;
    if (!sim.Load(module)) {
      loadError = std::string(qvabi::kEditorModuleFile) + " lacks part of its simulation API";
      return nullptr;
    }
    return &sim;
  }();
  *error = loadError;
  return api;
}

// Base of test suites that use the editor: a fresh editor state and a
// fresh binding for every test.
class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    sim_ = LoadEditor(&error);
    ASSERT_NE(sim_, nullptr) << error;
    sim_->Reset();
    PcbApi::Unbind();
    PcbApi::Bind();
    ASSERT_TRUE(PcbApi::IsBound());
  }
  void TearDown() override {
    if (sim_) sim_->Reset();
  }

  qvabi::PcbHandle OpenBoard(const std::string& json) {
    const char* error = nullptr;
    const qvabi::PcbHandle board = sim_->OpenBoardText(json.c_str(), "test.board.json", &error);
    EXPECT_NE(board, 0) << (error ? error : "");
    return board;
  }
  // A two-layer board (Top and Bottom over a core) with no objects.
  qvabi::PcbHandle OpenEmptyBoard() {
    return OpenBoard(R"({"format": "quorvex-board/1", "fileName": "C:\\Empty.qvpcb",
      "unit": "imperial", "currentLayer": 1,
      "stack": [{"id": 1, "name": "Top", "copper": 14000,
                 "dielectric": {"material": "FR-4", "type": "core", "constant": 4.8, "height": 126000}},
                {"id": 32, "name": "Bottom", "copper": 14000}],
      "topDielectric": {"material": "SR", "type": "surface", "constant": 3.5, "height": 4000},
      "bottomDielectric": {"material": "SR", "type": "surface", "constant": 3.5, "height": 4000},
      "layerPairs": [[1, 32]], "objects": []})");
  }

  // The object as the editor describes it; null once it is destroyed.
  nlohmann::json Describe(qvabi::PcbHandle object) const {
    const char* text = sim_->DescribeObject(object);
    return text ? nlohmann::json::parse(text) : nlohmann::json();
  }

  const brelix::SimApi* sim_ = nullptr;
};

}  // namespace strativue::editortest
