// The legend's layout: sizes from the rectangle, grid snapping, status texts,
// the header and first table line, and the layout's independence of the
// drag direction.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "LegendTestSupport.h"

namespace strativue {
namespace {

using legendtest::BoardJson;
using legendtest::kFourLayers;
using legendtest::kTwoLayers;
using legendtest::LegendTest;

const TLegendOptions kAllOn = TLegendOptions::AllOn();

class LegendLayout : public LegendTest {};

// Four stack rows with the mask rows (six slots), all seven columns: the
// column words add up to 75 characters ("Bottom Solder Mask" 18, "Document"
// 8, "Thickness" 9, "Dielectric" 4 x 10), the title has 39.
// The worked example: each size follows from the rectangle and the sizes
// before it; the end results (text sizes, gap, status texts) are the
// example's own figures.
TEST_F(LegendLayout, WorkedExampleDerivesEverySizeFromTheRectangle) {
  TLegendStackup legend(OpenBoard(BoardJson(kFourLayers)), &kAllOn);
  const int32_t rows = legend.RowSlots();
  const int32_t columns = legend.ColumnCount();
  ASSERT_EQ(rows, 6);
  ASSERT_EQ(columns, 7);
  const int32_t width = 50000000;   // 5000 mil
  const int32_t height = 30000000;  // 3000 mil
  auto wholeMils = [](double v) { return static_cast<int32_t>(std::lround(v / 10000.0) * 10000); };

  legend.PlaceAt(0, -height, width, 0);

  ASSERT_EQ(legend.CharSum(), 75);
  EXPECT_EQ(legend.RectWidth, width);
  EXPECT_EQ(legend.RectHeight, height);
  // Six rows: the head band is 2 / (6 + 2) of the height.
  EXPECT_EQ(legend.HeadBand, height * 2 / (rows + 2));
  EXPECT_EQ(legend.Margin, 600000) << "a hundredth of the width is below the 60 mil floor";
  EXPECT_EQ(legend.Pad, 2000000) << "half the head band, capped at 200 mil";
  EXPECT_EQ(legend.PadLow, legend.Pad / 2);
  EXPECT_EQ(legend.PadHigh, legend.Pad / 2);
  EXPECT_EQ(legend.InnerWidth, width - 2 * legend.Margin);
  EXPECT_EQ(legend.BodyHeight, height - legend.HeadBand - legend.PadLow - legend.PadHigh);
  EXPECT_EQ(legend.RowHeight, legend.BodyHeight / (2 * rows));
  // Seven columns spread the 75 characters to 1.6 x 75 = 120 across; the
  // width per character (403305) is below half a row (854166), so it sets
  // the header text, in whole mils, and the rest follows from it.
  EXPECT_EQ(legend.LineChars(), 120);
  EXPECT_LT(legend.InnerWidth / (legend.LineChars() + 1), legend.RowHeight / 2);
  EXPECT_EQ(legend.HeaderTextSize, wholeMils(legend.InnerWidth / (legend.LineChars() + 1)));
  EXPECT_EQ(legend.HeaderTextSize, 400000);
  EXPECT_EQ(legend.HeaderStrokeWidth, wholeMils(legend.HeaderTextSize * 0.17));
  EXPECT_EQ(legend.BodyTextSize, wholeMils(legend.HeaderTextSize * 1.4));
  EXPECT_EQ(legend.BodyStrokeWidth, wholeMils(legend.BodyTextSize * 0.17));
  EXPECT_EQ(legend.LineWidth, legend.BodyStrokeWidth);
  EXPECT_EQ(legend.BodyTextSize, 560000);
  EXPECT_EQ(legend.BodyStrokeWidth, 100000);
  // What the characters leave of the inner width, shared by the six gaps.
  EXPECT_EQ(legend.ColumnGap, (legend.InnerWidth - legend.CharSum() * legend.BodyTextSize) / (columns - 1));
  EXPECT_EQ(legend.ColumnGap, 1133333);
  EXPECT_EQ(Panel(2), "Table Text Height: 56mil Track/TextLine Width: 10mil");
  EXPECT_EQ(Panel(3), "Rectangle Height: 3000mil Width: 5000mil");
}

TEST_F(LegendLayout, WorkedExampleHeaderTitleAndFirstLine) {
  TLegendStackup legend(OpenBoard(BoardJson(kFourLayers)), &kAllOn);
  legend.PlaceAt(0, -30000000, 50000000, 0);

  const nlohmann::json lower = Describe(legend.HeaderBottomLine->Handle);
  EXPECT_EQ(lower["y"], -7450000);
  EXPECT_EQ(lower["y2"], -7450000);
  EXPECT_EQ(lower["x"], 600000);
  EXPECT_EQ(lower["x2"], 49400000);
  EXPECT_EQ(YOf(*legend.ColumnHeaderRow->NameText), -7160000);
  EXPECT_EQ(YOf(*legend.GroupHeaderRow->NameText), -6360000);
  EXPECT_EQ(Describe(legend.HeaderTopLine->Handle)["y"], -5710000);

  // space 5610000 above the upper line: size min(2244000, 48800000 div 40).
  const nlohmann::json title = Describe(legend.Title->Handle);
  EXPECT_EQ(title["size"], 1220000);
  EXPECT_EQ(title["width"], 200000);
  EXPECT_EQ(title["y"], -3781000);
  EXPECT_EQ(title["x"], 600000);
  EXPECT_EQ(title["text"], "Layer Stack Up Detail for: Board1.qvpcb");

  // About 53.6 body heights: no half-line shift.
  EXPECT_EQ(XOf(*legend.TopMaskRow->NameText), 600000);
  EXPECT_EQ(YOf(*legend.TopMaskRow->NameText), -9208333);
  // Everything lies on the board's current layer (TopOverlay).
  EXPECT_EQ(title["layer"], 33);
  EXPECT_EQ(Describe(legend.CornerUpperLeft->Handle)["layer"], 33);
}

bool OnMetricGrid(int32_t value) {
  const double grid = 2500000.0 / 127.0;
  return value == static_cast<int32_t>(RoundHalfEven(RoundHalfEven(value / grid) * grid));
}

TEST_F(LegendLayout, MetricBoardSnapsToTwentiethsOfAMillimetre) {
  TLegendStackup legend(OpenBoard(BoardJson(kFourLayers, "metric")), &kAllOn);
  legend.PlaceAt(0, -30000000, 50000000, 0);

  // 403305 is 20.49 steps of 0.05 mm: 20 steps.
  EXPECT_EQ(legend.HeaderTextSize, 393701);
  EXPECT_EQ(legend.HeaderStrokeWidth, 59055);
  EXPECT_EQ(legend.BodyTextSize, 551181);
  EXPECT_EQ(legend.BodyStrokeWidth, 98425);
  EXPECT_EQ(legend.LineWidth, 98425);
  for (const int32_t value :
       {legend.HeaderTextSize, legend.HeaderStrokeWidth, legend.BodyTextSize, legend.BodyStrokeWidth,
        legend.LineWidth, legend.TitleTextSize, legend.TitleStrokeWidth})
    EXPECT_TRUE(OnMetricGrid(value)) << value;
  EXPECT_EQ(Panel(2), "Table Text Height: 1.4mm Track/TextLine Width: 0.25mm");
  EXPECT_EQ(Panel(3), "Rectangle Height: 76.2mm Width: 127mm");
}

TEST_F(LegendLayout, SnapToGridRoundsToTheBoardsGrid) {
  TLegendStackup imperial(OpenBoard(BoardJson(kTwoLayers)), &kAllOn);
  EXPECT_EQ(imperial.SnapToGrid(14999), 10000);
  EXPECT_EQ(imperial.SnapToGrid(15000), 20000);  // 1.5 mil: halves to even
  EXPECT_EQ(imperial.SnapToGrid(25000), 20000);
  EXPECT_EQ(imperial.SnapToGrid(-16000), -20000);
  TLegendStackup metric(OpenBoard(BoardJson(kTwoLayers, "metric")), &kAllOn);
  EXPECT_EQ(metric.SnapToGrid(14000), 19685);
  EXPECT_EQ(metric.SnapToGrid(50000), 59055);
}

TEST_F(LegendLayout, ConstructionLaysOutAnEmptyRectangle) {
  const TLegendOptions none = TLegendOptions::AllOff();
  TLegendStackup imperial(OpenBoard(BoardJson(kTwoLayers)), &none);
  EXPECT_EQ(imperial.Margin, 600000);
  EXPECT_EQ(imperial.HeadBand, 0);
  EXPECT_EQ(imperial.RowHeight, 0);
  EXPECT_EQ(imperial.HeaderTextSize, 10000);
  EXPECT_EQ(imperial.HeaderStrokeWidth, 10000);
  EXPECT_EQ(imperial.BodyTextSize, 10000);
  // Only the name column: the gap is the body size.
  imperial.PlaceAt(0, 0, 0, 0);
  EXPECT_EQ(imperial.ColumnGap, imperial.BodyTextSize);
  EXPECT_EQ(imperial.MidLayerCounter, 1);
  EXPECT_EQ(imperial.PlaneCounter, 1);

  TLegendStackup metric(OpenBoard(BoardJson(kTwoLayers, "metric")), &none);
  EXPECT_EQ(metric.BodyTextSize, 19685);
  EXPECT_EQ(metric.HeaderTextSize, 10000);
}

TEST_F(LegendLayout, HeadBandShareFollowsTheNumberOfLines) {
  const TLegendOptions none = TLegendOptions::AllOff();
  TLegendStackup two(OpenBoard(BoardJson(kTwoLayers)), &none);
  two.PlaceAt(0, 0, 10000000, 10000000);
  EXPECT_EQ(two.HeadBand, 4000000);  // two slots: 0.4

  std::vector<legendtest::StackLayer> twelve = {{1, "Top"}};
  for (int id = 2; id <= 11; ++id) twelve.push_back({id, "Mid"});
  twelve.push_back({32, "Bottom"});
  TLegendStackup many(OpenBoard(BoardJson(twelve)), &none);
  many.PlaceAt(0, 0, 10000000, 10000000);
  EXPECT_EQ(many.HeadBand, 1500000);  // twelve slots: 0.15
}

// Corner to corner in any direction gives the very same legend.
TEST_F(LegendLayout, DragDirectionDoesNotMatter) {
  const qvabi::PcbHandle board = OpenBoard(BoardJson(kFourLayers));
  TLegendStackup legend(board, &kAllOn);
  std::vector<qvabi::PcbHandle> handles = {legend.FrameTop->Handle, legend.FrameRight->Handle,
                                           legend.CornerLowerLeft->Handle, legend.Title->Handle,
                                           legend.HeaderTopLine->Handle};
  for (const auto& row : legend.Rows)
    for (int column = 0; column < kLegendColumnCount; ++column)
      if (row->Cell(column)) handles.push_back(row->Cell(column)->Handle);
  auto snapshot = [&]() {
    std::vector<nlohmann::json> objects;
    for (const qvabi::PcbHandle handle : handles) objects.push_back(Describe(handle));
    objects.push_back({legend.X1, legend.Y1, legend.X2, legend.Y2, legend.BodyTextSize, legend.ColumnGap});
    return objects;
  };
  // Widths are measured at the size of the previous layout: settle first.
  legend.PlaceAt(-1000000, -2000000, 40000000, 25000000);
  legend.PlaceAt(-1000000, -2000000, 40000000, 25000000);
  const auto lowerLeftFirst = snapshot();
  legend.PlaceAt(40000000, 25000000, -1000000, -2000000);
  EXPECT_EQ(snapshot(), lowerLeftFirst);
  legend.PlaceAt(-1000000, 25000000, 40000000, -2000000);
  EXPECT_EQ(snapshot(), lowerLeftFirst);
  EXPECT_EQ(legend.X1, -1000000);
  EXPECT_EQ(legend.Y2, 25000000);
}

// Two-layer board, name column only, no mask rows, 39-character title: the
// text size is held at 500000 by the width, the body at 700000, so heights
// of 17430000 and 17500000 are 24.9 and 25.0 body heights.
TEST_F(LegendLayout, BelowTwentyFiveBodyHeightsTheTableStartsHalfALineLower) {
  const TLegendOptions none = TLegendOptions::AllOff();
  TLegendStackup legend(OpenBoard(BoardJson(kTwoLayers)), &none);

  legend.PlaceAt(0, -17430000, 21200000, 0);
  ASSERT_EQ(legend.BodyTextSize, 700000);
  ASSERT_EQ(legend.HeadBand, 6972000);
  ASSERT_EQ(legend.RowHeight, 2114500);
  EXPECT_EQ(YOf(*legend.Rows[0]->NameText), -10143750);  // head band + 1.5 lines

  legend.PlaceAt(0, -17500000, 21200000, 0);
  ASSERT_EQ(legend.BodyTextSize, 700000);
  ASSERT_EQ(legend.HeadBand, 7000000);
  ASSERT_EQ(legend.RowHeight, 2125000);
  EXPECT_EQ(YOf(*legend.Rows[0]->NameText), -9125000);  // head band + 1 line
}

TEST_F(LegendLayout, PlacementCreatesAndDestroysNoEditorObject) {
  TLegendStackup legend(OpenBoard(BoardJson(kFourLayers)), &kAllOn);
  const int32_t live = Live();
  for (int step = 0; step <= 10; ++step) legend.PlaceAt(0, 0, step * 3000000, -step * 2000000);
  legend.ApplyOptions(TLegendOptions::AllOff());
  legend.PlaceAt(0, 0, 5000000, 5000000);
  EXPECT_EQ(Live(), live);
}

// Corners at the ends of the coordinate range: sizes saturate instead of
// overflowing.
TEST_F(LegendLayout, ExtremeRectangleStaysInRange) {
  TLegendStackup legend(OpenBoard(BoardJson(kTwoLayers)), &kAllOn);
  legend.PlaceAt(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  EXPECT_EQ(legend.RectWidth, INT32_MAX);
  EXPECT_EQ(legend.RectHeight, INT32_MAX);
  EXPECT_GT(legend.BodyTextSize, 0);
  EXPECT_GT(legend.RowHeight, 0);
}

}  // namespace
}  // namespace strativue
