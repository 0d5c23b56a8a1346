// Files from colleagues and tools, used carelessly: outputs that would
// destroy something, runs that fail halfway, scripts and machine files that
// are not what they should be, and values that would break a line or a
// drawing. Nothing is lost and nothing hangs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <set>
#include <string>

#include "QuorvexE2eTest.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

using HostileFilesE2eTest = QuorvexE2eTest;

TEST_F(HostileFilesE2eTest, OutputsThatWouldDestroyAFileAreRefusedBeforeTheRun) {
  const std::string board = BoardCopy();
  const std::string original = ReadText(board);
  const auto refused = [&](const Arguments& arguments, const std::string& expected) {
    SCOPED_TRACE(::testing::PrintToString(arguments));
    const auto result = Run(Concat({board}, arguments));
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find(expected), std::string::npos) << result.err;
    EXPECT_EQ(ReadText(board), original);
  };
  refused({"--svg", board}, "--svg: " + board + " is a file the run reads");
  refused({"--out", root_.string() + "/./machine/../board.board.json"}, "is a file the run reads");
  refused({"--out", File("x.json"), "--svg", File("x.json")}, "--svg: " + File("x.json") + " is also --out");
  WriteFile("actions.txt", "escape\n");
  refused({"--script", File("actions.txt"), "--out", File("actions.txt")}, "a file the run reads");
  EXPECT_EQ(ReadText(File("actions.txt")), "escape\n");

  ASSERT_EQ(::mkfifo(File("fifo").c_str(), 0600), 0);
  refused({"--out", File("fifo")}, "--out: " + File("fifo") + " is not a regular file");
  EXPECT_TRUE(fs::is_fifo(File("fifo")));
  fs::create_directory(File("folder.svg"));
  refused({"--svg", File("folder.svg")}, "is not a regular file (a folder)");
  EXPECT_FALSE(fs::exists(File("out.json")));
}

TEST_F(HostileFilesE2eTest, ALinkIsWrittenThroughAndNoOtherFileIsTouched) {
  const std::string board = BoardCopy();
  WriteFile("real.json", "old");
  fs::create_symlink("real.json", File("link.json"));
  WriteFile("link.json.part", "someone's file");
  const auto result = Run({board, "--cancel", "--out", File("link.json")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(fs::is_symlink(File("link.json")));
  EXPECT_EQ(ReadText(File("real.json")), ReadText(board)) << "a cancelled run saves the board unchanged";
  EXPECT_EQ(ReadText(File("link.json.part")), "someone's file");
  EXPECT_EQ(Entries(), (std::set<std::string>{"board.board.json", "link.json", "link.json.part", "machine",
                                              "real.json"}));
}

TEST_F(HostileFilesE2eTest, ARunWhoseLastOutputFailsWritesNoFileAtAll) {
  // The name is too long for the file system: only writing it can fail.
  const std::string svg = File(std::string(300, 's') + ".svg");
  const auto result = Run({BoardCopy(), "--out", File("out.json"), "--svg", svg});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("cannot write"), std::string::npos) << result.err;
  EXPECT_FALSE(fs::exists(File("out.json")));
  EXPECT_EQ(Entries(), (std::set<std::string>{"board.board.json", "machine"})) << "no temporary left";
}

// A rename that fails after another output was renamed undoes that one:
// a replaced file gets its old text back, a new one is removed.
TEST_F(HostileFilesE2eTest, AFailedRenameLeavesEveryOutputAsItWas) {
  const std::string board = BoardCopy();
  const Arguments arguments = {board, "--cancel", "--out", File("out.json"), "--svg", File("out.svg")};
  const auto runFailing = [&](const std::string& rule) {
    SCOPED_TRACE(rule);
    const auto result = RunWith({.arguments = arguments, .environment = {{"QUORVEX_FAULTS", rule}}});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("cannot replace"), std::string::npos) << result.err;
  };
  for (const char* rule : {"quorvex.RenameOutput@1", "quorvex.RenameOutput@2"}) {
    runFailing(rule);
    EXPECT_EQ(Entries(), (std::set<std::string>{"board.board.json", "machine"}));
  }
  WriteFile("out.json", "the old board");
  WriteFile("out.svg", "<svg/>");
  for (const char* rule : {"quorvex.RenameOutput@1", "quorvex.RenameOutput@2"}) {
    runFailing(rule);
    EXPECT_EQ(ReadText(File("out.json")), "the old board");
    EXPECT_EQ(ReadText(File("out.svg")), "<svg/>");
    EXPECT_EQ(Entries(), (std::set<std::string>{"board.board.json", "machine", "out.json", "out.svg"}));
  }
  const auto result = Run(arguments);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ReadText(File("out.json")), ReadText(board));
  EXPECT_NE(ReadText(File("out.svg")), "<svg/>");
  EXPECT_EQ(Entries(), (std::set<std::string>{"board.board.json", "machine", "out.json", "out.svg"}))
      << "no backup is left behind";
}

TEST_F(HostileFilesE2eTest, ScriptsMustBeBoundedUtf8TextFiles) {
  const std::string board = BoardCopy();
  fs::create_directory(File("folder"));
  ExpectRefused({board, "--script", File("folder")}, File("folder") + ": is a folder, not a file");
  ExpectRefused({board, "--script", "/dev/zero"}, "/dev/zero: is larger than 64 MiB; not a script");
  WriteFile("nul.txt", std::string("corner 0,0\nmove 1,1\0escape\n", 28));
  ExpectRefused({board, "--script", File("nul.txt")}, File("nul.txt") + ": line 2: holds a NUL byte");
  WriteFile("latin1.txt", "corner 0,0\n# caf\xE9\nclick\n");
  ExpectRefused({board, "--script", File("latin1.txt")}, File("latin1.txt") + ": line 2: is not UTF-8");
}

TEST_F(HostileFilesE2eTest, BrokenMachineFilesAreRefusedAndNothingIsRewritten) {
  const std::string board = BoardCopy();
  const std::string broken =
      "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\nnot a value\r\n";
  WriteFile("machine/registry.reg", broken);
  ExpectRefused({board}, Machine().string() + "/registry.reg, line 4: expected a value line");
  ExpectRefused({board, "--test-mode"}, "registry.reg, line 4");
  EXPECT_EQ(ReadText(Machine() / "registry.reg"), broken);
  fs::remove(Machine() / "registry.reg");

  WriteFile("plain.txt", "not a folder");
  const auto onFile = RunOn(File("plain.txt"), {board, "--cancel"});
  EXPECT_EQ(onFile.exitCode, 2);
  EXPECT_NE(onFile.err.find("the machine root " + File("plain.txt") + " is not a folder"), std::string::npos)
      << onFile.err;

  fs::create_directories(Machine() / "C/Users/user/AppData/Roaming/Quorvex/Host.ini");
  ExpectRefused({board}, "Host.ini is a folder, not a file");
}

// Test mode creates one key; the rest of the registry file is the user's.
TEST_F(HostileFilesE2eTest, TestModeAddsItsKeyAndKeepsEveryOtherByte) {
  const std::string original =
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n; the team's settings\r\n"
      "[HKEY_CURRENT_USER\\Software\\Team]\r\n"
      "\"Lone\"=hex(1):00,d8,00,00\r\n"
      "\"Nuls\"=hex(1):41,00,00,00,42,00,00,00\r\n"
      "\"Bytes\"=hex:01,02,\\\r\n  03\r\n";
  WriteFile("machine/registry.reg", original);
  const auto first = Run({BoardCopy(), "--cancel", "--test-mode"});
  EXPECT_NE(first.exitCode, 2) << first.err;
  const std::string after = ReadText(Machine() / "registry.reg");
  EXPECT_EQ(after.substr(0, original.size()), original);
  EXPECT_EQ(after.substr(original.size()),
            "\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Verdane]\r\n"
            "\r\n[HKEY_LOCAL_MACHINE\\Software\\Verdane\\TestMode]\r\n");
  // The key is there now: a second run changes nothing and writes nothing.
  const auto time = fs::last_write_time(Machine() / "registry.reg");
  Run({BoardCopy(), "--cancel", "--test-mode"});
  EXPECT_EQ(ReadText(Machine() / "registry.reg"), after);
  EXPECT_EQ(fs::last_write_time(Machine() / "registry.reg"), time);
}

TEST_F(HostileFilesE2eTest, ControlCharactersNeitherSplitAMessageNorBreakTheDrawing) {
  ExpectRefused({File("two\nlines.board.json")}, "two\\nlines.board.json: cannot be read");

  std::string text = ReadText(BoardCopy());
  const std::string objects = R"("objects": [])";
  ASSERT_NE(text.find(objects), std::string::npos);
  text.replace(
      text.find(objects), objects.size(),
      R"("objects": [{"kind": "text", "layer": 33, "x": 0, "y": 0, "size": 600000, "width": 100000, )"
      R"("rotation": 0, "text": "A\u0001B\uFFFEC\u001b\u0000"}])");
  WriteFile("controls.board.json", text);
  const auto result = Run({File("controls.board.json"), "--cancel", "--svg", File("controls.svg")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  // TearDown parses the drawing; what XML forbids is gone or replaced.
  EXPECT_NE(ReadText(File("controls.svg"))
                .find(">AB\xEF\xBF\xBD"
                      "C</text>"),
            std::string::npos);
}

}  // namespace
}  // namespace e2e
