// The main job end to end: a legend dragged out on each example board,
// committed and saved; cancelled runs that leave the board as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "QuorvexE2eTest.h"

namespace e2e {
namespace {

using nlohmann::json;

json Track(int64_t x1, int64_t y1, int64_t x2, int64_t y2, int64_t width) {
  return {{"kind", "track"}, {"layer", 33}, {"x1", x1}, {"y1", y1}, {"x2", x2}, {"y2", y2}, {"width", width}};
}
json Arc(int64_t x, int64_t y, int64_t radius, int startAngle, int endAngle, int64_t width) {
  return {{"kind", "arc"},
          {"layer", 33},
          {"x", x},
          {"y", y},
          {"radius", radius},
          {"startAngle", startAngle},
          {"endAngle", endAngle},
          {"width", width}};
}
json Text(int64_t x, int64_t y, int64_t size, int64_t width, const std::string& text) {
  return {{"kind", "text"}, {"layer", 33},    {"x", x},        {"y", y},
          {"size", size},   {"width", width}, {"rotation", 0}, {"text", text}};
}

class PlacementE2eTest : public QuorvexE2eTest {};

// Two-layer board, every option off, the rectangle (0, 0) to (6000 mil,
// 4000 mil): X1 = 0, Y1 = 0, X2 = 60000000, Y2 = 40000000.
//   N = 2 rows, C = 1 column (s = 0), S = 12 ("Bottom Layer"),
//   title "Layer Stack Up Detail for: Sensor Node.qvpcb" = 27 + 17 = 44
//   characters, so L = max(12, 44) = 44.
//   f = max(0.15, min(0.4, 2 / 4)) = 0.4; HeadBand = 40000000 * 0.4 = 16000000
//   Margin = max(600000, 60000000 div 100) = 600000
//   Pad = min(2000000, 8000000) = 2000000; PadLow = PadHigh = 1000000
//   InnerWidth = 60000000 - 2 * 600000 = 58800000
//   BodyHeight = 40000000 - 16000000 - 2 * 1000000 = 22000000
//   RowHeight = 22000000 div 4 = 5500000
//   t = min(58800000 div 45 = 1306666, Round(2750000)) = 1306666
//   HeaderTextSize = 131 mil = 1310000; HeaderStroke = snap(222700) = 220000
//   BodyTextSize = snap(1834000) = 1830000; BodyStroke = snap(311100) = 310000
//   LineWidth = 310000; frame radius r = 1830000.
// Header (w = 310000, w div 2 = 155000):
//   yLow = 40000000 - 16000000 + 155000 = 24155000
//   "Name" at y = 24155000 + Round(1310000 * 0.6) + 155000 = 25096000
//   "Layer" at y = 25096000 + 2 * 1310000 = 27716000
//   yHigh = 27716000 + 1965000 + 155000 = 29836000
//   space = 40000000 - (29836000 + 310000) = 9854000
//   title size = snap(min(3941600, 1306666)) = 1310000, stroke snap(218333) = 220000
//   title y = 40000000 - Round(1048000) - 9854000 div 2 = 34025000
// Rows: 40000000 / 1830000 = 21.9 < 25, so half a line lower:
//   PenY = 24000000 - 2750000 = 21250000; first line 21250000 - 5500000 = 15750000
//   "Top Layer" at 15750000; its dielectric line 10250000 (no column shown);
//   "Bottom Layer" at 10250000 - 5500000 = 4750000; x = 0 + 600000 throughout.
TEST_F(PlacementE2eTest, TwoLayerLegendIsCommittedWithTheHandDerivedGeometry) {
  WriteLegacySettings(false);
  const auto result =
      Run({Example("two-layer"), "--corner", "0,0", "--drag", "6000mil,4000mil", "--out", File("out.json")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            "module: Strativue\n"
            "status 2: Table Text Height: 183mil Track/TextLine Width: 31mil\n"
            "status 3: Rectangle Height: 4000mil Width: 6000mil\n");

  const json expected = json::array({
      Track(1830000, 40000000, 58170000, 40000000, 310000),  // top
      Track(1830000, 0, 58170000, 0, 310000),                // bottom
      Track(0, 1830000, 0, 38170000, 310000),                // left
      Track(60000000, 1830000, 60000000, 38170000, 310000),  // right
      Arc(58170000, 1830000, 1830000, 270, 360, 310000),     // lower right
      Arc(1830000, 1830000, 1830000, 180, 270, 310000),      // lower left
      Arc(1830000, 38170000, 1830000, 90, 180, 310000),      // upper left
      Arc(58170000, 38170000, 1830000, 0, 90, 310000),       // upper right
      Text(600000, 34025000, 1310000, 220000, "Layer Stack Up Detail for: Sensor Node.qvpcb"),
      Track(600000, 29836000, 59400000, 29836000, 310000),  // above the header
      Text(600000, 27716000, 1310000, 220000, "Layer"),
      Text(600000, 25096000, 1310000, 220000, "Name"),
      Track(600000, 24155000, 59400000, 24155000, 310000),  // below the header
      Text(600000, 15750000, 1830000, 310000, "Top Layer"),
      Text(600000, 4750000, 1830000, 310000, "Bottom Layer"),
  });
  EXPECT_EQ(SavedObjects("out.json"), expected);
}

// The board's stack as the legend should list it, from the board file.
struct ExpectedRow {
  std::string name;
  std::string material;  // empty for the last layer
};

std::vector<ExpectedRow> StackOf(const json& board) {
  std::vector<ExpectedRow> rows;
  for (const auto& layer : board["stack"])
    rows.push_back({layer["name"].get<std::string>(),
                    layer.contains("dielectric") ? layer["dielectric"]["material"].get<std::string>() : ""});
  return rows;
}

std::vector<std::string> Texts(const json& objects, std::size_t from) {
  std::vector<std::string> texts;
  for (std::size_t i = from; i < objects.size(); ++i)
    texts.push_back(objects[i].value("text", "<" + objects[i]["kind"].get<std::string>() + ">"));
  return texts;
}

// Every example board with every option on: the frame, the title, the two
// header rows between their lines, both mask rows, then one group of cells
// per stack layer, after the board's own objects.
TEST_F(PlacementE2eTest, EveryExampleBoardGetsAFullLegendInCommitOrder) {
  WriteLegacySettings(true);
  for (const char* name : {"two-layer", "four-layer", "six-layer", "eight-layer-metric", "max-stack"}) {
    SCOPED_TRACE(name);
    const json input = json::parse(ReadText(Example(name)));
    const auto result = Run({Example(name), "--out", File("out.json")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const json objects = SavedObjects("out.json");
    const std::size_t own = input["objects"].size();
    // The board's own objects stay first and unchanged.
    for (std::size_t i = 0; i < own; ++i) EXPECT_EQ(objects[i], input["objects"][i]);

    const std::vector<std::string> texts = Texts(objects, own);
    const std::string fileName = input["fileName"].get<std::string>();
    std::vector<std::string> expected = {
        "<track>",    "<track>",    "<track>",
        "<track>",    "<arc>",      "<arc>",
        "<arc>",      "<arc>",      "Layer Stack Up Detail for: " + fileName.substr(fileName.rfind('\\') + 1),
        "<track>",    "Layer",      "Gerber",
        "Copper",     "Dielectric", "Dielectric",
        "Dielectric", "Dielectric", "Name",
        "Document",   "Thickness",  "Height",
        "Material",   "Constant",   "Type",
        "<track>"};
    const bool metric = input["unit"] == "metric";
    const std::string mask = metric ? "0.01mm" : "0.4mil";
    for (const char* row : {"Top Solder Mask", "Bottom Solder Mask"}) {
      // A surface dielectric has no type text, so none is kept.
      expected.insert(expected.end(),
                      {row, row[0] == 'T' ? "(.GTS)" : "(.GBS)", mask, "Solder Resist", "3.50"});
    }
    ASSERT_GE(texts.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + static_cast<long>(expected.size())),
              expected);

    // Stack rows: name, Gerber, copper, then height, material, constant and
    // type of the dielectric below, except for the last layer.
    const std::vector<ExpectedRow> stack = StackOf(input);
    std::size_t at = expected.size();
    for (std::size_t i = 0; i < stack.size(); ++i) {
      SCOPED_TRACE(stack[i].name);
      const bool last = i + 1 == stack.size();
      ASSERT_LE(at + (last ? 3 : 7), texts.size());
      EXPECT_EQ(texts[at], stack[i].name.substr(0, 254));  // a text holds at most 254 characters
      EXPECT_EQ(texts[at + 1].front(), '(');
      EXPECT_TRUE(texts[at + 2].ends_with(metric ? "mm" : "mil")) << texts[at + 2];
      if (!last) {
        EXPECT_TRUE(texts[at + 3].ends_with(metric ? "mm" : "mil")) << texts[at + 3];
        EXPECT_EQ(texts[at + 4], stack[i].material);
        EXPECT_EQ(texts[at + 5].size() - texts[at + 5].find('.'), 3u) << texts[at + 5];
        EXPECT_TRUE(texts[at + 6] == "Core" || texts[at + 6] == "PrePreg") << texts[at + 6];
      }
      at += last ? 3 : 7;
    }
    EXPECT_EQ(at, texts.size());
    EXPECT_EQ(texts[expected.size()], stack.front().name);
    EXPECT_EQ(texts[expected.size() + 1], "(.GTL)");
  }
}

TEST_F(PlacementE2eTest, CancelledRunsLeaveTheSavedBoardIdenticalToTheInput) {
  WriteFile("escape-at-corner.txt",
            "# the first-corner prompt is cancelled\nescape\nmove 100mil,100mil\nclick\n");
  for (const char* name : {"two-layer", "six-layer"}) {
    SCOPED_TRACE(name);
    const std::string input = ReadText(Example(name));
    const auto cancelled = Run({Example(name), "--corner", "100mil,100mil", "--drag", "3000mil,2000mil",
                                "--cancel", "--out", File("cancelled.json")});
    ASSERT_EQ(cancelled.exitCode, 0) << cancelled.err;
    EXPECT_EQ(ReadText(File("cancelled.json")), input);
    // Escape comes after the status texts of the drag.
    EXPECT_NE(cancelled.out.find("status 3: Rectangle Height: 1900mil Width: 2900mil\n"), std::string::npos)
        << cancelled.out;

    const auto noCorner =
        Run({Example(name), "--script", File("escape-at-corner.txt"), "--out", File("no-corner.json")});
    ASSERT_EQ(noCorner.exitCode, 0) << noCorner.err;
    EXPECT_EQ(ReadText(File("no-corner.json")), input);
    EXPECT_EQ(noCorner.out, "module: Strativue\n");
  }
}

TEST_F(PlacementE2eTest, AScriptDrivesTheLegendAndTheTraceShowsEveryEvent) {
  WriteLegacySettings(false);
  WriteFile("drag.txt", "corner 0,0\nmove 1000mil,1000mil\n\n# done\nclick\n");
  const auto result =
      Run({Example("two-layer"), "--script", File("drag.txt"), "--trace", "--out", File("o.json")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find("state GenerateCrossSection: enabled\n"
                            "event prompt Select first corner\n"
                            "event IsDone\nevent ReadCursor\nevent LayOut\nevent Show\n"
                            "event IsDone\nevent Commit\nevent ClickDone\nevent IsDone\n"),
            std::string::npos)
      << result.out;
  EXPECT_TRUE(result.out.ends_with("status 3: Rectangle Height: 1000mil Width: 1000mil\n")) << result.out;
  EXPECT_EQ(SavedObjects("o.json").size(), 15u);
}

// A script read from a pipe (here standard input) drives the run as the same
// script read from a file does.
TEST_F(PlacementE2eTest, AScriptThroughAPipeActsAsTheSameScriptInAFile) {
  WriteLegacySettings(false);
  const std::string script = "corner 0,0\nmove 1000mil,1000mil\nclick\n";
  WriteFile("drag.txt", script);
  const auto fromFile = Run({Example("two-layer"), "--script", File("drag.txt"), "--out", File("file.json")});
  ASSERT_EQ(fromFile.exitCode, 0) << fromFile.err;
  const auto fromPipe =
      RunWith({.arguments = {Example("two-layer"), "--script", "/dev/stdin", "--out", File("pipe.json")},
               .input = script});
  ASSERT_EQ(fromPipe.exitCode, 0) << fromPipe.err;
  EXPECT_EQ(fromPipe.out, fromFile.out);
  EXPECT_EQ(ReadText(File("pipe.json")), ReadText(File("file.json")));
  EXPECT_GT(SavedObjects("pipe.json").size(), json::parse(ReadText(Example("two-layer")))["objects"].size());
}

// The parameter string reaches the legend unchanged and beats the legacy
// settings file.
TEST_F(PlacementE2eTest, TheParameterStringChoosesTheColumns) {
  WriteLegacySettings(true);
  const auto result =
      Run({Example("two-layer"), "--params",
           "Gerbers=True|DielHeight=True|Material=true|Constant=True|Type=False", "--out", File("out.json")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  std::vector<std::string> texts = Texts(SavedObjects("out.json"), 0);
  const auto has = [&](const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  };
  for (const char* shown : {"(.GTL)", "(.GBL)", "59.2mil", "FR-4", "4.80"}) EXPECT_TRUE(has(shown)) << shown;
  // Copper and type are off; the mask rows come only from the legacy file
  // or the setup dialog, never from parameters.
  for (const char* hidden : {"1.4mil", "Core", "Top Solder Mask"}) EXPECT_FALSE(has(hidden)) << hidden;
}

TEST_F(PlacementE2eTest, WithoutCornerOrScriptTheLegendGoesBesideTheBoard) {
  WriteLegacySettings(false);
  // The six-layer outline reaches x = 3000 mil (3005 with half its width).
  const auto result = Run({Example("six-layer"), "--out", File("out.json")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find("status 3: Rectangle Height: 4000mil Width: 6000mil\n"), std::string::npos);
  const json objects = SavedObjects("out.json");
  // The legend's left edge (the frame's left track) lies right of the board.
  const json& left = objects[6 + 2];
  EXPECT_EQ(left["kind"], "track");
  EXPECT_EQ(left["x1"], 35050000);  // 3005 mil + 500 mil
}

}  // namespace
}  // namespace e2e
