// quorvex on a board with an object of every kind: it opens, saves the very
// same file, and draws every visible kind; a broken entry of any kind is
// refused before anything is written.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "QuorvexE2eTest.h"
#include "generated/BuildPaths.h"

namespace e2e {
namespace {

std::string EveryKind() { return std::string(STRATIVUE_SOURCE_DIR) + "/tests/data/every-kind.board.json"; }

class BoardKindsE2eTest : public QuorvexE2eTest {};

TEST_F(BoardKindsE2eTest, EveryKindOpensSavesUnchangedAndIsDrawn) {
  const auto result =
      Run({EveryKind(), "--cancel", "--out", File("out.board.json"), "--svg", File("out.svg")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ReadText(File("out.board.json")), ReadText(EveryKind()));

  const std::string svg = ReadText(File("out.svg"));
  // Pad 1: a 60 mil square on the top layer (red) at (200, 300) mil with a
  // 35 mil hole; pad 2: 80 x 40 mil rounded by 25 % of 20 mil, turned 90.
  EXPECT_NE(svg.find(R"svg(<g transform="translate(200 -300) rotate(0)"><rect x="-30" y="-30" width="60" )svg"
                     R"svg(height="60" rx="30" fill="#3c8cff"/>)svg"),
            std::string::npos)
      << "the bottom layer's round shape comes first";
  EXPECT_NE(svg.find(R"svg(<rect x="-30" y="-30" width="60" height="60" fill="#ff3030"/></g>)svg"
                     R"svg(<circle cx="200" cy="-300" r="17.5")svg"),
            std::string::npos);
  EXPECT_NE(
      svg.find(R"svg(<g transform="translate(800 -300) rotate(-90)"><rect x="-40" y="-20" width="80" )svg"
               R"svg(height="40" rx="5" fill="#ff3030"/>)svg"),
      std::string::npos);
  EXPECT_NE(svg.find(R"(<circle cx="500" cy="-300" r="25")"), std::string::npos) << "the via";
  EXPECT_NE(
      svg.find(
          R"(<path d="M 100,-100 L 1100,-100 L 1100,-1100 L 100,-1100 Z" fill="#3c8cff" fill-opacity="0.3")"),
      std::string::npos)
      << "the bottom polygon";
  EXPECT_NE(svg.find(R"(<path d="M 0,0 L 2000,0 L 2000,-1200 L 0,-1200 Z" fill="none")"), std::string::npos)
      << "the board outline";
  EXPECT_NE(svg.find(">2000mil</text>"), std::string::npos) << "the dimension's length";
  // The areas lie beneath the track drawn before them in the file.
  EXPECT_LT(svg.find("fill-opacity=\"0.3\""), svg.find("<line x1=\"200\" y1=\"-300\""));
  EXPECT_EQ(svg.find("Clearance"), std::string::npos) << "rules and violations have no shape";
}

TEST_F(BoardKindsE2eTest, ABrokenEntryOfAnyKindIsRefusedAndNothingIsWritten) {
  const nlohmann::ordered_json board = nlohmann::ordered_json::parse(ReadText(EveryKind()));
  for (std::size_t i = 0; i < board["objects"].size(); ++i) {
    nlohmann::ordered_json broken = board;
    broken["objects"][i]["colour"] = "red";
    WriteFile("broken.board.json", broken.dump());
    const auto result =
        Run({File("broken.board.json"), "--cancel", "--out", File("out.json"), "--svg", File("out.svg")});
    SCOPED_TRACE(board["objects"][i]["kind"].get<std::string>());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("broken.board.json: objects[" + std::to_string(i) + "].colour: unknown field"),
              std::string::npos)
        << result.err;
    EXPECT_FALSE(std::filesystem::exists(File("out.json")));
    EXPECT_FALSE(std::filesystem::exists(File("out.svg")));
  }
}

}  // namespace
}  // namespace e2e
