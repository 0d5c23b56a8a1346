// The drawn table, read back from the board after a commit: which texts
// stand on which line, that columns line up, and the frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "LegendTestSupport.h"

namespace strativue {
namespace {

using legendtest::BoardJson;
using legendtest::kTwoLayers;
using legendtest::LegendTest;

class LegendDrawing : public LegendTest {
 protected:
  struct Cell {
    int32_t x;
    std::string text;
  };
  // The texts of the board's contents by line (y, top first), each line
  // left to right.
  std::map<int32_t, std::vector<Cell>, std::greater<>> Lines(qvabi::PcbHandle board) const {
    std::map<int32_t, std::vector<Cell>, std::greater<>> lines;
    for (const qvabi::PcbHandle handle : Contents(board)) {
      const nlohmann::json object = Describe(handle);
      if (object["kind"] != "text") continue;
      lines[object["y"].get<int32_t>()].push_back(
          {object["x"].get<int32_t>(), object["text"].get<std::string>()});
    }
    for (auto& [y, cells] : lines)
      std::sort(cells.begin(), cells.end(), [](const Cell& a, const Cell& b) { return a.x < b.x; });
    return lines;
  }
  static std::vector<std::string> Texts(const std::vector<Cell>& cells) {
    std::vector<std::string> texts;
    for (const Cell& cell : cells) texts.push_back(cell.text);
    return texts;
  }
};

// A 1000 x 3000 mil rectangle with its top at y = 0: head band 1000 mil,
// lines of 225 mil, body text 10 mil (no half-line shift), lines 20 mil
// wide. The table has seven lines: top mask, empty, top layer, dielectric,
// bottom layer, empty, bottom mask.
TEST_F(LegendDrawing, TwoLayerTableWithEveryOption) {
  const qvabi::PcbHandle board = OpenBoard(BoardJson(kTwoLayers));
  {
    const TLegendOptions all = TLegendOptions::AllOn();
    TLegendStackup legend(board, &all);
    legend.PlaceAt(0, -30000000, 10000000, 0);
    ASSERT_EQ(legend.BodyTextSize, 100000);
    ASSERT_EQ(legend.LineWidth, 20000);
    legend.Committed = true;
  }
  const auto lines = Lines(board);
  const std::vector<std::pair<int32_t, std::vector<std::string>>> expected = {
      {-5007500, {"Layer Stack Up Detail for: Board1.qvpcb"}},
      {-9798000, {"Layer", "Gerber", "Copper", "Dielectric", "Dielectric", "Dielectric", "Dielectric"}},
      {-9938000, {"Name", "Document", "Thickness", "Height", "Material", "Constant", "Type"}},
      {-12250000, {"Top Solder Mask", "(.GTS)", "0.4mil", "SolderMask", "3.50"}},
      {-16750000, {"Top Layer", "(.GTL)", "1.4mil"}},
      {-19000000, {"12.6mil", "FR-4", "4.80", "Core"}},
      {-21250000, {"Bottom Layer", "(.GBL)", "1.4mil"}},
      {-25750000, {"Bottom Solder Mask", "(.GBS)", "0.4mil", "SolderMask", "3.50"}},
  };
  ASSERT_EQ(lines.size(), expected.size());
  auto line = lines.begin();
  for (const auto& [y, texts] : expected) {
    EXPECT_EQ(line->first, y);
    EXPECT_EQ(Texts(line->second), texts) << "line at " << y;
    ++line;
  }

  // Every column starts where its header starts.
  const std::vector<Cell>& header = lines.at(-9938000);
  const auto xOf = [&](const std::string& word) {
    return std::find_if(header.begin(), header.end(), [&](const Cell& c) { return c.text == word; })->x;
  };
  EXPECT_EQ(lines.at(-16750000)[0].x, xOf("Name"));
  EXPECT_EQ(lines.at(-16750000)[1].x, xOf("Document"));
  EXPECT_EQ(lines.at(-16750000)[2].x, xOf("Thickness"));
  EXPECT_EQ(lines.at(-19000000)[0].x, xOf("Height"));
  EXPECT_EQ(lines.at(-19000000)[3].x, xOf("Type"));
  EXPECT_EQ(lines.at(-12250000)[2].x, xOf("Height"));  // no copper cell on a mask line
  EXPECT_EQ(lines.at(-25750000)[0].x, 600000);
}

TEST_F(LegendDrawing, FrameHasRoundedCornersOfTheBodySize) {
  const qvabi::PcbHandle board = OpenBoard(BoardJson(kTwoLayers));
  const TLegendOptions all = TLegendOptions::AllOn();
  TLegendStackup legend(board, &all);
  legend.PlaceAt(10000000, 0, 0, -30000000);
  const int32_t r = legend.BodyTextSize;
  ASSERT_EQ(r, 100000);

  const nlohmann::json bottom = Describe(legend.FrameBottom->Handle);
  EXPECT_EQ(bottom["x"], r);
  EXPECT_EQ(bottom["y"], -30000000);
  EXPECT_EQ(bottom["x2"], 10000000 - r);
  EXPECT_EQ(bottom["width"], 20000);
  const nlohmann::json right = Describe(legend.FrameRight->Handle);
  EXPECT_EQ(right["x"], 10000000);
  EXPECT_EQ(right["y"], -30000000 + r);
  EXPECT_EQ(right["y2"], -r);

  const nlohmann::json upperRight = Describe(legend.CornerUpperRight->Handle);
  EXPECT_EQ(upperRight["x"], 10000000 - r);
  EXPECT_EQ(upperRight["y"], -r);
  EXPECT_EQ(upperRight["radius"], r);
  EXPECT_EQ(upperRight["startAngle"], 0.0);
  EXPECT_EQ(upperRight["endAngle"], 90.0);
  const nlohmann::json lowerLeft = Describe(legend.CornerLowerLeft->Handle);
  EXPECT_EQ(lowerLeft["x"], r);
  EXPECT_EQ(lowerLeft["y"], -30000000 + r);
  EXPECT_EQ(lowerLeft["startAngle"], 180.0);
  EXPECT_EQ(lowerLeft["endAngle"], 270.0);
  EXPECT_EQ(lowerLeft["width"], 20000);
}

}  // namespace
}  // namespace strativue
