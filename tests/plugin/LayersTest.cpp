// Layer names and classes, lengths written as text, unit conversions.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "plugin/RTL/Layers.h"

namespace strativue {
namespace {

TEST(FormatLength, WritesMilAndMmWithoutTrailingZeros) {
  EXPECT_EQ(FormatLength(126000, BoardUnit::Imperial), "12.6mil");
  EXPECT_EQ(FormatLength(126000, BoardUnit::Metric), "0.32mm");
  EXPECT_EQ(FormatLength(560000, BoardUnit::Imperial), "56mil");
  EXPECT_EQ(FormatLength(0, BoardUnit::Imperial), "0mil");
  EXPECT_EQ(FormatLength(0, BoardUnit::Metric), "0mm");
  EXPECT_EQ(FormatLength(-5000, BoardUnit::Imperial), "-0.5mil");
  // Zeros before the decimal point stay.
  EXPECT_EQ(FormatLength(100000000, BoardUnit::Imperial), "10000mil");
  EXPECT_EQ(FormatLength(1000000, BoardUnit::Imperial), "100mil");
}

TEST(FormatLength, RoundsTheLastDecimalOfTheExactValue) {
  // 12345 units = 1.2345 mil, whose binary value lies below the half: 1.234.
  EXPECT_EQ(FormatLength(12345, BoardUnit::Imperial), "1.234mil");
  EXPECT_EQ(FormatLength(12346, BoardUnit::Imperial), "1.235mil");
  // 1 unit on a metric board is 0.00000254 mm: below the last decimal.
  EXPECT_EQ(FormatLength(1, BoardUnit::Metric), "0mm");
}

TEST(FormatLength, NegativeValueRoundingToZeroHasNoSign) {
  EXPECT_EQ(FormatLength(-1, BoardUnit::Imperial), "0mil");
  EXPECT_EQ(FormatCoordinate(-1, BoardUnit::Metric), "0mm");
}

TEST(FormatLength, HugeValuesAreCutTo255Characters) {
  const std::string text = FormatLength(std::numeric_limits<double>::max(), BoardUnit::Imperial);
  EXPECT_EQ(text.size(), 255u);
  EXPECT_EQ(text.substr(0, 3), "179");
}

TEST(FormatCoordinate, RoundsToThreeOrFiveDecimalsFirst) {
  EXPECT_EQ(FormatCoordinate(14000, BoardUnit::Imperial), "1.4mil");
  EXPECT_EQ(FormatCoordinate(14000, BoardUnit::Metric), "0.0356mm");
  EXPECT_EQ(FormatCoordinate(0, BoardUnit::Metric), "0mm");
  EXPECT_EQ(FormatCoordinate(-5000, BoardUnit::Imperial), "-0.5mil");
  EXPECT_EQ(FormatCoordinate(100000000, BoardUnit::Imperial), "10000mil");
  // The fraction 0.2355 is rounded to 3 decimals before writing: 1.236.
  EXPECT_EQ(FormatCoordinate(12355, BoardUnit::Imperial), "1.236mil");
  EXPECT_EQ(FormatCoordinate(std::numeric_limits<int32_t>::min(), BoardUnit::Imperial), "-214748.365mil");
}

TEST(StripTrailingZeros, DropsZerosAfterThePointOnly) {
  EXPECT_EQ(StripTrailingZeros("12.500"), "12.5");
  EXPECT_EQ(StripTrailingZeros("10.000"), "10");
  EXPECT_EQ(StripTrailingZeros("0.000"), "0");
  EXPECT_EQ(StripTrailingZeros("100"), "100");
  EXPECT_EQ(StripTrailingZeros(""), "");
  EXPECT_EQ(StripTrailingZeros("."), "");
}

TEST(RoundHalfEven, GoesToTheEvenNeighbourOnTies) {
  EXPECT_EQ(RoundHalfEven(0.5), 0.0);
  EXPECT_EQ(RoundHalfEven(1.5), 2.0);
  EXPECT_EQ(RoundHalfEven(2.5), 2.0);
  EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
  EXPECT_EQ(RoundHalfEven(-3.5), -4.0);
  EXPECT_EQ(RoundHalfEven(2.4999), 2.0);
  EXPECT_EQ(RoundHalfEven(-2.6), -3.0);
}

TEST(UnitConversions, MilsMmAndBoardUnits) {
  EXPECT_EQ(MilsToCoord(12.6), 126000);
  EXPECT_EQ(MilsToCoord(-1.25), -12500);
  EXPECT_EQ(MilsToCoord(0.00004), 0);
  EXPECT_EQ(MilsToCoord(1e9), std::numeric_limits<int32_t>::max());
  EXPECT_DOUBLE_EQ(CoordToMils(126000), 12.6);
  EXPECT_DOUBLE_EQ(CoordToMm(10000), 0.0254);
  EXPECT_EQ(Min(3, -4), -4);
  EXPECT_EQ(Max(3, -4), 3);
  EXPECT_EQ(Min(1.5, 2.5), 1.5);
  EXPECT_EQ(Max(1.5, 2.5), 2.5);
}

TEST(LayerTable, DefaultNamesOfEveryRange) {
  EXPECT_EQ(DefaultLayerName(0), "NoLayer");
  EXPECT_EQ(DefaultLayerName(1), "TopLayer");
  EXPECT_EQ(DefaultLayerName(2), "MidLayer1");
  EXPECT_EQ(DefaultLayerName(31), "MidLayer30");
  EXPECT_EQ(DefaultLayerName(32), "BottomLayer");
  EXPECT_EQ(DefaultLayerName(33), "TopOverlay");
  EXPECT_EQ(DefaultLayerName(38), "BottomSolder");
  EXPECT_EQ(DefaultLayerName(39), "InternalPlane1");
  EXPECT_EQ(DefaultLayerName(54), "InternalPlane16");
  EXPECT_EQ(DefaultLayerName(55), "DrillGuide");
  EXPECT_EQ(DefaultLayerName(56), "KeepOutLayer");
  EXPECT_EQ(DefaultLayerName(57), "Mechanical1");
  EXPECT_EQ(DefaultLayerName(72), "Mechanical16");
  EXPECT_EQ(DefaultLayerName(73), "DrillDrawing");
  EXPECT_EQ(DefaultLayerName(79), "GridColor1");
  EXPECT_EQ(DefaultLayerName(80), "GridColor10");
  EXPECT_EQ(DefaultLayerName(82), "ViaHoleLayer");
  EXPECT_EQ(DefaultLayerName(83), "");
  for (int id = 0; id <= kLastLayer; ++id) EXPECT_LE(DefaultLayerName(static_cast<TLayerId>(id)).size(), 20u);
}

TEST(LayerTable, ClassesOfEveryRange) {
  const std::pair<int, int> expected[] = {{0, 0},   {1, 1},   {2, 2},   {31, 2},  {32, 3},  {33, 6},
                                          {38, 11}, {39, 4},  {54, 4},  {55, 12}, {56, 13}, {57, 5},
                                          {72, 5},  {73, 14}, {82, 23}, {83, 0},  {255, 0}};
  for (const auto& [id, layerClass] : expected)
    EXPECT_EQ(LayerClassOfId(static_cast<TLayerId>(id)), layerClass) << "id " << id;
}

TEST(LayerTable, CopperSetHoldsSignalLayersAndPlanes) {
  int count = 0;
  for (int id = 0; id < 256; ++id) {
    const bool copper = (id >= 1 && id <= 32) || (id >= 39 && id <= 54);
    EXPECT_EQ(CopperLayerSet.Contains(static_cast<TLayerId>(id)), copper) << "id " << id;
    count += copper;
  }
  EXPECT_EQ(count, 48);
}

}  // namespace
}  // namespace strativue
