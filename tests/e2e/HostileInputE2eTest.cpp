// A hostile user's second round, by concern: outputs that would replace what
// the run itself reads or loads, outputs written apart from the others, runs
// that share a machine root at once, and messages that must say what is
// true and show what is there.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "QuorvexE2eTest.h"
#include "generated/BuildPaths.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

const char* const kOptionsStore = "C/Users/user/AppData/Roaming/Quorvex/Options/Brelix.ini";

class HostileInputE2eTest : public QuorvexE2eTest {
 protected:
  // A drag on the board that opens the setup dialog.
  Arguments SetupDrag(const std::string& list) {
    return {BoardCopy(), "--corner", "0,0", "--drag", "1000mil,1000mil", "--steps", "1", "--setup", list};
  }
  // Refused with status 2 and one line naming `expected` on standard error.
  static void ExpectOneLineRefusal(const RunResult& result, const std::string& expected) {
    EXPECT_EQ(result.exitCode, 2) << result.out << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_NE(result.err.find(expected), std::string::npos) << result.err;
  }
};

using OutputSafetyE2eTest = HostileInputE2eTest;

// The machine root's files (the registry, the options store, the
// dictionary, settings), the modules and the program are never replaced by
// an output: the next run would fail.
TEST_F(OutputSafetyE2eTest, NoOutputMayNameAFileTheRunReadsOrLoads) {
  const std::string board = BoardCopy();
  WriteLegacySettings(false);
  WriteFile("machine/registry.reg",
            "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Team]\r\n");
  ASSERT_EQ(Run(SetupDrag("Type")).exitCode, 0);
  const std::string registry = ReadText(Machine() / "registry.reg");
  const std::string store = ReadText(Machine() / kOptionsStore);
  ASSERT_NE(store, "");
  const auto refused = [&](const std::string& option, const fs::path& path, const std::string& what) {
    SCOPED_TRACE(option + " " + path.string());
    const auto result = Run({board, "--test-mode", option, path.string()});
    ExpectOneLineRefusal(result, option + ": " + path.string() + " is " + what);
    EXPECT_EQ(result.out, "");
  };
  const std::string machineFile = "in the machine root, whose files the run reads";
  refused("--out", Machine() / "registry.reg", machineFile);
  refused("--svg", Machine() / kOptionsStore, machineFile);
  refused("--dialog-svg", Machine() / "C/Users/user/AppData/Roaming/Quorvex/Dictionary.json", machineFile);
  refused("--out", Machine() / "C/Windows/vemtro.ini", "a file the run reads");
  refused("--out", Machine() / "machine.ini", machineFile);
  EXPECT_EQ(ReadText(Machine() / "registry.reg"), registry);
  EXPECT_EQ(ReadText(Machine() / kOptionsStore), store);
  EXPECT_FALSE(fs::exists(Machine() / "machine.ini"));

  // A copy of the program with its modules, so that a fault cannot break the build's.
  const fs::path bin = root_ / "bin";
  fs::create_directories(bin);
  for (const char* file : {"quorvex", "Brelix.so", "Strativue.so"})
    fs::copy_file(fs::path(STRATIVUE_BIN_DIR) / file, bin / file);
  const auto runCopy = [&](const std::string& option, const std::string& file, const std::string& what) {
    SCOPED_TRACE(option + " " + file);
    const std::string before = ReadText(bin / file);
    const auto result =
        RunWith({.arguments = {board, option, (bin / file).string()}, .program = (bin / "quorvex").string()});
    ExpectOneLineRefusal(result, (bin / file).string() + " is " + what);
    EXPECT_EQ(ReadText(bin / file), before);
  };
  runCopy("--out", "Strativue.so", "a module the run loads");
  runCopy("--svg", "Brelix.so", "a module the run loads");
  runCopy("--out", "quorvex", "the program itself");
}

// --dialog-svg is one of the run's outputs: written with the others or not
// at all, whichever of them fails.
TEST_F(OutputSafetyE2eTest, TheDialogsDrawingIsWrittenWithTheOtherOutputsOrNotAtAll) {
  const std::string tooLong = File(std::string(300, 'x') + ".svg");
  const auto drag = [&](const std::string& out, const std::string& svg, const std::string& dialog) {
    return Concat(SetupDrag("all"), {"--out", out, "--svg", svg, "--dialog-svg", dialog});
  };
  BoardCopy();
  const std::set<std::string> before = Entries();

  const auto renameFails = RunWith({.arguments = drag(File("o.json"), File("o.svg"), File("d.svg")),
                                    .environment = {{"QUORVEX_FAULTS", "quorvex.RenameOutput@1"}}});
  EXPECT_EQ(renameFails.exitCode, 2) << renameFails.err;
  EXPECT_EQ(Entries(), before);

  const auto outFails = Run(drag(tooLong, File("o.svg"), File("d.svg")));
  EXPECT_EQ(outFails.exitCode, 2);
  EXPECT_EQ(Entries(), before);

  const auto dialogFails = Run(drag(File("o.json"), File("o.svg"), tooLong));
  EXPECT_EQ(dialogFails.exitCode, 2);
  EXPECT_NE(dialogFails.err.find("cannot write"), std::string::npos) << dialogFails.err;
  EXPECT_EQ(Entries(), before);

  const auto written = Run(drag(File("o.json"), File("o.svg"), File("d.svg")));
  ASSERT_EQ(written.exitCode, 0) << written.err;
  EXPECT_NE(ReadText(File("d.svg")).find("Strativue Setup"), std::string::npos);
  EXPECT_TRUE(fs::exists(File("o.json")));
}

using ConcurrencyE2eTest = HostileInputE2eTest;

// Two users' runs on one machine root at once, each choosing its own
// columns: afterwards the store holds one of the two choices whole.
// scripts/setup-race.sh runs twenty such pairs.
TEST_F(ConcurrencyE2eTest, RunsSharingAMachineRootLeaveOneWholeChoiceInTheStore) {
  WriteLegacySettings(false);
  const Arguments drag = {Example("two-layer"), "--corner", "0,0", "--drag",
                          "1000mil,1000mil",    "--steps",  "1"};
  const std::vector<std::string> keys = {"CopperHeight", "Gerbers",  "Type",          "DielHeight",
                                         "Material",     "Constant", "ExtDielectrics"};
  const auto choice = [&] {
    const std::string store = ReadText(Machine() / kOptionsStore);
    std::string values;
    for (const std::string& key : keys)
      values += store.find(key + "=-1") != std::string::npos  ? '1'
                : store.find(key + "=0") != std::string::npos ? '0'
                                                              : '?';
    return values;
  };
  for (int pair = 0; pair < 4; ++pair) {
    SCOPED_TRACE(pair);
    fs::remove(Machine() / kOptionsStore);
    QuorvexProcess first = Start(Concat(drag, {"--setup", "Type,Gerbers,DielHeight,Constant"}));
    QuorvexProcess second = Start(Concat(drag, {"--setup", "CopperHeight,Material,ExtDielectrics"}));
    for (QuorvexProcess* run : {&first, &second}) {
      const RunResult result = run->Wait();
      EXPECT_EQ(result.exitCode, 0) << result.err;
      EXPECT_EQ(result.err, "");
    }
    const std::string held = choice();
    EXPECT_TRUE(held == "0111010" || held == "1000101") << held;
  }
}

using MessagesE2eTest = HostileInputE2eTest;

TEST_F(MessagesE2eTest, AnUnknownCommandIsOneLineAndStatusOneWithNothingWritten) {
  const auto result = Run({BoardCopy(), "--command", "Nope", "--out", File("out.json")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "quorvex: --command: the plug-in has no command \"Nope\"\n");
  EXPECT_FALSE(fs::exists(File("out.json")));
  EXPECT_EQ(Run({BoardCopy(), "--command", "generatecrosssection", "--cancel"}).exitCode, 0);
}

// A dialog action naming no control of the dialog is a bad argument, found
// when the dialog opens: the run writes nothing and stores no choice.
TEST_F(MessagesE2eTest, ADialogActionNamingNoControlIsRefusedWithTheControlsName) {
  WriteLegacySettings(false);
  const std::vector<Arguments> actions = {
      {"--dialog-action", "help:Nope"},
      {"--dialog-action", "hover:Nope"},
      {"--dialog-action", "hover:chType", "--dialog-action", "help:Nope"}};
  for (const Arguments& action : actions) {
    SCOPED_TRACE(::testing::PrintToString(action));
    const auto result = Run(
        Concat(Concat(SetupDrag("all"), action), {"--out", File("o.json"), "--dialog-svg", File("d.svg")}));
    ExpectOneLineRefusal(result, "the setup dialog has no control \"Nope\"");
    EXPECT_FALSE(fs::exists(File("o.json")));
    EXPECT_FALSE(fs::exists(File("d.svg")));
    EXPECT_FALSE(fs::exists(Machine() / kOptionsStore));
  }
  const auto named =
      Run(Concat(SetupDrag("all"), {"--dialog-action", "help:chType", "--dialog-action", "hover:Type"}));
  EXPECT_EQ(named.exitCode, 0) << named.err;
}

// A script saved with a byte-order mark runs; a character that shows
// nothing is shown escaped where it makes a line wrong.
TEST_F(MessagesE2eTest, AScriptMayStartWithAByteOrderMarkAndInvisibleCharactersAreShown) {
  WriteFile("bom.txt",
            "\xEF\xBB\xBF"
            "corner 0,0\nmove 100mil,100mil\nclick\n");
  const auto bom = Run({BoardCopy(), "--script", File("bom.txt"), "--out", File("o.json")});
  EXPECT_EQ(bom.exitCode, 0) << bom.err;
  EXPECT_FALSE(SavedObjects("o.json").empty());

  WriteFile("hidden.txt",
            "corner 0,0\n\xE2\x80\x8B"
            "click\n");
  ExpectRefused({BoardCopy(), "--script", File("hidden.txt")}, "unknown action \"\\u200bclick\"");
  WriteFile("late-bom.txt",
            "corner 0,0\n\xEF\xBB\xBF"
            "click\n");
  ExpectRefused({BoardCopy(), "--script", File("late-bom.txt")}, "line 2: unknown action \"\\ufeffclick\"");
}

// Board files: a length limit counted in bytes says so, and a whole number
// beyond 64 bits is out of range rather than "fractional".
TEST_F(MessagesE2eTest, BoardFieldsAreRefusedForWhatIsReallyWrong) {
  std::string text = ReadText(Example("two-layer"));
  const auto replaced = [&](const std::string& from, const std::string& to) {
    std::string changed = text;
    const auto at = changed.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return changed.replace(at, from.size(), to);
  };
  std::string accents;
  for (int i = 0; i < 128; ++i) accents += "\xC3\xA9";
  const auto fileName = text.find("\"fileName\": \"");
  ASSERT_NE(fileName, std::string::npos);
  const auto nameEnd = text.find('"', fileName + 13);
  WriteFile("long.board.json",
            replaced(text.substr(fileName, nameEnd + 1 - fileName), "\"fileName\": \"" + accents + "\""));
  ExpectRefused({File("long.board.json")},
                "fileName: is 256 bytes long in UTF-8 (128 characters); at most 255 bytes are allowed");

  const auto height = text.find("\"height\": ");
  ASSERT_NE(height, std::string::npos);
  const auto heightEnd = text.find_first_of(",}", height);
  WriteFile("huge.board.json",
            replaced(text.substr(height, heightEnd - height), "\"height\": 12345678901234567890123456789"));
  ExpectRefused({File("huge.board.json")}, "height: must be from -2147483648 to 2147483647");
}

// File kinds go by extension whatever its letter case.
TEST_F(MessagesE2eTest, AKicadExtensionInCapitalsIsStillAKicadBoard) {
  WriteFile("plain.KICAD_PCB",
            "(kicad_pcb (version 20211014) (generator pcbnew)\n"
            "  (general (thickness 1.6))\n"
            "  (layers (0 \"F.Cu\" signal) (31 \"B.Cu\" signal) (41 \"Cmts.User\" user \"User.Comments\")\n"
            "    (44 \"Edge.Cuts\" user))\n"
            "  (gr_rect (start 0 0) (end 50 -30) (layer \"Edge.Cuts\") (width 0.1) (tstamp 1))\n"
            ")\n");
  const auto result = Run({File("plain.KICAD_PCB"), "--out", File("out.Kicad_Pcb")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ReadText(File("out.Kicad_Pcb")).rfind("(kicad_pcb", 0), 0u);
  const auto json = Run({BoardCopy(), "--out", File("out.KICAD_PCB")});
  EXPECT_EQ(json.exitCode, 2);
  EXPECT_NE(json.err.find("a KiCad board can only be written from a board read from a KiCad file"),
            std::string::npos)
      << json.err;
}

}  // namespace
}  // namespace e2e
