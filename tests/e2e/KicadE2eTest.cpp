// quorvex on KiCad boards: the options that go with them, refusals before
// anything is written, the default stack's note and the legend's layer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "QuorvexE2eTest.h"
#include "generated/BuildPaths.h"

namespace e2e {
namespace {

using ::testing::HasSubstr;

std::string KicadBoard(const std::string& name) {
  return std::string(STRATIVUE_SOURCE_DIR) + "/tests/data/kicad/" + name + ".kicad_pcb";
}

// Two copper layers and no stack-up: KiCad's default stack.
constexpr const char* kPlainBoard =
    "(kicad_pcb (version 20211014) (generator pcbnew)\n"
    "  (general (thickness 1.6))\n"
    "  (layers (0 \"F.Cu\" signal) (31 \"B.Cu\" signal) (40 \"Dwgs.User\" user \"User.Drawings\")\n"
    "    (41 \"Cmts.User\" user \"User.Comments\") (44 \"Edge.Cuts\" user))\n"
    "  (gr_rect (start 0 0) (end 50 -30) (layer \"Edge.Cuts\") (width 0.1) (tstamp 1))\n"
    ")\n";

using KicadE2eTest = QuorvexE2eTest;

TEST_F(KicadE2eTest, LegendGoesOnTheChosenLayerBesideTheOutlineInTheChosenUnit) {
  WriteFile("plain.kicad_pcb", kPlainBoard);
  const RunResult written = Run({File("plain.kicad_pcb"), "--unit", "imperial", "--kicad-layer",
                                 "User.Drawings", "--out", File("out.kicad_pcb")});
  ASSERT_EQ(written.exitCode, 0) << written.err;
  // One line: the board had no stack-up.
  EXPECT_THAT(written.err, HasSubstr("has no stack-up; using KiCad's default stack"));
  EXPECT_EQ(std::count(written.err.begin(), written.err.end(), '\n'), 1);
  // Imperial: the legend's sizes are whole mils.
  EXPECT_THAT(written.out, HasSubstr("mil"));
  const std::string out = ReadText(File("out.kicad_pcb"));
  EXPECT_THAT(out, HasSubstr("(layer \"Dwgs.User\")"));
  EXPECT_EQ(out.find("(layer \"Cmts.User\") (tstamp"), std::string::npos);
  // The outline ends at x = 50 mm; the legend keeps 5 mm clear of it, at its right, on the sheet.
  const std::string json = File("out.board.json");
  ASSERT_EQ(Run({File("plain.kicad_pcb"), "--out", json}).exitCode, 0);
  const auto board = nlohmann::json::parse(ReadText(json));
  int64_t left = INT64_MAX;
  for (const auto& o : board["objects"])
    if (o["layer"] == 59)
      left = std::min<int64_t>(left, o["kind"] == "track" ? o["x1"].get<int64_t>() : o["x"].get<int64_t>());
  EXPECT_GE(left, (50.0 + 5) / 0.0254 * 10000 - 10000);
  EXPECT_LE(left, (50.0 + 5.2) / 0.0254 * 10000);
}

TEST_F(KicadE2eTest, WrongLayersUnitsAndTargetsAreRefusedBeforeAnythingIsWritten) {
  WriteFile("plain.kicad_pcb", kPlainBoard);
  const std::string board = File("plain.kicad_pcb");
  const std::string out = File("out.kicad_pcb");
  const struct {
    Arguments arguments;
    std::string message;
  } cases[] = {
      {{board, "--kicad-layer", "F.Cu", "--out", out},
       "\"F.Cu\" is not a drawing or fabrication layer of the board"},
      {{board, "--kicad-layer", "Eco1.User", "--out", out},
       "\"Eco1.User\" is not a drawing or fabrication layer"},
      {{board, "--unit", "furlongs", "--out", out}, "--unit: \"furlongs\" is not metric or imperial"},
      {{Example("two-layer"), "--unit", "metric"}, "--unit needs a KiCad board"},
      {{Example("two-layer"), "--kicad-layer", "Cmts.User"}, "--kicad-layer needs a KiCad board"},
      {{Example("two-layer"), "--out", out},
       "a KiCad board can only be written from a board read from a KiCad file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    const RunResult run = Run(c.arguments);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_THAT(run.err, HasSubstr(c.message));
    EXPECT_FALSE(std::filesystem::exists(out));
  }
}

TEST_F(KicadE2eTest, LegendGoesOnDrawingAndFabricationLayersOnly) {
  std::string board = kPlainBoard;
  const std::string outline = "(44 \"Edge.Cuts\" user)";
  board.replace(
      board.find(outline), outline.size(),
      "(32 \"B.Adhes\" user) (34 \"B.Paste\" user) (37 \"F.SilkS\" user) (39 \"F.Mask\" user)\n"
      "    (42 \"Eco1.User\" user) (43 \"Eco2.User\" user) (44 \"Edge.Cuts\" user) (45 \"Margin\" user)\n"
      "    (46 \"B.CrtYd\" user) (48 \"B.Fab\" user) (49 \"F.Fab\" user) (50 \"User.1\" user)\n"
      "    (58 \"User.9\" user \"Assembly\")");
  WriteFile("layers.kicad_pcb", board);
  const std::string in = File("layers.kicad_pcb");
  const std::string out = File("out.kicad_pcb");
  const struct {
    const char* option;
    const char* layer;
  } taken[] = {{"Dwgs.User", "Dwgs.User"}, {"User.Comments", "Cmts.User"},
               {"Eco1.User", "Eco1.User"}, {"Eco2.User", "Eco2.User"},
               {"F.Fab", "F.Fab"},         {"B.Fab", "B.Fab"},
               {"User.1", "User.1"},       {"Assembly", "User.9"}};
  for (const auto& t : taken) {
    std::filesystem::remove(out);
    const RunResult run = Run({in, "--kicad-layer", t.option, "--out", out});
    ASSERT_EQ(run.exitCode, 0) << t.option << ": " << run.err;
    EXPECT_THAT(ReadText(out), HasSubstr("(layer \"" + std::string(t.layer) + "\")")) << t.option;
  }
  std::filesystem::remove(out);
  for (const char* refused : {"Edge.Cuts", "F.Mask", "B.Paste", "F.Cu", "B.Cu", "Margin", "F.SilkS",
                              "B.CrtYd", "B.Adhes", "User.2", "In1.Cu"}) {
    const RunResult run = Run({in, "--kicad-layer", refused, "--out", out});
    EXPECT_EQ(run.exitCode, 2) << refused;
    EXPECT_THAT(run.err, HasSubstr(std::string("\"") + refused +
                                   "\" is not a drawing or fabrication layer of the board (one of Dwgs.User, "
                                   "Cmts.User, Eco1.User, Eco2.User, B.Fab, F.Fab, User.1, User.9)"));
    EXPECT_FALSE(std::filesystem::exists(out)) << refused;
  }
}

TEST_F(KicadE2eTest, InnerPowerLayersAreMidLayersInTheGerberColumn) {
  // In1.Cu and In2.Cu are marked power: ordinary copper, numbered by position.
  const std::string json = File("out.board.json");
  const RunResult run = Run(
      {KicadBoard("public/antmicro-dual-ipex-csi-interposer"), "--params", "Gerbers=True", "--out", json});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::vector<std::string> extensions;
  const auto board = nlohmann::json::parse(ReadText(json));
  for (const auto& o : board["objects"])
    if (o["kind"] == "text" && o["text"].get<std::string>().starts_with("(."))
      extensions.push_back(o["text"]);
  EXPECT_EQ(extensions, (std::vector<std::string>{"(.GTL)", "(.G1)", "(.G2)", "(.GBL)"}));
}

TEST_F(KicadE2eTest, CrlfBoardWithTextAfterItsListKeepsBothAndSaysSoOnce) {
  std::string board = kPlainBoard;
  board += "(embedded_fonts no)\n";
  for (std::size_t at = board.find('\n'); at != std::string::npos; at = board.find('\n', at + 2))
    board.insert(at, "\r");
  WriteFile("crlf.kicad_pcb", board);
  const RunResult run = Run({File("crlf.kicad_pcb"), "--out", File("out.kicad_pcb")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_THAT(run.err, HasSubstr("crlf.kicad_pcb: line 7: the text after the board's closing parenthesis is "
                                 "kept as it is\n"));
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2) << run.err;  // and the missing stack-up
  const std::string out = ReadText(File("out.kicad_pcb"));
  EXPECT_TRUE(out.ends_with(")\r\n(embedded_fonts no)\r\n"));
  EXPECT_THAT(out, HasSubstr("(group \"Stack-up legend\""));
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (out[i] == '\n') {
      ASSERT_TRUE(i > 0 && out[i - 1] == '\r') << "a bare line feed at byte " << i;
    }
  }
}

TEST_F(KicadE2eTest, BoardWithoutCommentsLayerOpensButNeedsALayerToBeWritten) {
  std::string board = kPlainBoard;
  board.replace(board.find("(41 \"Cmts.User\" user \"User.Comments\")"), 37, "");
  WriteFile("nocomments.kicad_pcb", board);
  const std::string in = File("nocomments.kicad_pcb");
  EXPECT_EQ(Run({in, "--svg", File("b.svg")}).exitCode, 0);
  const RunResult refused = Run({in, "--out", File("out.kicad_pcb")});
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_THAT(refused.err, HasSubstr("--out: "));
  EXPECT_THAT(
      refused.err,
      HasSubstr("\"Cmts.User\" is not a drawing or fabrication layer of the board (one of Dwgs.User)"));
  EXPECT_FALSE(std::filesystem::exists(File("out.kicad_pcb")));
  EXPECT_EQ(Run({in, "--kicad-layer", "Dwgs.User", "--out", File("out.kicad_pcb")}).exitCode, 0);
  EXPECT_THAT(ReadText(File("out.kicad_pcb")), HasSubstr("(layer \"Dwgs.User\")"));
}

TEST_F(KicadE2eTest, MalformedKicadFileIsRefusedWithFileAndLine) {
  WriteFile("broken.kicad_pcb", "(kicad_pcb (version 20211014)\n  (layers\n");
  const RunResult run = Run({File("broken.kicad_pcb"), "--out", File("out.kicad_pcb")});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_THAT(run.err, HasSubstr("broken.kicad_pcb: line 2: the list opened here is never closed"));
  EXPECT_FALSE(std::filesystem::exists(File("out.kicad_pcb")));
}

TEST_F(KicadE2eTest, RealBoardRunsAndNamesItselfInTheTitle) {
  const RunResult run = Run({KicadBoard("public/olimex-mod-esp32-c5"), "--svg", File("b.svg")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(run.err.empty()) << run.err;
  EXPECT_THAT(ReadText(File("b.svg")), HasSubstr("Layer Stack Up Detail for: olimex-mod-esp32-c5.kicad_pcb"));
}

}  // namespace
}  // namespace e2e
