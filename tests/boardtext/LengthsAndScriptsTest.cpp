#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "boardtext/InputScript.h"
#include "boardtext/Lengths.h"

namespace boardtext {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

TEST(ParseLength, ConvertsEveryUnitToBoardUnits) {
  EXPECT_EQ(ParseLength("1.4mil"), 14000);
  EXPECT_EQ(ParseLength("12.6mil"), 126000);
  EXPECT_EQ(ParseLength("0mil"), 0);
  EXPECT_EQ(ParseLength("-0.5mil"), -5000);
  EXPECT_EQ(ParseLength("1in"), 10000000);
  EXPECT_EQ(ParseLength("0.0254mm"), 10000);
  EXPECT_EQ(ParseLength("100"), 100);
  EXPECT_EQ(ParseLength("-7"), -7);
  EXPECT_EQ(ParseLength("+7mil"), 70000);
}

TEST(ParseLength, RoundsMillimetresToTheNearestUnitWithHalvesAwayFromZero) {
  EXPECT_EQ(ParseLength("1mm"), 393701);        // 393700.787...
  EXPECT_EQ(ParseLength("0.035mm"), 13780);     // 13779.527...
  EXPECT_EQ(ParseLength("0.01mm"), 3937);       // 3937.007...
  EXPECT_EQ(ParseLength("0.00000127mm"), 1);    // exactly 0.5
  EXPECT_EQ(ParseLength("-0.00000127mm"), -1);  // exactly -0.5
  EXPECT_EQ(ParseLength("0.00000635mm"), 3);    // exactly 2.5: not to even
  EXPECT_EQ(ParseLength("1.00005mil"), 10001);  // exactly 10000.5, no binary rounding error
  EXPECT_EQ(ParseLength("-1.00005mil"), -10001);
}

TEST(ParseLength, RefusesWhatIsNotALengthAndSaysWhy) {
  for (const char* bad :
       {"", "mil", "abc", "12.5", "1.2.3mil", "1e3mil", "5 mil", "5MIL", "--1mil", ".mil"}) {
    std::string why;
    EXPECT_FALSE(ParseLength(bad, &why)) << bad;
    EXPECT_THAT(why, HasSubstr("is not a length")) << bad;
  }
}

TEST(ParseLength, KeepsToThirtyTwoBits) {
  EXPECT_EQ(ParseLength("-214748.3648mil"), -2147483647 - 1);
  EXPECT_EQ(ParseLength("214748.3647mil"), 2147483647);
  std::string why;
  EXPECT_FALSE(ParseLength("214748.3648mil", &why));
  EXPECT_THAT(why, HasSubstr("out of range"));
  EXPECT_FALSE(ParseLength("99999999999999999999999999mil", &why));
  // The widest numbers: 18 digits, as whole millimetres far past the range
  // and as decimals that still round exactly.
  EXPECT_FALSE(ParseLength("999999999999999999mm", &why));
  EXPECT_THAT(why, HasSubstr("out of range"));
  EXPECT_EQ(ParseLength("0.000001270000000000mm"), 1);
  EXPECT_EQ(ParseLength("-0.000001269999999999mm"), 0);
  EXPECT_EQ(ParseLength("5453.68700569999999mm"), 2147120868);  // 2147120868.386
}

TEST(ParsePoint, TakesTwoLengthsSeparatedByAComma) {
  EXPECT_EQ(ParsePoint("10mil, 20mil"), (Point{100000, 200000}));
  EXPECT_EQ(ParsePoint("1,-2"), (Point{1, -2}));
  EXPECT_FALSE(ParsePoint("1;2"));
  EXPECT_FALSE(ParsePoint("1,"));
  EXPECT_FALSE(ParsePoint("1mil"));
  // Every blank a script line may hold, the same ones the host trims.
  EXPECT_EQ(ParsePoint("\v1mil\f,\r2\t"), (Point{10000, 2}));
}

TEST(ParseScript, ReadsEveryActionWithItsLine) {
  const auto actions = ParseScript(
      "# placement\n"
      "corner 100mil,200mil\n"
      "\n"
      "move 1mm, 2mm\n"
      "setup copperheight, TYPE\n"
      "setup cancel\n"
      "  click  \n"
      "escape\n");
  ASSERT_EQ(actions.size(), 6u);
  EXPECT_EQ(actions[0].kind, ScriptAction::Kind::Corner);
  EXPECT_EQ(actions[0].point, (Point{1000000, 2000000}));
  EXPECT_EQ(actions[0].line, 2);
  EXPECT_EQ(actions[1].kind, ScriptAction::Kind::Move);
  EXPECT_EQ(actions[1].point, (Point{393701, 787402}));
  EXPECT_EQ(actions[1].line, 4);
  EXPECT_EQ(actions[2].kind, ScriptAction::Kind::Setup);
  EXPECT_EQ(actions[2].argument, "copperheight, TYPE");
  EXPECT_EQ(actions[3].argument, "cancel");
  EXPECT_EQ(actions[4].kind, ScriptAction::Kind::Click);
  EXPECT_EQ(actions[5].kind, ScriptAction::Kind::Escape);
  EXPECT_EQ(actions[5].line, 8);
}

TEST(ParseScript, AcceptsAllNoneAndEveryOptionName) {
  EXPECT_NO_THROW(
      ParseScript("setup all\nsetup none\nsetup CopperHeight,Type,Gerbers,DielHeight,Material,"
                  "Constant,ExtDielectrics\n"));
}

// Only a mark that starts the text is one; anywhere else it is part of a word.
TEST(ParseScript, TakesALeadingByteOrderMark) {
  const auto actions = ParseScript(
      "\xEF\xBB\xBF"
      "corner 1,2\nclick\n");
  ASSERT_EQ(actions.size(), 2u);
  EXPECT_EQ(actions[0].kind, ScriptAction::Kind::Corner);
  EXPECT_EQ(actions[0].line, 1);
  EXPECT_THROW(ParseScript("click\n\xEF\xBB\xBF"
                           "click\n"),
               ScriptError);
}

TEST(ParseScript, RefusesABadLineWithItsNumber) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"click\n\njump 1,2\n", "line 3: unknown action \"jump\""},
      {"corner 1mil\n", "line 1: corner: \"1mil\" is not a point X,Y"},
      {"# c\nmove 1,2x\n", "line 2: move: \"2x\" is not a length"},
      {"setup Copper\n", "line 1: unknown setup option \"Copper\""},
      {"setup\n", "line 1: setup needs a list"},
      {"click now\n", "line 1: click takes no argument"},
      {"click\f\n\vclick\vnow\n", "line 2: click takes no argument"},
      {std::string("click\nclick\0escape\n", 19), "line 2: holds a NUL byte"},
      {"click\n\n# \xC3(\n", "line 3: is not UTF-8 text"},
      {"click\n\xED\xA0\x80\n", "line 2: is not UTF-8 text"},  // an encoded surrogate
      {"key Alt+Y\n", "line 1: key follows a setup line"},
      {"setup all\nclick\nkey Y\n", "line 3: key follows a setup line"},
      {"setup all\nkey\n", "line 2: key: \"\" is not a key"},
      {"setup all\nkey F2\n", "line 2: key: \"F2\" is not a key"},
      {"setup all\nkey Alt+\n", "line 2: key: \"Alt+\" is not a key"},
      {"setup all\nkey YY\n", "line 2: key: \"YY\" is not a key"},
      {"setup all\nkey Alt+Alt+Y\n",
       "line 2: key: \"Alt+Alt+Y\": \"alt\" is not Shift, Ctrl or Alt, or is named twice"},
      {"setup all\nkey Win+Y\n", "line 2: key: \"Win+Y\": \"win\" is not Shift"},
  };
  for (const auto& [script, message] : cases) {
    try {
      ParseScript(script);
      ADD_FAILURE() << "accepted: " << script;
    } catch (const ScriptError& error) {
      EXPECT_THAT(error.what(), StartsWith(message)) << script;
    }
  }
}

// Key lines belong to the setup line before them, in order; other setup
// lines keep none.
TEST(ParseScript, KeyLinesGoWithTheSetupLineBeforeThem) {
  const auto actions = ParseScript(
      "setup all\nkey Alt+Y\n  key y \nkey SHIFT+ctrl+Alt+F1\nclick\nsetup none\n"
      "setup cancel\nkey Space\nkey Shift+Tab\nkey 7\n");
  ASSERT_EQ(actions.size(), 4u);
  EXPECT_EQ(actions[0].keys,
            (std::vector<KeyChord>{
                {'Y', false, false, true}, {'Y', false, false, false}, {0x70, true, true, true}}));
  EXPECT_TRUE(actions[1].keys.empty());
  EXPECT_TRUE(actions[2].keys.empty());
  EXPECT_EQ(actions[3].keys, (std::vector<KeyChord>{{0x20}, {0x09, true}, {'7'}}));
}

// KiCad's points: a bare number is millimetres, y points down; units still count.
TEST(ParsePoint, KicadPointsAreMillimetresWithYDown) {
  const struct {
    const char* text;
    Point point;
  } cases[] = {
      {"100,50", {39370079, -19685039}},
      {"0.0254,-0.0254", {10000, 10000}},
      {"10mil,10mil", {100000, -100000}},
      {"1in,0", {10000000, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParsePoint(c.text, nullptr, Coordinates::Kicad), c.point) << c.text;
  std::string why;
  EXPECT_FALSE(ParsePoint("1,x", &why, Coordinates::Kicad));
  EXPECT_THAT(why, HasSubstr("a number of millimetres"));
  // y = -2^31 units turned up is past 32 bits; 2^31 - 1 units turned down is not.
  EXPECT_FALSE(ParsePoint("0,-214748.3648mil", nullptr, Coordinates::Kicad));
  EXPECT_EQ(ParsePoint("0,214748.3647mil", nullptr, Coordinates::Kicad), (Point{0, -2147483647}));
  // The board's own rule is unchanged: a bare decimal is no length there.
  EXPECT_FALSE(ParsePoint("0.5,1"));
}

TEST(WithBoardPoints, RewritesThePointsOnlyAndReadsAsTheScriptDid) {
  const std::string kicad =
      "corner 1,2\n  move 3mm,-4\n# note\nsetup Type, Gerbers\nkey Alt+Y\nclick\nescape";
  const std::string text = WithBoardPoints(kicad, Coordinates::Kicad);
  EXPECT_EQ(
      text,
      "corner 393701,-787402\nmove 1181102,1574803\n# note\nsetup Type, Gerbers\nkey Alt+Y\nclick\nescape");
  const auto actions = ParseScript(kicad, Coordinates::Kicad);
  const auto again = ParseScript(text);
  ASSERT_EQ(again.size(), actions.size());
  for (std::size_t i = 0; i < again.size(); ++i) {
    EXPECT_EQ(again[i].kind, actions[i].kind);
    EXPECT_EQ(again[i].point, actions[i].point);
    EXPECT_EQ(again[i].argument, actions[i].argument);
    EXPECT_EQ(again[i].keys, actions[i].keys);
    EXPECT_EQ(again[i].line, actions[i].line);
  }
  EXPECT_THROW(WithBoardPoints("corner 1,2\nmove 1,y\n", Coordinates::Kicad), ScriptError);
}

}  // namespace
}  // namespace boardtext
