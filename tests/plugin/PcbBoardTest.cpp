// The board wrapper: defaults, the stack walk, pair naming, and the exchange
// with the editor stand-in in both modes.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "EditorTestSession.h"
#include "WithoutEditorSupport.h"
#include "abi/ModuleFiles.h"
#include "generated/BuildPaths.h"
#include "host/Host.h"
#include "plugin/RTL/HostClient.h"
#include "plugin/RTL/PcbBoard.h"

namespace strativue {
namespace {

void ExpectDielectric(const TDielectricInfo& d, const std::string& material, int type, double constant,
                      int32_t height) {
  EXPECT_EQ(d.Material.str(), material);
  EXPECT_EQ(d.DielectricType, type);
  EXPECT_DOUBLE_EQ(d.Constant, constant);
  EXPECT_EQ(d.Height, height);
}

std::vector<int> Ids(const std::vector<TLayerObject*>& layers) {
  std::vector<int> ids;
  for (const TLayerObject* layer : layers) ids.push_back(layer->LayerId);
  return ids;
}

// Links the given ids into a stack, top first; every other layer keeps 0/0.
void LinkStack(TPcbBoard& board, const std::vector<TLayerId>& ids) {
  for (std::size_t i = 0; i < ids.size(); ++i) {
    board.Layers[ids[i]]->PreviousLayer = i == 0 ? 0 : ids[i - 1];
    board.Layers[ids[i]]->NextLayer = i + 1 == ids.size() ? 0 : ids[i + 1];
  }
  // Layers off the stack must not look like a top.
  for (int id = 1; id <= kLastLayer; ++id)
    if (std::find(ids.begin(), ids.end(), id) == ids.end()) board.Layers[id]->PreviousLayer = 255;
}

TEST(PcbBoardDefaults, BeforeAnyRead) {
  const TPcbBoard board(7);
  EXPECT_EQ(board.BoardHandle, 7);
  ExpectDielectric(board.TopDielectric, "FR-4", 1, 4.8, 126000);
  ExpectDielectric(board.BottomDielectric, "FR-4", 1, 4.8, 126000);
  EXPECT_EQ(board.CurrentLayer, 0);
  EXPECT_EQ(board.SplitPlaneMode, 1);
  EXPECT_EQ(board.FileName.str(), "");
  EXPECT_TRUE(board.LayerPairs.empty());
  EXPECT_EQ(board.Layers[0], nullptr);
  for (int id = 1; id <= kLastLayer; ++id) {
    const TLayerObject& layer = *board.Layers[id];
    EXPECT_EQ(layer.LayerId, id);
    EXPECT_EQ(layer.BoardHandle, 7);
    EXPECT_EQ(layer.Name.str(), DefaultLayerName(static_cast<TLayerId>(id)));
    EXPECT_EQ(layer.CopperThickness, 14000);
    ExpectDielectric(layer.Dielectric, "FR-4", 1, 4.8, 126000);
    const auto* plane = dynamic_cast<const TInternalPlane*>(&layer);
    EXPECT_EQ(plane != nullptr, id >= 39 && id <= 54) << "id " << id;
    if (plane) {
      EXPECT_EQ(plane->NetName.str(), "(No Net)");
    }
  }
}

TEST(PcbBoardWalk, FollowsTheLinksFromTheTop) {
  TPcbBoard board(1);
  LinkStack(board, {1, 39, 2, 32});
  EXPECT_EQ(Ids(board.StackLayers()), (std::vector<int>{1, 39, 2, 32}));
  std::vector<int> walked;
  for (TLayerObject* layer = board.FirstStackLayer(); layer; layer = board.NextStackLayer(layer))
    walked.push_back(layer->LayerId);
  EXPECT_EQ(walked, (std::vector<int>{1, 39, 2, 32}));

  EXPECT_EQ(board.CopperPosition(CopperLayerSet, board.Layers[1].get()), 1);
  EXPECT_EQ(board.CopperPosition(CopperLayerSet, board.Layers[39].get()), 2);
  EXPECT_EQ(board.CopperPosition(CopperLayerSet, board.Layers[32].get()), 4);
  EXPECT_EQ(board.CopperPosition(CopperLayerSet, board.Layers[33].get()), 0);
  EXPECT_EQ(board.CopperPosition(CopperLayerSet, nullptr), 0);
  // A copper layer off the stack counts every copper layer of the walk.
  EXPECT_EQ(board.CopperPosition(CopperLayerSet, board.Layers[5].get()), 4);
  EXPECT_EQ(board.CopperPosition(TLayerSet::Range(39, 54), board.Layers[39].get()), 1);
}

TEST(PcbBoardWalk, NoTopLayerGivesAnEmptyWalk) {
  TPcbBoard board(1);
  for (int id = 1; id <= kLastLayer; ++id) board.Layers[id]->PreviousLayer = 1;
  EXPECT_EQ(board.FirstStackLayer(), nullptr);
  EXPECT_TRUE(board.StackLayers().empty());
  EXPECT_EQ(board.CopperPosition(CopperLayerSet, board.Layers[1].get()), 0);
}

TEST(PcbBoardWalk, CyclicLinksEndAtTheFirstRepeat) {
  TPcbBoard board(1);
  LinkStack(board, {1, 2, 3});
  board.Layers[3]->NextLayer = 2;
  EXPECT_EQ(Ids(board.StackLayers()), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(board.NextStackLayer(board.Layers[3].get()), nullptr);
  int steps = 0;
  for (TLayerObject* layer = board.FirstStackLayer(); layer && steps < 100;
       layer = board.NextStackLayer(layer))
    ++steps;
  EXPECT_EQ(steps, 3);
  EXPECT_EQ(board.CopperPosition(CopperLayerSet, board.Layers[4].get()), 3);

  board.Layers[1]->NextLayer = 1;
  EXPECT_EQ(Ids(board.StackLayers()), (std::vector<int>{1}));
  EXPECT_EQ(board.NextStackLayer(board.Layers[1].get()), nullptr);
}

TEST(PcbBoardWalk, LinksPastTheLastLayerEndTheWalk) {
  TPcbBoard board(1);
  LinkStack(board, {1, 2, 32});
  board.Layers[2]->NextLayer = 200;
  EXPECT_EQ(Ids(board.StackLayers()), (std::vector<int>{1, 2}));
  EXPECT_EQ(board.NextStackLayer(board.Layers[2].get()), nullptr);
  board.Layers[1]->NextLayer = 83;
  EXPECT_EQ(board.NextStackLayer(board.Layers[1].get()), nullptr);
  EXPECT_EQ(board.Layer(0), nullptr);
  EXPECT_EQ(board.Layer(83), nullptr);
}

class PcbBoardPairNames : public ::testing::Test {
 protected:
  void SetUp() override {
    LinkStack(board, {1, 39, 2, 32});
    board.Layers[1]->Name.assign("Top Copper");
    board.Layers[39]->Name.assign("GND");
    board.Layers[2]->Name.assign("Inner 1");
    board.Layers[32]->Name.assign("Bottom Copper");
  }
  std::string NameOf(TLayerPartitionId first, TLayerPartitionId second) {
    TPcblayerPair pair;
    pair.FirstLayer = first;
    pair.SecondLayer = second;
    board.NamePair(pair);
    return pair.Name.str();
  }
  TPcbBoard board{1};
};

TEST_F(PcbBoardPairNames, UpperLayerOfTheStackComesFirst) {
  EXPECT_EQ(NameOf(32, 1), "Top Copper - Bottom Copper");
  EXPECT_EQ(NameOf(1, 32), "Top Copper - Bottom Copper");
  EXPECT_EQ(NameOf(2, 39), "GND - Inner 1");
  EXPECT_EQ(NameOf(0x01010003u, 39), "GND - MidLayer2");
}

TEST_F(PcbBoardPairNames, LayerZeroIsNamedNoLayerAndComesFirst) {
  EXPECT_EQ(NameOf(32, 0), "NoLayer - Bottom Copper");
  EXPECT_EQ(NameOf(0, 0), "NoLayer - NoLayer");
}

TEST_F(PcbBoardPairNames, LongNamesAreCutTo255) {
  board.Layers[1]->Name.assign(std::string(200, 'T'));
  board.Layers[32]->Name.assign(std::string(200, 'B'));
  const std::string name = NameOf(1, 32);
  EXPECT_EQ(name, std::string(200, 'T') + " - " + std::string(52, 'B'));
}

// A four-layer board with a distinct value in every field.
constexpr const char* kFourLayerBoard = R"({
  "format": "quorvex-board/1",
  "fileName": "C:\\Designs\\Probe\\Probe.qvpcb",
  "unit": "metric",
  "currentLayer": 39,
  "cursor": [123456, -65432],
  "stack": [
    {"id": 1, "name": "Top Copper", "copper": 14000,
     "dielectric": {"material": "Core A", "type": "core", "constant": 4.6, "height": 126000}},
    {"id": 39, "name": "GND Plane", "copper": 7000, "net": "GND",
     "dielectric": {"material": "Prepreg 2116", "type": "prepreg", "constant": 4.25, "height": 50000}},
    {"id": 2, "name": "Signal 2", "copper": 14500,
     "dielectric": {"material": "Core 370HR", "type": "core", "constant": 4.04, "height": 250000}},
    {"id": 32, "name": "Bottom Copper", "copper": 21000}
  ],
  "topDielectric": {"material": "Solder Resist", "type": "surface", "constant": 3.5, "height": 4000},
  "bottomDielectric": {"material": "LPI Mask", "type": "surface", "constant": 3.8, "height": 5000},
  "layerPairs": [[32, 1], [2, 39]],
  "objects": []
})";

using PcbBoardEditor = editortest::EditorTest;

TEST_F(PcbBoardEditor, ReadsEveryFieldFromTheEditor) {
  const qvabi::PcbHandle handle = OpenBoard(kFourLayerBoard);
  TPcbBoard board(handle);
  board.LoadBoard(qvabi::ReadMode);

  EXPECT_EQ(board.FileName.str(), "C:\\Designs\\Probe\\Probe.qvpcb");
  EXPECT_EQ(board.Unit(), BoardUnit::Metric);
  EXPECT_EQ(board.CurrentLayer, 39);
  EXPECT_EQ(board.CursorX, 123456);
  EXPECT_EQ(board.CursorY, -65432);
  EXPECT_EQ(Ids(board.StackLayers()), (std::vector<int>{1, 39, 2, 32}));
  EXPECT_EQ(board.Layers[39]->PreviousLayer, 1);
  EXPECT_EQ(board.Layers[32]->PreviousLayer, 2);
  EXPECT_EQ(board.Layers[32]->NextLayer, 0);

  EXPECT_EQ(board.Layers[1]->Name.str(), "Top Copper");
  EXPECT_EQ(board.Layers[39]->Name.str(), "GND Plane");
  EXPECT_EQ(board.Layers[2]->Name.str(), "Signal 2");
  EXPECT_EQ(board.Layers[3]->Name.str(), "MidLayer2");
  EXPECT_EQ(board.Layers[1]->CopperThickness, 14000);
  EXPECT_EQ(board.Layers[39]->CopperThickness, 7000);
  EXPECT_EQ(board.Layers[2]->CopperThickness, 14500);
  EXPECT_EQ(board.Layers[32]->CopperThickness, 21000);
  EXPECT_EQ(static_cast<TInternalPlane&>(*board.Layers[39]).NetName.str(), "GND");
  EXPECT_EQ(static_cast<TInternalPlane&>(*board.Layers[40]).NetName.str(), "(No Net)");
  ExpectDielectric(board.Layers[1]->Dielectric, "Core A", 1, 4.6, 126000);
  ExpectDielectric(board.Layers[39]->Dielectric, "Prepreg 2116", 2, 4.25, 50000);
  ExpectDielectric(board.Layers[2]->Dielectric, "Core 370HR", 1, 4.04, 250000);
  ExpectDielectric(board.TopDielectric, "Solder Resist", 3, 3.5, 4000);
  ExpectDielectric(board.BottomDielectric, "LPI Mask", 3, 3.8, 5000);

  ASSERT_EQ(board.LayerPairs.size(), 2u);
  EXPECT_EQ(board.LayerPairs[0]->FirstLayer, 32u);
  EXPECT_EQ(board.LayerPairs[0]->SecondLayer, 1u);
  EXPECT_EQ(board.LayerPairs[0]->Name.str(), "Top Copper - Bottom Copper");
  EXPECT_EQ(board.LayerPairs[1]->Name.str(), "GND Plane - Signal 2");

  // A second read replaces the pairs instead of appending to them.
  board.LoadBoard(qvabi::ReadMode);
  EXPECT_EQ(board.LayerPairs.size(), 2u);
}

TEST_F(PcbBoardEditor, WritesEveryFieldIntoTheEditorsModel) {
  const qvabi::PcbHandle handle = OpenBoard(kFourLayerBoard);
  TPcbBoard board(handle);
  board.LoadBoard(qvabi::ReadMode);

  board.BoardUnit = static_cast<uint8_t>(BoardUnit::Imperial);
  board.CurrentLayer = 32;
  board.CursorX = 1111;
  board.CursorY = 2222;
  board.BoardInt3 = 31;
  board.BoardInt6 = 61;
  board.BoardInt7 = 71;
  board.BoardInt12 = 121;
  board.Layers[2]->Name.assign("Inner Route");
  board.Layers[2]->CopperThickness = 17000;
  board.Layers[2]->Dielectric.Material.assign("Rogers 4350B");
  board.Layers[2]->Dielectric.DielectricType = 2;
  board.Layers[2]->Dielectric.Constant = 3.66;
  board.Layers[2]->Dielectric.Height = 101600;
  static_cast<TInternalPlane&>(*board.Layers[39]).NetName.assign("VCC");
  board.TopDielectric = TDielectricInfo();
  board.TopDielectric.Material.assign("Coverlay");
  board.TopDielectric.DielectricType = 0;
  board.TopDielectric.Constant = 3.2;
  board.TopDielectric.Height = 12700;
  board.BottomDielectric.Material.assign("Mask B");
  board.BottomDielectric.DielectricType = 2;
  board.BottomDielectric.Constant = 3.9;
  board.BottomDielectric.Height = 8000;
  board.LayerPairs.resize(1);
  board.LayerPairs[0]->FirstLayer = 39;
  board.LayerPairs[0]->SecondLayer = 2;
  board.LoadBoard(qvabi::WriteMode);

  int32_t cursorX = 0;
  int32_t cursorY = 0;
  ASSERT_EQ(sim_->GetCursor(handle, &cursorX, &cursorY), 1);
  EXPECT_EQ(cursorX, 1111);
  EXPECT_EQ(cursorY, 2222);

  // The editor's own model, as it would save it.
  const nlohmann::json saved = nlohmann::json::parse(sim_->BoardText(handle));
  EXPECT_EQ(saved["unit"], "imperial");
  EXPECT_EQ(saved["currentLayer"], 32);
  const nlohmann::json& inner = saved["stack"][2];
  EXPECT_EQ(inner["id"], 2);
  EXPECT_EQ(inner["name"], "Inner Route");
  EXPECT_EQ(inner["copper"], 17000);
  EXPECT_EQ(inner["dielectric"]["material"], "Rogers 4350B");
  EXPECT_TRUE(inner["dielectric"]["type"] == "prepreg" || inner["dielectric"]["type"] == 2);
  EXPECT_DOUBLE_EQ(inner["dielectric"]["constant"].get<double>(), 3.66);
  EXPECT_EQ(inner["dielectric"]["height"], 101600);
  EXPECT_EQ(saved["stack"][1]["net"], "VCC");
  EXPECT_EQ(saved["topDielectric"]["material"], "Coverlay");
  EXPECT_TRUE(saved["topDielectric"]["type"] == "none" || saved["topDielectric"]["type"] == 0);
  EXPECT_DOUBLE_EQ(saved["topDielectric"]["constant"].get<double>(), 3.2);
  EXPECT_EQ(saved["topDielectric"]["height"], 12700);
  EXPECT_EQ(saved["bottomDielectric"]["material"], "Mask B");
  EXPECT_EQ(saved["bottomDielectric"]["height"], 8000);
  EXPECT_EQ(saved["layerPairs"], nlohmann::json::parse("[[39, 2]]"));

  // And read back by a fresh wrapper, the editor-defined fields included.
  TPcbBoard again(handle);
  again.LoadBoard(qvabi::ReadMode);
  EXPECT_EQ(again.BoardInt3, 31);
  EXPECT_EQ(again.BoardInt6, 61);
  EXPECT_EQ(again.BoardInt7, 71);
  EXPECT_EQ(again.BoardInt12, 121);
  EXPECT_EQ(again.CurrentLayer, 32);
  EXPECT_EQ(again.Layers[2]->Name.str(), "Inner Route");
  ExpectDielectric(again.Layers[2]->Dielectric, "Rogers 4350B", 2, 3.66, 101600);
  ExpectDielectric(again.BottomDielectric, "Mask B", 2, 3.9, 8000);
  ASSERT_EQ(again.LayerPairs.size(), 1u);
  EXPECT_EQ(again.LayerPairs[0]->Name.str(), "GND Plane - Inner Route");
}

TEST_F(PcbBoardEditor, AddToBoardAppendsToTheContentsAndIgnoresZero) {
  const qvabi::PcbHandle handle = OpenBoard(kFourLayerBoard);
  const TPcbBoard board(handle);
  board.AddToBoard(0);
  EXPECT_EQ(sim_->BoardObjectCount(handle), 0);
  const qvabi::PcbHandle track = PcbApi::CreateObject(static_cast<uint8_t>(qvabi::ObjectKind::Track));
  board.AddToBoard(track);
  ASSERT_EQ(sim_->BoardObjectCount(handle), 1);
  EXPECT_EQ(sim_->BoardObjectAt(handle, 0), track);
}

// The editor's server interface comes from the host's server module "PCB".
class PcbServerInterface : public editortest::EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    quorvex::Host::Instance().Reset();
  }
  void TearDown() override {
    quorvex::Host::Instance().Reset();
    SetHostClient(nullptr);
    EditorTest::TearDown();
  }
};

TEST_F(PcbServerInterface, NilWithoutClientOrModule) {
  SetHostClient(nullptr);
  EXPECT_FALSE(GetPCBServerInterface());
  SetHostClient(quorvex::Host::Instance().GetClient());
  EXPECT_FALSE(GetPCBServerInterface());
}

TEST_F(PcbServerInterface, FoundInTheEditorsModule) {
  quorvex::Host& host = quorvex::Host::Instance();
  SetHostClient(host.GetClient());
  std::string error;
  ASSERT_NE(host.LoadServerModule(std::string(STRATIVUE_BIN_DIR) + "/" + qvabi::kEditorModuleFile, &error),
            nullptr)
      << error;
  const auto server = GetPCBServerInterface();
  ASSERT_TRUE(server);
  EXPECT_EQ(server->NotifyHandlerCreated(), qvabi::S_OK);
  EXPECT_STREQ(sim_->Notifications(), "NotifyHandlerCreated\n");
}

TEST(PcbBoardNoEditor, ReadKeepsTheDefaults) {
  noeditor::RunWithoutTheEditor([&] {
    PcbApi::Unbind();
    TPcbBoard board(5);
    board.LoadBoard(qvabi::ReadMode);
    // A read without an editor leaves the board as it was made.
    const TPcbBoard fresh(5);
    const auto sameDielectric = [](const TDielectricInfo& a, const TDielectricInfo& b) {
      ExpectDielectric(a, b.Material.str(), b.DielectricType, b.Constant, b.Height);
    };
    sameDielectric(board.TopDielectric, fresh.TopDielectric);
    sameDielectric(board.BottomDielectric, fresh.BottomDielectric);
    // The missing pair count answers 1: no pairs.
    EXPECT_TRUE(board.LayerPairs.empty());
    EXPECT_EQ(board.CurrentLayer, fresh.CurrentLayer);
    EXPECT_EQ(board.SplitPlaneMode, fresh.SplitPlaneMode);
    for (int id = 1; id <= kLastLayer; ++id) {
      SCOPED_TRACE(id);
      EXPECT_EQ(board.Layers[id]->Name.str(), fresh.Layers[id]->Name.str());
      EXPECT_EQ(board.Layers[id]->CopperThickness, fresh.Layers[id]->CopperThickness);
      EXPECT_EQ(board.Layers[id]->PreviousLayer, fresh.Layers[id]->PreviousLayer);
      EXPECT_EQ(board.Layers[id]->NextLayer, fresh.Layers[id]->NextLayer);
      sameDielectric(board.Layers[id]->Dielectric, fresh.Layers[id]->Dielectric);
    }
  });
}

}  // namespace
}  // namespace strativue
