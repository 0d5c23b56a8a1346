// A KiCad board that already holds a legend: the legend's own drawings are
// replaced, whatever else the designer put in its group stays there, and its
// frame is where the next legend goes. And where things are on a board: the
// drawing sheet and the boxes of the items.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

#include "editor/BoardFile.h"
#include "editor/kicad/KicadBoard.h"
#include "tests/KicadBoardText.h"

namespace brelix::kicad {
namespace {

using ::testing::HasSubstr;
using testsupport::KicadBoardText;

constexpr double kUnitsPerMm = 1e8 / 254;

// A legend moved to (100, 50)..(160, 90) mm by the designer, a footprint, a
// segment, a silkscreen note and a group of their own put into it, the
// legend's group itself inside a group "Notes".
const std::string kUpdated = KicadBoardText(
    "  (gr_line (start 100 50) (end 160 50) (layer \"Cmts.User\") (width 0.1) (tstamp a1))\n"
    "  (gr_line (start 100 90) (end 160 90) (layer \"Cmts.User\") (width 0.1) (tstamp a2))\n"
    "  (gr_line (start 100 50) (end 100 90) (layer \"Cmts.User\") (width 0.1) (tstamp a3))\n"
    "  (gr_arc (start 101 51) (mid 100.3 50.3) (end 100 51) (layer \"Cmts.User\") (width 0.1) (tstamp a4))\n"
    "  (gr_text \"F.Cu\" (at 102 60) (layer \"Cmts.User\") (tstamp a5)\n"
    "    (effects (font (size 1 1) (thickness 0.15))))\n"
    "  (footprint \"R_0603\" (layer \"F.Cu\") (tstamp d1) (at 120 70)\n"
    "    (pad \"1\" smd rect (at -0.8 0) (size 0.8 0.9) (layers \"F.Cu\") (tstamp d5)))\n"
    "  (segment (start 110 60) (end 111 60) (width 0.25) (layer \"F.Cu\") (net 0) (tstamp d2))\n"
    "  (gr_text \"note\" (at 130 80) (layer \"F.SilkS\") (tstamp d3)\n"
    "    (effects (font (size 1 1) (thickness 0.15))))\n"
    "  (group \"\" (id d4) (members d2))\n"
    "  (group \"Stack-up legend\" (id 0b1) (members a1 a2 d1 a3 a4 a5 d2 d3 d4))\n"
    "  (group \"Notes\" (id 0c1) (members 0b1 d3))\n");

std::smatch Match(const std::string& text, const char* pattern) {
  std::smatch match;
  std::regex_search(text, match, std::regex(pattern));
  return match;
}

std::vector<EditorObject> NewLegend() {
  std::vector<EditorObject> legend;
  EditorObject line = MakeObject(qvabi::ObjectKind::Track, 0);
  line.layer = 59;
  line.x2 = 100000;
  line.width = 20000;
  legend.push_back(line);
  return legend;
}

std::string Write(const KicadSource& source) {
  const std::vector<EditorObject> legend = NewLegend();
  return WriteKicadBoard(source, {&legend[0]});
}

TEST(KicadLegendUpdateTest, OnlyTheLegendsOwnDrawingsAreReplaced) {
  const BoardFileContents read = ReadKicadBoard(kUpdated, "b.kicad_pcb");
  const KicadSource& source = *read.board.kicad;
  // The group "Notes" names the legend's group: it will name the new one.
  EXPECT_EQ(source.legendReferences.size(), 1u);
  EXPECT_EQ(source.keptMembers, (std::vector<std::string>{"d1", "d2", "d3", "d4"}));
  const std::string out = Write(source);

  for (const char* kept :
       {"(footprint \"R_0603\" (layer \"F.Cu\") (tstamp d1) (at 120 70)",
        "(segment (start 110 60) (end 111 60) (width 0.25) (layer \"F.Cu\") (net 0) (tstamp d2))",
        "(gr_text \"note\" (at 130 80) (layer \"F.SilkS\") (tstamp d3)", "(group \"\" (id d4) (members d2))"})
    EXPECT_THAT(out, HasSubstr(kept)) << kept;
  for (const char* gone :
       {"(tstamp a1)", "(tstamp a2)", "(tstamp a3)", "(tstamp a4)", "(tstamp a5)", "\"F.Cu\" (at"})
    EXPECT_EQ(out.find(gone), std::string::npos) << gone;
  // One legend group holding the designer's items and the new line, held by "Notes" in place of the old one.
  EXPECT_EQ(out.find("Stack-up legend"), out.rfind("Stack-up legend"));
  const std::smatch group =
      Match(out, R"(\(group "Stack-up legend" \(id ([-0-9a-f]+)\) \(members d1 d2 d3 d4 ([-0-9a-f]+)\)\))");
  ASSERT_FALSE(group.empty()) << out;
  EXPECT_THAT(out, HasSubstr("(group \"Notes\" (id 0c1) (members " + group[1].str() + " d3))"));
  EXPECT_EQ(group[2].str(), LegendItemId(group[1].str(), 0));

  // Read again, the kept members are still the group's and nothing else of it is taken for the legend's.
  const BoardFileContents again = ReadKicadBoard(out, "b.kicad_pcb");
  EXPECT_EQ(again.board.kicad->keptMembers, (std::vector<std::string>{"d1", "d2", "d3", "d4"}));
}

// A legend written with the ids it gives its items: a note of the
// designer's on the legend's own layer is the designer's all the same.
TEST(KicadLegendUpdateTest, ANoteOnTheLegendsLayerStaysWhenTheLegendKnowsItsOwnItems) {
  const BoardFileContents first = ReadKicadBoard(KicadBoardText(""), "b.kicad_pcb");
  std::string written = Write(*first.board.kicad);
  const std::size_t members = written.find("(members ");
  ASSERT_NE(members, std::string::npos);
  written.insert(members + 9, "n1 ");
  written.insert(
      written.find("  (group"),
      "  (gr_text \"my note\" (at 5 5) (layer \"Cmts.User\") (tstamp n1) (effects (font (size 1 1))))\n");
  const BoardFileContents second = ReadKicadBoard(written, "b.kicad_pcb");
  EXPECT_EQ(second.board.kicad->keptMembers, (std::vector<std::string>{"n1"}));
  const std::string again = Write(*second.board.kicad);
  EXPECT_THAT(again, HasSubstr("(gr_text \"my note\" (at 5 5) (layer \"Cmts.User\") (tstamp n1)"));
  EXPECT_THAT(again, HasSubstr("(members n1 "));
  // The legend's line was replaced, not added to.
  EXPECT_EQ(again.find("(gr_line"), again.rfind("(gr_line"));
}

TEST(KicadLegendUpdateTest, TheEarlierFrameIsWhereTheLinesAreAndIsNoItemOfTheBoard) {
  const BoardFileContents read = ReadKicadBoard(kUpdated, "b.kicad_pcb");
  const KicadSource& source = *read.board.kicad;
  ASSERT_TRUE(source.oldFrame.has_value());
  EXPECT_NEAR(static_cast<double>(source.oldFrame->x1), 100 * kUnitsPerMm, 1);
  EXPECT_NEAR(static_cast<double>(source.oldFrame->x2), 160 * kUnitsPerMm, 1);
  EXPECT_NEAR(static_cast<double>(source.oldFrame->y1), -90 * kUnitsPerMm, 1);
  EXPECT_NEAR(static_cast<double>(source.oldFrame->y2), -50 * kUnitsPerMm, 1);
  // The footprint, the segment and the note; the legend's drawings are not obstacles to their own redraw.
  EXPECT_EQ(source.itemBoxes.size(), 3u);
  // Quoted ids of later formats are kept as written.
  const BoardFileContents later = ReadKicadBoard(
      KicadBoardText("  (gr_line (start 0 0) (end 9 9) (layer \"Cmts.User\") (width 0.1) (uuid \"a1\"))\n"
                     "  (gr_text \"note\" (at 5 5) (layer \"F.SilkS\") (uuid \"d1\"))\n"
                     "  (group \"Stack-up legend\" (uuid \"0b1\") (members \"a1\" \"d1\"))\n"),
      "b.kicad_pcb");
  EXPECT_EQ(later.board.kicad->keptMembers, (std::vector<std::string>{"\"d1\""}));
}

// A box around each item holds what KiCad draws of it.
struct Holds {
  const char* item;
  double x1, y1, x2, y2;  // millimetres as KiCad shows them, y down
};

TEST(KicadExtentsTest, EachItemsBoxHoldsWhatKicadDraws) {
  const Holds cases[] = {
      // A pad of a footprint turned by 90 degrees: (1, 0) of the footprint is (10, 19) on the board.
      {"(footprint \"X\" (layer \"F.Cu\") (at 10 20 90) (pad \"1\" smd rect (at 1 0) (size 2 1) (layers "
       "\"F.Cu\")))",
       9, 18, 11, 20},
      // An arc's bulge beyond its three points' box.
      {"(gr_arc (start 0 10) (mid 5 5) (end 10 10) (layer \"Cmts.User\") (width 0.2))", -0.1, 4.9, 10.1,
       10.1},
      {"(gr_circle (center 50 50) (end 53 50) (layer \"Cmts.User\") (width 0.2))", 46.9, 46.9, 53.1, 53.1},
      {"(segment (start 1 2) (end 3 4) (width 0.5) (layer \"F.Cu\") (net 0))", 0.75, 1.75, 3.25, 4.25},
      // Texts as justified and turned: left from (20, 20), upwards from (50, 50), centred on (80, 80).
      {"(gr_text \"ABCD\" (at 20 20) (layer \"F.SilkS\") (effects (font (size 2 2) (thickness 0.3)) "
       "(justify left)))",
       19.9, 19, 27, 21},
      {"(gr_text \"ABCD\" (at 50 50 90) (layer \"F.SilkS\") (effects (font (size 2 2) (thickness 0.3)) "
       "(justify left bottom)))",
       48, 43, 50, 50},
      {"(gr_text \"AB\" (at 80 80) (layer \"F.SilkS\") (effects (font (size 1 1) (thickness 0.15))))", 79,
       79.5, 81, 80.5},
      {"(zone (net 0) (layer \"F.Cu\") (polygon (pts (xy 0 0) (xy 30 0) (xy 30 -5))))", 0, -5, 30, 0},
  };
  for (const Holds& c : cases) {
    const BoardFileContents read =
        ReadKicadBoard(KicadBoardText(std::string("  ") + c.item + "\n"), "b.kicad_pcb");
    const auto& boxes = read.board.kicad->itemBoxes;
    ASSERT_EQ(boxes.size(), 1u) << c.item;
    const KicadBox& b = boxes[0];
    EXPECT_LE(static_cast<double>(b.x1), c.x1 * kUnitsPerMm) << c.item;
    EXPECT_GE(static_cast<double>(b.x2), c.x2 * kUnitsPerMm) << c.item;
    EXPECT_LE(static_cast<double>(b.y1), -c.y2 * kUnitsPerMm) << c.item;
    EXPECT_GE(static_cast<double>(b.y2), -c.y1 * kUnitsPerMm) << c.item;
    // Not so much larger that it hides free space: within a few millimetres of it.
    EXPECT_GE(static_cast<double>(b.x1), (c.x1 - 5) * kUnitsPerMm) << c.item;
    EXPECT_LE(static_cast<double>(b.y2), (-c.y1 + 5) * kUnitsPerMm) << c.item;
  }
}

TEST(KicadExtentsTest, TheSheetIsThePapersSizeTurnedAsTheFileSays) {
  const struct {
    const char* paper;
    double width, height;
  } cases[] = {
      {"(paper \"A4\")", 297, 210},           {"(paper \"A3\" portrait)", 297, 420},
      {"(paper \"USLetter\")", 279.4, 215.9}, {"(paper \"User\" 500 300)", 500, 300},
      {"(paper \"User\" 300 500)", 300, 500}, {"", 297, 210},
  };
  for (const auto& c : cases) {
    const BoardFileContents read = ReadKicadBoard(KicadBoardText("", c.paper), "b.kicad_pcb");
    const KicadBox& sheet = read.board.kicad->sheet;
    EXPECT_EQ(sheet.x1, 0) << c.paper;
    EXPECT_EQ(sheet.y2, 0) << c.paper;
    EXPECT_NEAR(static_cast<double>(sheet.x2), c.width * kUnitsPerMm, 1) << c.paper;
    EXPECT_NEAR(static_cast<double>(sheet.y1), -c.height * kUnitsPerMm, 1) << c.paper;
  }
}

}  // namespace
}  // namespace brelix::kicad
