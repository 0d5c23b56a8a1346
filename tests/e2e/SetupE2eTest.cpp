// The setup dialog during placement, end to end: quorvex plays the user who
// opens it after the drag, sets its check boxes and presses OK or Cancel.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "QuorvexE2eTest.h"

namespace e2e {
namespace {

using nlohmann::json;

class SetupE2eTest : public QuorvexE2eTest {
 protected:
  // A drag on the six-layer board with these extra options; the saved board.
  std::string Drag(const Arguments& options, const std::string& out) {
    const auto result = Run(
        Concat(Concat({Example("six-layer"), "--corner", "0,0", "--drag", "6000mil,4000mil", "--steps", "3"},
                      options),
               {"--out", File(out)}));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return ReadText(File(out));
  }
  std::vector<std::string> TextsOf(const std::string& out) const {
    std::vector<std::string> texts;
    for (const json& object : SavedObjects(out))
      if (object["kind"] == "text") texts.push_back(object["text"].get<std::string>());
    return texts;
  }
};

// What the dialog hands over must give exactly the legend the same flags give
// from their other sources: the legacy file (all seven) and the parameter
// string (the six columns).
TEST_F(SetupE2eTest, TheDialogsChoiceMakesTheSameLegendAsTheSameFlagsFromElsewhere) {
  WriteLegacySettings(false);
  const std::string all = Drag({"--setup", "all"}, "setup-all.json");
  const std::string typeOnly = Drag({"--setup", "type"}, "setup-type.json");
  WriteLegacySettings(true);
  EXPECT_EQ(all, Drag({}, "legacy-all.json"));
  EXPECT_EQ(typeOnly, Drag({"--params", "Type=True"}, "params-type.json"));

  const std::vector<std::string> texts = TextsOf("setup-all.json");
  for (const char* row : {"Top Solder Mask", "Bottom Solder Mask", "(.GTL)", "Thickness", "Material", "Type"})
    EXPECT_NE(std::find(texts.begin(), texts.end(), row), texts.end()) << row;
  // Name and type: the header keeps "Name" and "Type" and loses the others.
  const std::vector<std::string> typeTexts = TextsOf("setup-type.json");
  for (const char* shown : {"Name", "Type", "Core", "PrePreg"})
    EXPECT_NE(std::find(typeTexts.begin(), typeTexts.end(), shown), typeTexts.end()) << shown;
  for (const char* hidden : {"Top Solder Mask", "(.GTL)", "Thickness", "Material", "Constant", "FR-4"})
    EXPECT_EQ(std::find(typeTexts.begin(), typeTexts.end(), hidden), typeTexts.end()) << hidden;
}

TEST_F(SetupE2eTest, CancelKeepsTheLegendAndEscapeAfterASetupCommitsNothing) {
  WriteLegacySettings(true);
  EXPECT_EQ(Drag({"--setup", "cancel"}, "cancelled-setup.json"), Drag({}, "no-setup.json"));
  EXPECT_EQ(Drag({"--setup", "all", "--cancel"}, "escaped.json"), ReadText(Example("six-layer")));
}

// The store keeps the choice for the next opening; the dialog's picture shows
// what the store held when it opened.
TEST_F(SetupE2eTest, TheChoiceIsKeptInTheOptionsStoreAndTheDialogIsDrawnAsItOpens) {
  WriteLegacySettings(false);
  Drag({"--setup", "Type,Material"}, "first.json");
  const std::string store = ReadText(Machine() / "C/Users/user/AppData/Roaming/Quorvex/Options/Brelix.ini");
  EXPECT_NE(store.find("Type=-1"), std::string::npos) << store;
  EXPECT_NE(store.find("Gerbers=0"), std::string::npos) << store;

  Drag({"--setup", "all", "--dialog-svg", File("dialog.svg")}, "second.json");
  const std::string svg = ReadText(File("dialog.svg"));
  EXPECT_NE(svg.find("Strativue Setup"), std::string::npos);
  EXPECT_NE(svg.find("Type"), std::string::npos);
}

// A script's key lines are pressed in the dialog its setup line opens, after
// the list has set the boxes and before OK: Alt+Y and Y reach "T&ype", Alt+P
// "Co&pper thickness", an unused letter nothing, and Space the box that has
// the focus.
TEST_F(SetupE2eTest, ScriptKeysPressAcceleratorsInTheDialog) {
  struct Case {
    std::string keys;
    std::string copper, type;
  };
  const std::vector<Case> cases = {
      {"key Alt+Y\nkey Y\nkey Alt+P\nkey Alt+Q\n", "0", "-1"},
      {"key Alt+Y\nkey alt+p\nkey Q\nkey Space\n", "-1", "0"},
  };
  const std::string store = (Machine() / "C/Users/user/AppData/Roaming/Quorvex/Options/Brelix.ini").string();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    WriteFile("keys.txt", "corner 0,0\nmove 6000mil,4000mil\nsetup all\n" + c.keys + "click\n");
    const auto result = Run({Example("six-layer"), "--script", File("keys.txt")});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string stored = ReadText(store);
    EXPECT_NE(stored.find("CopperHeight=" + c.copper), std::string::npos) << stored;
    EXPECT_NE(stored.find("Type=" + c.type), std::string::npos) << stored;
    for (const char* untouched :
         {"Gerbers=-1", "DielHeight=-1", "Material=-1", "Constant=-1", "ExtDielectrics=-1"})
      EXPECT_NE(stored.find(untouched), std::string::npos) << stored;
  }
}

TEST_F(SetupE2eTest, KeyLinesOutsideASetupOrNamingNoKeyAreRefused) {
  const std::vector<std::pair<std::string, std::string>> scripts = {
      {"corner 0,0\nkey Alt+Y\nclick\n", "line 2: key follows a setup line"},
      {"corner 0,0\nsetup all\nkey Alt+F2\nclick\n", "line 3: key: \"Alt+F2\" is not a key"},
  };
  for (const auto& [script, expected] : scripts) {
    WriteFile("bad.txt", script);
    ExpectRefused({Example("two-layer"), "--script", File("bad.txt")}, expected);
  }
}

TEST_F(SetupE2eTest, InTestModeOpeningTheDialogIsTheLastLineAndEndsWithOne) {
  WriteLegacySettings(false);
  const auto result = Run({Example("two-layer"), "--corner", "0,0", "--drag", "100mil,100mil", "--steps", "1",
                           "--setup", "all", "--test-mode"});
  EXPECT_EQ(result.exitCode, 1) << result.err;
  EXPECT_TRUE(result.out.ends_with("\nRunning modal dialog TLegendSetupDialog Strativue Setup\n"))
      << result.out;
}

// A write that fails leaves the dialog open; the error reaches the user as a
// message box and the input then runs out, which closes the dialog.
TEST_F(SetupE2eTest, AFailingStoreShowsTheErrorAndTheLegendKeepsItsColumns) {
  WriteLegacySettings(true);
  const std::string failed = Drag({"--setup", "none", "--fail-store", "write:2"}, "failed.json");
  EXPECT_EQ(failed, Drag({}, "plain.json"));
}

}  // namespace
}  // namespace e2e
