// Where quorvex puts the legend on a KiCad board: at the points the user
// gives, as pcbnew shows them; in an earlier legend's frame; else in free
// space beside the board, on the drawing sheet when it fits there.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <regex>
#include <string>
#include <vector>

#include "QuorvexE2eTest.h"
#include "tests/KicadBoardText.h"

namespace e2e {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using testsupport::KicadBoardText;

// Board units and KiCad's nanometres meet on whole mils only.
constexpr double kRounding = 0.001;

std::string Outline(double x1, double y1, double x2, double y2) {
  return "  (gr_rect (start " + std::to_string(x1) + " " + std::to_string(y1) + ") (end " +
         std::to_string(x2) + " " + std::to_string(y2) + ") (layer \"Edge.Cuts\") (width 0.1) (tstamp e1))\n";
}

// Millimetres as pcbnew shows them, y down.
struct Frame {
  double x1 = std::numeric_limits<double>::max();
  double y1 = std::numeric_limits<double>::max();
  double x2 = std::numeric_limits<double>::lowest();
  double y2 = std::numeric_limits<double>::lowest();
};

// The box of the lines on Cmts.User in a written board: the legend's frame.
Frame LegendFrame(const std::string& text) {
  Frame f;
  const std::regex line(
      R"(\(gr_line \(start ([-\d.]+) ([-\d.]+)\) \(end ([-\d.]+) ([-\d.]+)\)[^\n]*"Cmts\.User")");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), line); it != std::sregex_iterator(); ++it)
    for (int p = 1; p <= 3; p += 2) {
      const double x = std::stod((*it)[p]);
      const double y = std::stod((*it)[p + 1]);
      f = {std::min(f.x1, x), std::min(f.y1, y), std::max(f.x2, x), std::max(f.y2, y)};
    }
  return f;
}

class KicadPlacementE2eTest : public QuorvexE2eTest {
 protected:
  // The legend's frame after a run on `board` with `arguments`; standard error in *err.
  Frame Placed(const std::string& board, const Arguments& arguments = {}, std::string* err = nullptr) {
    WriteFile("b.kicad_pcb", board);
    const RunResult run = Run(Concat({File("b.kicad_pcb"), "--out", File("out.kicad_pcb")}, arguments));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    if (err) *err = run.err;
    return LegendFrame(ReadText(File("out.kicad_pcb")));
  }
};

TEST_F(KicadPlacementE2eTest, PointsAreKicadsMillimetresWithYDown) {
  WriteFile("s.txt", "corner 100,50\nmove 130,70\nmove 160,90\nclick\n");
  WriteFile("mil.txt", "corner 3937.0079mil,1968.5039mil\nmove 160mm,90mm\nclick\n");
  const std::vector<Arguments> placements = {{"--corner", "100,50", "--drag", "160,90"},
                                             {"--corner", "160,90", "--drag", "100,50"},
                                             {"--script", File("s.txt")},
                                             {"--script", File("mil.txt")}};
  for (const Arguments& arguments : placements) {
    SCOPED_TRACE(::testing::PrintToString(arguments));
    const Frame f = Placed(KicadBoardText(Outline(0, 0, 50, 30)), arguments);
    EXPECT_NEAR(f.x1, 100, 0.001);
    EXPECT_NEAR(f.y1, 50, 0.001);
    EXPECT_NEAR(f.x2, 160, 0.001);
    EXPECT_NEAR(f.y2, 90, 0.001);
  }
  WriteFile("bad.txt", "corner 1,2\nmove 3,x\nclick\n");
  const RunResult bad = Run({File("b.kicad_pcb"), "--script", File("bad.txt")});
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_THAT(bad.err, HasSubstr("bad.txt: line 2: move: \"x\" is not a length (a number of millimetres"));
}

TEST_F(KicadPlacementE2eTest, WithoutACornerTheLegendGoesBesideEverythingOnTheSheet) {
  // A footprint parked right of the outline, a text above it: the legend keeps clear of both.
  const std::string parked =
      "  (footprint \"R\" (layer \"F.Cu\") (at 90 20) (tstamp f1)\n"
      "    (pad \"1\" smd rect (at 0 0) (size 4 4) (layers \"F.Cu\") (tstamp f2)))\n"
      "  (gr_text \"REV A\" (at 20 -5) (layer \"F.SilkS\") (tstamp f3) (effects (font (size 1 1) (thickness "
      "0.15))))\n";
  std::string err;
  const Frame f = Placed(KicadBoardText(Outline(20, 20, 70, 50) + parked), {}, &err);
  EXPECT_THAT(err, Not(HasSubstr("does not fit")));
  EXPECT_GE(f.x1, 92);  // right of the footprint's pad
  // On the A4 sheet, inside its frame (10 mm in) and above its title block (40 mm high).
  EXPECT_LE(f.x2, 287 + kRounding);
  EXPECT_GE(f.y1, 10 - kRounding);
  EXPECT_LE(f.y2, 160 + kRounding);
  EXPECT_GT(f.x2 - f.x1, 20);
  EXPECT_GT(f.y2 - f.y1, 10);
}

TEST_F(KicadPlacementE2eTest, TheSheetsSizeAndTurnDecideWhereTheLegendFits) {
  const struct {
    std::string paper;
    double width, height;
  } cases[] = {
      {"(paper \"A3\" portrait)", 297, 420},
      {"(paper \"User\" 250 600)", 250, 600},
  };
  for (const auto& c : cases) {
    // Too wide a board to have the legend at its right: it goes below.
    const Frame f = Placed(KicadBoardText(Outline(15, 15, c.width - 15, 100), c.paper));
    EXPECT_GE(f.y1, 100) << c.paper;
    EXPECT_GE(f.x1, 10 - kRounding) << c.paper;
    EXPECT_LE(f.x2, c.width - 10 + kRounding) << c.paper;
    EXPECT_LE(f.y2, c.height - 10 + kRounding) << c.paper;
  }
}

TEST_F(KicadPlacementE2eTest, ABoardFillingTheSheetGetsTheLegendOffItAndOneLineSaysSo) {
  std::string err;
  const Frame f = Placed(KicadBoardText(Outline(0, 0, 297, 210)), {}, &err);
  EXPECT_GE(f.x1, 297);
  // One line besides the note that the board has no stack-up.
  EXPECT_THAT(err, HasSubstr("does not fit on the drawing sheet"));
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2);
}

TEST_F(KicadPlacementE2eTest, ARunWithoutACornerRedrawsTheLegendInItsMovedFrame) {
  WriteFile("b.kicad_pcb", KicadBoardText(Outline(0, 0, 50, 30)));
  ASSERT_EQ(Run({File("b.kicad_pcb"), "--corner", "100,50", "--drag", "160,90", "--in-place"}).exitCode, 0);
  // The designer moves the whole legend 40 mm down: every y of its lines and texts.
  std::string moved = ReadText(File("b.kicad_pcb"));
  const std::regex y(R"(\((start|end|at|mid) ([-\d.]+) ([-\d.]+))");
  std::string shifted;
  auto last = moved.cbegin();
  const std::size_t legend = moved.find("(gr_", moved.find("(tstamp e1)"));
  for (auto it = std::sregex_iterator(moved.begin() + static_cast<std::ptrdiff_t>(legend), moved.end(), y);
       it != std::sregex_iterator(); ++it) {
    shifted.append(last, (*it)[0].first);
    shifted += "(" + (*it)[1].str() + " " + (*it)[2].str() + " " + std::to_string(std::stod((*it)[3]) + 40);
    last = (*it)[0].second;
  }
  shifted.append(last, moved.cend());
  WriteFile("b.kicad_pcb", shifted);
  const RunResult run = Run({File("b.kicad_pcb"), "--in-place"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const Frame f = LegendFrame(ReadText(File("b.kicad_pcb")));
  EXPECT_NEAR(f.x1, 100, 0.001);
  EXPECT_NEAR(f.y1, 90, 0.001);
  EXPECT_NEAR(f.x2, 160, 0.001);
  EXPECT_NEAR(f.y2, 130, 0.001);
}

}  // namespace
}  // namespace e2e
