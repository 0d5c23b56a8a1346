// The board and layer records exchanged field by field: every field gets a
// distinct value, so two fields passed in swapped order cannot go unnoticed.
#include <gtest/gtest.h>

#include "EditorTestSupport.h"

namespace brelix::testing {
namespace {

constexpr uint8_t R = qvabi::ReadMode;
constexpr uint8_t W = qvabi::WriteMode;

qvabi::ShortString Short(const std::string& text) {
  qvabi::ShortString s{};
  s.assign(text);
  return s;
}

class BoardRecordsTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    handle = OpenSmallBoard();
    board = editor().FindBoard(handle);
  }
  qvabi::PcbHandle handle = 0;
  Board* board = nullptr;
};

TEST_F(BoardRecordsTest, BoardRecordReadsEveryFieldInOrder) {
  board->int3 = 3;
  board->byte5 = 5;
  board->int6 = 6;
  board->int7 = 7;
  board->cursor = {8, 9};
  board->unit = kMetric;
  board->int12 = 12;
  int32_t int3 = 0, int6 = 0, int7 = 0, x = 0, y = 0, int12 = 0;
  uint8_t byte5 = 0, unit = 9;
  uint32_t layer = 0;
  qvabi::ShortString name{};
  EXPECT_EQ(PcbApi_QueryBoard(R, handle, &int3, &name, &byte5, &int6, &int7, &x, &y, &unit, &layer, &int12),
            0);
  EXPECT_EQ(int3, 3);
  EXPECT_EQ(name.str(), "C:\\Designs\\T\\T.qvpcb");
  EXPECT_EQ(byte5, 5);
  EXPECT_EQ(int6, 6);
  EXPECT_EQ(int7, 7);
  EXPECT_EQ(x, 8);
  EXPECT_EQ(y, 9);
  EXPECT_EQ(unit, kMetric);
  EXPECT_EQ(layer, 33u);
  EXPECT_EQ(int12, 12);
}

TEST_F(BoardRecordsTest, BoardRecordWritesEveryFieldInOrder) {
  int32_t int3 = 30, int6 = 60, int7 = 70, x = 80, y = 90, int12 = 120;
  uint8_t byte5 = 50, unit = kMetric;
  uint32_t layer = 57;
  qvabi::ShortString name = Short("D:\\Other.qvpcb");
  EXPECT_EQ(PcbApi_QueryBoard(W, handle, &int3, &name, &byte5, &int6, &int7, &x, &y, &unit, &layer, &int12),
            0);
  EXPECT_EQ(board->int3, 30);
  EXPECT_EQ(board->fileName, "D:\\Other.qvpcb");
  EXPECT_EQ(board->byte5, 50);
  EXPECT_EQ(board->int6, 60);
  EXPECT_EQ(board->int7, 70);
  EXPECT_EQ(board->cursor, (Point{80, 90}));
  EXPECT_EQ(board->unit, kMetric);
  EXPECT_EQ(board->currentLayer, 57);
  EXPECT_EQ(board->int12, 120);
}

TEST_F(BoardRecordsTest, CurrentLayerTakesPartitionIdsAndRefusesNonsense) {
  uint32_t layer = 0x01040002;  // second internal plane
  PcbApi_QueryBoard(W, handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &layer,
                    nullptr);
  EXPECT_EQ(board->currentLayer, 40);
  for (uint32_t bad : {0u, 83u, 0x01010000u, 0x7F000001u}) {
    layer = bad;
    PcbApi_QueryBoard(W, handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                      &layer, nullptr);
    EXPECT_EQ(board->currentLayer, 40) << bad;
  }
  uint8_t unit = 7;
  PcbApi_QueryBoard(W, handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &unit, nullptr,
                    nullptr);
  EXPECT_EQ(board->unit, kImperial);
}

TEST_F(BoardRecordsTest, LayerRecordBothWays) {
  qvabi::ShortString name{};
  int32_t copper = 0;
  uint8_t b1 = 0, b2 = 0, previous = 0, next = 0, b3 = 0;
  board->layers[39].editorByte1 = 11;
  board->layers[39].editorByte2 = 22;
  board->layers[39].editorByte3 = 33;
  EXPECT_EQ(PcbApi_QueryLayer(R, 39, handle, &name, &copper, &b1, &b2, &previous, &next, &b3), 0);
  EXPECT_EQ(name.str(), "GND");
  EXPECT_EQ(copper, 7000);
  EXPECT_EQ(b1, 11);
  EXPECT_EQ(b2, 22);
  EXPECT_EQ(previous, 1);
  EXPECT_EQ(next, 32);
  EXPECT_EQ(b3, 33);

  name = Short("Signal A");
  copper = 21000;
  b1 = 1, b2 = 2, previous = 3, next = 4, b3 = 5;
  EXPECT_EQ(PcbApi_QueryLayer(W, 2, handle, &name, &copper, &b1, &b2, &previous, &next, &b3), 0);
  const LayerRecord& mid = board->layers[2];
  EXPECT_EQ(mid.name, "Signal A");
  EXPECT_EQ(mid.copper.value, 21000);
  EXPECT_EQ(mid.editorByte1, 1);
  EXPECT_EQ(mid.editorByte2, 2);
  EXPECT_EQ(mid.previous, 3);
  EXPECT_EQ(mid.next, 4);
  EXPECT_EQ(mid.editorByte3, 5);

  EXPECT_EQ(PcbApi_QueryLayer(R, 0, handle, &name, &copper, &b1, &b2, &previous, &next, &b3), 1);
  EXPECT_EQ(PcbApi_QueryLayer(R, 83, handle, &name, &copper, &b1, &b2, &previous, &next, &b3), 1);
}

TEST_F(BoardRecordsTest, InternalPlaneRecordBothWays) {
  qvabi::ShortString name{}, net{};
  int32_t copper = 0;
  uint8_t b1 = 0, b2 = 0, previous = 0, next = 0;
  EXPECT_EQ(PcbApi_QueryInternalPlane(R, 39, handle, &name, &copper, &b1, &b2, &previous, &next, &net), 0);
  EXPECT_EQ(name.str(), "GND");
  EXPECT_EQ(net.str(), "GND");
  EXPECT_EQ(previous, 1);
  EXPECT_EQ(next, 32);
  EXPECT_EQ(PcbApi_QueryInternalPlane(R, 40, handle, &name, &copper, &b1, &b2, &previous, &next, &net), 0);
  EXPECT_EQ(name.str(), "InternalPlane2");
  EXPECT_EQ(net.str(), "(No Net)");
  EXPECT_EQ(previous + next, 0);

  name = Short("Power");
  net = Short("VCC");
  copper = 1234;
  b1 = 6, b2 = 7, previous = 8, next = 9;
  EXPECT_EQ(PcbApi_QueryInternalPlane(W, 40, handle, &name, &copper, &b1, &b2, &previous, &next, &net), 0);
  const LayerRecord& plane = board->layers[40];
  EXPECT_EQ(plane.name, "Power");
  EXPECT_EQ(plane.copper.value, 1234);
  EXPECT_EQ(plane.editorByte1, 6);
  EXPECT_EQ(plane.editorByte2, 7);
  EXPECT_EQ(plane.previous, 8);
  EXPECT_EQ(plane.next, 9);
  EXPECT_EQ(plane.net, "VCC");
  // Only planes answer the plane query.
  EXPECT_EQ(PcbApi_QueryInternalPlane(R, 1, handle, &name, &copper, &b1, &b2, &previous, &next, &net), 1);
}

TEST_F(BoardRecordsTest, DielectricsBothWays) {
  qvabi::ShortString material{};
  uint8_t type = 0;
  double constant = 0;
  int32_t height = 0;
  EXPECT_EQ(PcbApi_QueryLayerDielectric(R, 39, handle, &material, &type, &constant, &height), 0);
  EXPECT_EQ(material.str(), "Prepreg");
  EXPECT_EQ(type, 2);
  EXPECT_DOUBLE_EQ(constant, 4.2);
  EXPECT_EQ(height, 50000);
  EXPECT_EQ(PcbApi_QueryLayerDielectric(R, 32, handle, &material, &type, &constant, &height), 0);
  EXPECT_EQ(material.str(), "");
  EXPECT_EQ(type, 0);

  material = Short("Rogers-like");
  type = 3;
  constant = 3.66;
  height = 77;
  EXPECT_EQ(PcbApi_QueryLayerDielectric(W, 1, handle, &material, &type, &constant, &height), 0);
  EXPECT_EQ(board->layers[1].dielectric.material, "Rogers-like");
  EXPECT_EQ(board->layers[1].dielectric.type.value, 3);
  EXPECT_DOUBLE_EQ(board->layers[1].dielectric.constant.value, 3.66);
  EXPECT_EQ(board->layers[1].dielectric.height.value, 77);

  qvabi::ShortString topM{}, bottomM{};
  uint8_t topT = 0, bottomT = 0;
  double topC = 0, bottomC = 0;
  int32_t topH = 0, bottomH = 0;
  EXPECT_EQ(PcbApi_QueryBoardExternalDielectrics(R, handle, &topM, &topT, &topC, &topH, &bottomM, &bottomT,
                                                 &bottomC, &bottomH),
            0);
  EXPECT_EQ(topM.str(), "Solder Resist");
  EXPECT_EQ(topT, 3);
  EXPECT_DOUBLE_EQ(topC, 3.5);
  EXPECT_EQ(topH, 4000);
  EXPECT_EQ(bottomM.str(), "Coverlay");
  EXPECT_DOUBLE_EQ(bottomC, 3.1);
  EXPECT_EQ(bottomH, 5000);

  topM = Short("Top Mask");
  bottomM = Short("Bottom Mask");
  topT = 1, bottomT = 2, topC = 1.5, bottomC = 2.5, topH = 11, bottomH = 22;
  PcbApi_QueryBoardExternalDielectrics(W, handle, &topM, &topT, &topC, &topH, &bottomM, &bottomT, &bottomC,
                                       &bottomH);
  EXPECT_EQ(board->topDielectric.material, "Top Mask");
  EXPECT_EQ(board->topDielectric.type.value, 1);
  EXPECT_DOUBLE_EQ(board->topDielectric.constant.value, 1.5);
  EXPECT_EQ(board->topDielectric.height.value, 11);
  EXPECT_EQ(board->bottomDielectric.material, "Bottom Mask");
  EXPECT_EQ(board->bottomDielectric.type.value, 2);
  EXPECT_DOUBLE_EQ(board->bottomDielectric.constant.value, 2.5);
  EXPECT_EQ(board->bottomDielectric.height.value, 22);
}

TEST_F(BoardRecordsTest, LayerInfoAndSplitPlaneMode) {
  int32_t info = 99;
  uint8_t byte1 = 4, byte2 = 5;
  EXPECT_EQ(PcbApi_QueryBoardLayerInfo(W, handle, 7, &info, &byte1, &byte2), 0);
  EXPECT_EQ(board->layers[7].info, 99);
  EXPECT_EQ(board->layers[7].infoByte1, 4);
  EXPECT_EQ(board->layers[7].infoByte2, 5);
  info = 0;
  EXPECT_EQ(PcbApi_QueryBoardLayerInfo(R, handle, 7, &info, &byte1, &byte2), 0);
  EXPECT_EQ(info, 99);
  EXPECT_EQ(PcbApi_QueryBoardLayerInfo(R, handle, 83, &info, &byte1, &byte2), 1);
  uint8_t split = 0;
  EXPECT_EQ(PcbApi_QueryBoardSplitPlaneMode(R, handle, &split), 0);
  EXPECT_EQ(split, 1);
  split = 3;
  PcbApi_QueryBoardSplitPlaneMode(W, handle, &split);
  EXPECT_EQ(board->splitPlaneMode, 3);
}

TEST_F(BoardRecordsTest, LayerPairsBothWays) {
  int32_t count = 0;
  EXPECT_EQ(PcbApi_QueryBoardLayerPairsCount(handle, &count, R), 0);
  EXPECT_EQ(count, 2);
  uint8_t b1 = 0, b2 = 0;
  uint32_t first = 0, second = 0;
  EXPECT_EQ(PcbApi_QueryBoardLayerPairAt(R, handle, 1, &b1, &b2, &first, &second), 0);
  EXPECT_EQ(first, 1u);
  EXPECT_EQ(second, 39u);
  EXPECT_EQ(PcbApi_QueryBoardLayerPairAt(R, handle, 2, &b1, &b2, &first, &second), 1);
  EXPECT_EQ(PcbApi_QueryBoardLayerPairAt(R, handle, -1, &b1, &b2, &first, &second), 1);

  count = 3;
  EXPECT_EQ(PcbApi_QueryBoardLayerPairsCount(handle, &count, W), 0);
  b1 = 7, b2 = 8, first = 32, second = 2;
  EXPECT_EQ(PcbApi_QueryBoardLayerPairAt(W, handle, 2, &b1, &b2, &first, &second), 0);
  ASSERT_EQ(board->pairs.size(), 3u);
  EXPECT_EQ(board->pairs[2].byte1, 7);
  EXPECT_EQ(board->pairs[2].byte2, 8);
  EXPECT_EQ(board->pairs[2].first, 32u);
  EXPECT_EQ(board->pairs[2].second, 2u);
  count = -1;
  EXPECT_EQ(PcbApi_QueryBoardLayerPairsCount(handle, &count, W), 1);
  EXPECT_EQ(board->pairs.size(), 3u);
  EXPECT_EQ(PcbApi_QueryBoardLayerPairsCount(999, &count, R), 1);
}

TEST_F(BoardRecordsTest, OptionGroupsStoreWhatIsWritten) {
  std::array<int32_t, qvabi::kGerberOptionCount> gerber{};
  EXPECT_EQ(PcbApi_QueryBoardGerberOptions(R, handle, gerber.data()), 0);
  EXPECT_EQ(gerber, board->options.gerber);
  for (int i = 0; i < qvabi::kGerberOptionCount; ++i) gerber[i] = 1000 + i;
  PcbApi_QueryBoardGerberOptions(W, handle, gerber.data());
  EXPECT_EQ(board->options.gerber, gerber);

  std::array<int32_t, qvabi::kEcoOptionCount> eco = {5, 6};
  PcbApi_QueryBoardEngineeringChangeOrderOptions(W, handle, eco.data());
  EXPECT_EQ(board->options.eco, eco);
  std::array<int32_t, qvabi::kGridOptionCount> grids{};
  std::array<int32_t, qvabi::kOutputOptionCount> output{};
  std::array<int32_t, qvabi::kPrinterOptionCount> printer{};
  std::array<int32_t, qvabi::kPlacerOptionCount> placer{};
  EXPECT_EQ(PcbApi_QueryBoardGridsEx(R, handle, grids.data()), 0);
  EXPECT_EQ(PcbApi_QueryBoardOutputOptions(R, handle, output.data()), 0);
  EXPECT_EQ(PcbApi_QueryBoardPrinterOptions(R, handle, printer.data()), 0);
  EXPECT_EQ(PcbApi_QueryBoardAdvancedPlacerOptions(R, handle, placer.data()), 0);
  EXPECT_EQ(grids, board->options.grids);

  uint8_t plot = 0;
  EXPECT_EQ(PcbApi_QueryBoardOutputOptionsPlotLayers(W, handle, 109, &plot), 0);
  EXPECT_EQ(board->options.plotLayers[108], 0);
  uint8_t flip = 1;
  EXPECT_EQ(PcbApi_QueryBoardOutputOptionsFlipLayers(W, handle, 1, &flip), 0);
  EXPECT_EQ(board->options.flipLayers[0], 1);
  EXPECT_EQ(PcbApi_QueryBoardOutputOptionsPlotLayers(R, handle, 110, &plot), 1);
  EXPECT_EQ(PcbApi_QueryBoardOutputOptionsFlipLayers(R, handle, 0, &flip), 1);

  int32_t pen1 = 41, pen2 = 42;
  EXPECT_EQ(PcbApi_QueryBoardPrinterOptionsPlotterPen(W, handle, 8, &pen1, &pen2), 0);
  EXPECT_EQ(board->options.plotterPens[7], (std::array<int32_t, 2>{41, 42}));
  EXPECT_EQ(PcbApi_QueryBoardPrinterOptionsPlotterPen(R, handle, 9, &pen1, &pen2), 1);
  std::array<int32_t, 4> composite = {1, 2, 3, 4};
  EXPECT_EQ(PcbApi_QueryBoardPrinterOptionsCompositeLayer(W, handle, 82, composite.data()), 0);
  EXPECT_EQ(board->options.compositeLayers[81], composite);
  EXPECT_EQ(PcbApi_QueryBoardPrinterOptionsCompositeLayer(R, handle, 0, composite.data()), 1);
  EXPECT_EQ(PcbApi_QueryBoardGridsEx(R, handle, nullptr), 1);
}

TEST_F(BoardRecordsTest, UnknownBoardsAndModesChangeNothing) {
  int32_t value = 77;
  qvabi::ShortString name = Short("keep");
  EXPECT_EQ(PcbApi_QueryBoard(R, 4242, &value, &name, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr),
            1);
  EXPECT_EQ(value, 77);
  EXPECT_EQ(name.str(), "keep");
  EXPECT_EQ(PcbApi_QueryBoard(2, handle, &value, &name, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr),
            1);
  EXPECT_EQ(value, 77);
  EXPECT_EQ(board->int3, 0);
  EXPECT_EQ(PcbApi_QueryLayer(R, 1, 4242, &name, &value, nullptr, nullptr, nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(PcbApi_QueryBoardGridsEx(W, 4242, &value), 1);
}

TEST_F(BoardRecordsTest, CurrentBoardFollowsOpeningClosingAndChoosing) {
  EXPECT_EQ(PcbApi_GetCurrentBoardHandle(), handle);
  const qvabi::PcbHandle second = OpenSmallBoard();
  EXPECT_EQ(PcbApi_GetCurrentBoardHandle(), second);
  EXPECT_EQ(BrelixSim_SetCurrentBoard(handle), 1);
  EXPECT_EQ(PcbApi_GetCurrentBoardHandle(), handle);
  EXPECT_EQ(BrelixSim_SetCurrentBoard(31337), 0);
  EXPECT_EQ(PcbApi_GetCurrentBoardHandle(), handle);
  EXPECT_EQ(BrelixSim_SetCurrentBoard(0), 1);
  EXPECT_EQ(PcbApi_GetCurrentBoardHandle(), 0);
  BrelixSim_SetCurrentBoard(second);
  EXPECT_EQ(BrelixSim_CloseBoard(second), 1);
  EXPECT_EQ(PcbApi_GetCurrentBoardHandle(), 0);
  EXPECT_EQ(BrelixSim_CloseBoard(second), 0);
  BrelixSim_Reset();
  EXPECT_EQ(PcbApi_GetCurrentBoardHandle(), 0);
  EXPECT_EQ(BrelixSim_BoardObjectCount(handle), -1);
}

}  // namespace
}  // namespace brelix::testing
