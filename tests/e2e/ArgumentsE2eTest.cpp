// Bad arguments and files: one line on standard error, status 2, nothing
// printed or written. And the drawing quorvex makes of a board.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "QuorvexE2eTest.h"

namespace e2e {
namespace {

using ArgumentsE2eTest = QuorvexE2eTest;

TEST_F(ArgumentsE2eTest, BadSetupListsAndStoreFailuresAreRefused) {
  const Arguments board = {Example("two-layer"), "--corner", "0,0", "--drag", "10mil,10mil"};
  ExpectRefused(Concat(board, {"--setup", "Copper"}), "quorvex: --setup: unknown setup option \"Copper\"");
  ExpectRefused(Concat(board, {"--setup", "Type,,Gerbers"}), "--setup: unknown setup option \"\"");
  // A line break would slip actions of its own into the drag's script.
  for (const char* list : {"all\nclick", "none\r\nescape", "cancel\n"})
    ExpectRefused(Concat(board, {"--setup", list}), "quorvex: --setup: the list cannot hold a line break");
  WriteFile("setup.txt", "corner 0,0\n  setup Gerbers,Typo\nclick\n");
  ExpectRefused({Example("two-layer"), "--script", File("setup.txt")},
                "line 2: unknown setup option \"Typo\"");
  ExpectRefused({Example("two-layer"), "--script", File("setup.txt"), "--setup", "all"}, "--script excludes");
  ExpectRefused(Concat(board, {"--fail-store", "write"}), "--fail-store: expected read:N or write:N");
  ExpectRefused(Concat(board, {"--fail-store", "read:0"}), "--fail-store: the value number must be");
}

TEST_F(ArgumentsE2eTest, BadPointsOptionsAndFilesAreRefused) {
  const std::string board = Example("two-layer");
  ExpectRefused({board, "--corner", "0,0", "--drag", "3cubits,2mil"}, "--drag");
  ExpectRefused({board, "--corner", "0,0"}, "--corner and --drag go together");
  ExpectRefused({board, "--corner", "0,0", "--drag", "1,1", "--steps", "-1"}, "--steps");
  ExpectRefused({board, "--script", "x.txt", "--corner", "0,0", "--drag", "1,1"}, "--script excludes");
  ExpectRefused({File("missing.board.json")}, "missing.board.json");
  WriteFile("bad.txt", "corner 0,0\njump 1,1\n");
  ExpectRefused({board, "--script", File("bad.txt")}, "line 2");
  ExpectRefused({board, "--script", File("absent.txt")}, "absent.txt");
  WriteFile("broken.board.json", "{\"format\": \"quorvex-board/1\", \"stack\": []}");
  ExpectRefused({File("broken.board.json")}, "broken.board.json");
}

TEST_F(ArgumentsE2eTest, AnOutputFolderThatDoesNotExistIsRefusedBeforeTheRun) {
  const auto result = Run({Example("two-layer"), "--out", File("no/such/folder/x.json")});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find("does not exist"), std::string::npos) << result.err;
}

TEST_F(ArgumentsE2eTest, OutputsNeedABoard) {
  const auto result = Run({"--svg", File("out.svg")});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("--svg needs a board file"), std::string::npos) << result.err;
}

// The two-layer legend of the hand-derived example (every option off):
// "Top Layer" has 9 characters of size 1830000, so the editor measures
// 9 * (1830000 * 2 / 3) + 310000 = 11290000 wide (1129 mil) and
// 1830000 + 310000 = 2140000 high from (600000, 15750000).
TEST_F(ArgumentsE2eTest, TheDrawingStretchesEachTextOverItsMeasuredBox) {
  WriteLegacySettings(false);
  const auto result =
      Run({Example("two-layer"), "--corner", "0,0", "--drag", "6000mil,4000mil", "--svg", File("out.svg")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::string svg = ReadText(File("out.svg"));
  ASSERT_TRUE(svg.starts_with("<?xml")) << svg;
  // Left edge 60 mil, bottom edge 1575 mil, shown with y flipped.
  const auto text = svg.find(">Top Layer</text>");
  ASSERT_NE(text, std::string::npos);
  const std::string element = svg.substr(svg.rfind("<text", text), text - svg.rfind("<text", text));
  EXPECT_NE(element.find("translate(60 -1575)"), std::string::npos) << element;
  EXPECT_NE(element.find("textLength=\"1129\""), std::string::npos) << element;
  EXPECT_NE(element.find("lengthAdjust=\"spacingAndGlyphs\""), std::string::npos) << element;
  // The frame's top edge at y = 4000 mil is drawn at -4000, round-capped, in
  // the top overlay's colour.
  EXPECT_NE(svg.find("<line x1=\"183\" y1=\"-4000\" x2=\"5817\" y2=\"-4000\" stroke=\"#ffe040\" "
                     "stroke-width=\"31\" stroke-linecap=\"round\"/>"),
            std::string::npos);
  // The lower left corner runs counter-clockwise from 180 to 270 degrees.
  EXPECT_NE(svg.find("<path d=\"M 0 -183 A 183 183 0 0 0 183 0\""), std::string::npos);
}

}  // namespace
}  // namespace e2e
