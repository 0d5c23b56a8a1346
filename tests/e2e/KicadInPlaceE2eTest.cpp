// quorvex --in-place on KiCad boards: the board file replaced, the old bytes
// kept beside it, and nothing written when another program changed the file
// during the run.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <string>

#include "QuorvexE2eTest.h"

namespace e2e {
namespace {

using ::testing::HasSubstr;

constexpr const char* kBoard =
    "(kicad_pcb (version 20211014) (generator pcbnew)\n"
    "  (general (thickness 1.6))\n"
    "  (layers (0 \"F.Cu\" signal) (31 \"B.Cu\" signal) (41 \"Cmts.User\" user \"User.Comments\")\n"
    "    (44 \"Edge.Cuts\" user))\n"
    "  (gr_rect (start 0 0) (end 50 30) (layer \"Edge.Cuts\") (width 0.1) (tstamp 1))\n"
    ")\n";

using KicadInPlaceE2eTest = QuorvexE2eTest;

TEST_F(KicadInPlaceE2eTest, ReplacesTheBoardAndKeepsTheOldBytesAsBak) {
  WriteFile("b.kicad_pcb", kBoard);
  const std::string board = File("b.kicad_pcb");
  ASSERT_EQ(Run({board, "--out", File("expected.kicad_pcb")}).exitCode, 0);
  const RunResult run = Run({board, "--in-place"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadText(board + "-bak"), kBoard);
  const std::string written = ReadText(board);
  EXPECT_THAT(written, HasSubstr("(group \"Stack-up legend\""));
  // The same board --out writes, but for the legend's fresh ids.
  EXPECT_EQ(written.size(), ReadText(File("expected.kicad_pcb")).size());

  // A second run keeps the first run's board as the backup and redraws one legend.
  ASSERT_EQ(Run({board, "--in-place"}).exitCode, 0);
  EXPECT_EQ(ReadText(board + "-bak"), written);
  const std::string again = ReadText(board);
  EXPECT_EQ(again.find("Stack-up legend"), again.rfind("Stack-up legend"));
}

TEST_F(KicadInPlaceE2eTest, OptionsThatCannotGoWithItAreRefused) {
  WriteFile("b.kicad_pcb", kBoard);
  const struct {
    Arguments arguments;
    std::string message;
  } cases[] = {
      {{File("b.kicad_pcb"), "--in-place", "--out", File("o.kicad_pcb")}, "--in-place excludes --out"},
      {{Example("two-layer"), "--in-place"}, "--in-place needs a KiCad board"},
      {{"--in-place"}, "--in-place needs a KiCad board"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    const RunResult run = Run(c.arguments);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_THAT(run.err, HasSubstr(c.message));
  }
  EXPECT_EQ(ReadText(File("b.kicad_pcb")), kBoard);
  EXPECT_FALSE(std::filesystem::exists(File("b.kicad_pcb-bak")));
  EXPECT_FALSE(std::filesystem::exists(File("o.kicad_pcb")));
}

// The script comes through a FIFO, which quorvex opens only after the editor
// has read the board: the board is changed then, before the script arrives.
TEST_F(KicadInPlaceE2eTest, FileChangedOnDiskDuringTheRunIsLeftAlone) {
  WriteFile("b.kicad_pcb", kBoard);
  const std::string board = File("b.kicad_pcb");
  const std::string fifo = File("script.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string changed = std::string(kBoard) + "\n";
  QuorvexProcess run = Start({board, "--in-place", "--script", fifo});
  {
    // Opening the FIFO waits for quorvex to open it for reading.
    std::ofstream script(fifo, std::ios::binary);
    std::ofstream(board, std::ios::binary | std::ios::app) << "\n";
    script << "corner 0,0\nmove 50,25\nclick\n";
  }
  const RunResult result = run.Wait();
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_THAT(result.err, HasSubstr("changed on disk after it was read; nothing written"));
  EXPECT_EQ(ReadText(board), changed);
  EXPECT_FALSE(std::filesystem::exists(board + "-bak"));
}

}  // namespace
}  // namespace e2e
