// quorvex validate from outside: the real plug-in passes level 4, the broken
// fixture fails exactly the checks its faults break, a failing check replays
// alone, and the fault switches of the environment reach the stand-ins.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "generated/BuildPaths.h"
#include "tests/QuorvexRun.h"

namespace {

using testsupport::Arguments;
using testsupport::Concat;
using testsupport::RunQuorvex;
using testsupport::RunResult;

class Validator : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() /
            ("quorvex-validator-test-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(root_);
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  // quorvex validate with `arguments`, in `folder` when one is given.
  static RunResult Validate(const Arguments& arguments, const std::filesystem::path& folder = {}) {
    return RunQuorvex(
        {.arguments = Concat({"validate"}, arguments), .folder = folder, .timeLimit = kTimeLimit});
  }

  // "[name] passed" / "[name] FAILED: reason" lines: name -> "" or reason.
  static std::map<std::string, std::string> Verdicts(const std::string& out) {
    std::map<std::string, std::string> verdicts;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
      if (line.empty() || line[0] != '[') continue;
      const auto close = line.find("] ");
      const std::string rest = line.substr(close + 2);
      verdicts[line.substr(1, close - 1)] =
          rest == "passed" ? "" : rest.substr(std::string("FAILED: ").size());
    }
    return verdicts;
  }

  // A whole validation starts a process for every check and loads the module
  // a hundred times over, far slower under the sanitizers; CTest gives these
  // tests ten minutes.
  static constexpr std::chrono::seconds kTimeLimit{540};
  const std::string kPlugin = STRATIVUE_BIN_DIR "/Strativue.so";
  const std::string kBroken = STRATIVUE_BIN_DIR "/BrokenStrativue.so";
  std::filesystem::path root_;
};

TEST_F(Validator, RealPluginPassesLevelFour) {
  const RunResult run = Validate({"--level", "4", "--seed", "7", kPlugin});
  EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
  const auto verdicts = Verdicts(run.out);
  for (const char* check :
       {"load", "load-unload-100", "slots-server-module", "slots-command-launcher", "command-runs",
        "faults-editor", "faults-host", "faults-platform", "faults-toolkit"})
    EXPECT_EQ(verdicts.count(check), 1u) << check;
  for (const auto& [check, reason] : verdicts) EXPECT_EQ(reason, "") << check;
  EXPECT_NE(run.out.find(std::to_string(verdicts.size()) + " passed, 0 failed"), std::string::npos)
      << run.out;
}

TEST_F(Validator, BrokenFixtureFailsTheChecksItsFaultsBreak) {
  const RunResult run = Validate({"--level", "4", "--seed", "7", kBroken});
  EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
  const auto verdicts = Verdicts(run.out);
#ifdef STRATIVUE_SANITIZED
  // Under the sanitizers the leak checker reports the fixture's leak first, in
  // every check that loads it, by a reason free of process numbers.
  for (const auto& [check, reason] : verdicts) {
    EXPECT_NE(reason.find("LeakSanitizer"), std::string::npos) << check << ": " << reason;
    EXPECT_FALSE(reason.starts_with("==")) << reason;
  }
  return;
#endif
  // The leak: 64 KiB a load, over 90 loads.
  EXPECT_NE(verdicts.at("load-unload-100").find("the module leaks"), std::string::npos);
  EXPECT_NE(verdicts.at("slots-server-module").find("an exception escaped from GetDocument"),
            std::string::npos)
      << verdicts.at("slots-server-module");
  EXPECT_NE(verdicts.at("command-runs").find("1 free editor object(s) left"), std::string::npos)
      << verdicts.at("command-runs");
  EXPECT_NE(verdicts.at("faults-editor").find("free editor object"), std::string::npos);
  // What the fixture forwards untouched still passes.
  // (Its trace export answers lengths that depend on the calling site, as a
  // report naming its caller does.)
  for (const char* check :
       {"load", "slots-options-page", "slots-command-launcher", "slots-process-control", "exports"})
    EXPECT_EQ(verdicts.at(check), "") << check;
  int failed = 0;
  for (const auto& [check, reason] : verdicts) failed += reason.empty() ? 0 : 1;
  EXPECT_NE(run.out.find(std::to_string(verdicts.size() - failed) + " passed, " + std::to_string(failed) +
                         " failed"),
            std::string::npos);
}

TEST_F(Validator, FailingCheckNamesSeedAndReplaysAlone) {
  // The boards in a folder whose name a shell would split at its spaces and
  // end at its quote, unless the replay line quotes it.
  const std::filesystem::path boards = root_ / "the user's boards";
  std::filesystem::copy(STRATIVUE_SOURCE_DIR "/examples/boards", boards);
  const RunResult run = Validate({"--level", "3", "--seed", "11", "--boards", boards.string(), kBroken});
  const std::string marker = "seed 11; replay alone: quorvex validate ";
  const auto at = run.out.find("[command-runs] FAILED");
  ASSERT_NE(at, std::string::npos) << run.out;
  const auto replay = run.out.find(marker, at);
  ASSERT_NE(replay, std::string::npos) << run.out;
  // The replay line as the user pastes it into a shell.
  const std::string line =
      run.out.substr(replay + marker.size(), run.out.find('\n', replay) - replay - marker.size());
  const RunResult alone =
      RunQuorvex({.arguments = {"-c", "exec \"$0\" validate " + line, STRATIVUE_BIN_DIR "/quorvex"},
                  .program = "/bin/sh",
                  .timeLimit = kTimeLimit});
  EXPECT_EQ(alone.exitCode, 1);
  const auto verdicts = Verdicts(alone.out);
  ASSERT_EQ(verdicts.size(), 1u) << alone.out;
  EXPECT_EQ(verdicts.at("command-runs"), Verdicts(run.out).at("command-runs"));
}

TEST_F(Validator, BadArgumentsEndWithStatusTwo) {
  const std::vector<Arguments> refused = {{"--level", "6", "x.so"},
                                          {"--level", "0", "x.so"},
                                          {"--seed", "-1", "x.so"},
                                          {"--repeat", "0", "x.so"},
                                          {}};
  for (const Arguments& arguments : refused) {
    SCOPED_TRACE(::testing::PrintToString(arguments));
    const RunResult run = Validate(arguments);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err.rfind("quorvex: validate: ", 0), 0u) << run.err;
  }
  EXPECT_EQ(Validate({"--check", "no-such-check", kPlugin}).exitCode, 2);
}

// A bare name is the file in the current folder, never a module the loader
// would find along its own search path; the report names the file loaded.
TEST_F(Validator, TheModuleIsTheFileNamedAndTheReportGivesItsFullPath) {
  std::ofstream(root_ / "Strativue.so") << "not a module";
  const RunResult garbage = Validate({"--level", "1", "Strativue.so"}, root_);
  EXPECT_EQ(garbage.exitCode, 1) << garbage.out << garbage.err;
  EXPECT_EQ(garbage.out.rfind("validating " + (root_ / "Strativue.so").string() + " at level 1", 0), 0u)
      << garbage.out;
  EXPECT_NE(garbage.out.find("0 passed, 2 failed"), std::string::npos) << garbage.out;

  const RunResult real = Validate({"--level", "1", "./Strativue.so"}, STRATIVUE_BIN_DIR);
  EXPECT_EQ(real.exitCode, 0) << real.out << real.err;
  EXPECT_EQ(real.out.rfind("validating " + std::filesystem::path(kPlugin).lexically_normal().string(), 0), 0u)
      << real.out;
}

// Each refusal says what is wrong in one short line; nothing out of range is
// silently made to fit.
TEST_F(Validator, SeedsOutOfRangeAndAnEmptyCheckNameAreRefused) {
  const std::string range = "is not a whole number from 0 to 18446744073709551615";
  for (const char* seed : {"-1", "18446744073709551616", "1e3", "0x10", " "}) {
    const RunResult run = Validate({"--seed", seed, kPlugin});
    EXPECT_EQ(run.exitCode, 2) << seed;
    EXPECT_EQ(run.out, "") << seed;
    EXPECT_NE(run.err.find("--seed: "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(range), std::string::npos) << run.err;
    EXPECT_LT(run.err.size(), 120u) << run.err;
  }
  const RunResult largest = Validate({"--seed", "18446744073709551615", "--check", "load", kPlugin});
  EXPECT_EQ(largest.exitCode, 0) << largest.out << largest.err;
  EXPECT_NE(largest.out.find("with seed 18446744073709551615"), std::string::npos) << largest.out;

  const RunResult empty = Validate({"--check", "", kPlugin});
  EXPECT_EQ(empty.exitCode, 2);
  EXPECT_EQ(empty.out, "");
  EXPECT_EQ(empty.err, "quorvex: validate: --check: the check name is empty\n");
}

// Level 5 asks for the sanitizer build; in any other build its first check
// says so instead of passing quietly.
TEST_F(Validator, SanitizerCheckKnowsTheBuild) {
  const RunResult run = Validate({"--check", "sanitizers", kPlugin});
#ifdef STRATIVUE_SANITIZED
  EXPECT_EQ(run.exitCode, 0) << run.out;
#else
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("not built with the address sanitizer"), std::string::npos) << run.out;
#endif
}

// QUORVEX_FAULTS reaches the stand-ins of a plain quorvex run: with the
// editor refusing to read the board the command fails with the plug-in's
// reason; a malformed list is refused before the run.
TEST_F(Validator, EnvironmentArmsFaultPoints) {
  const std::string board = STRATIVUE_SOURCE_DIR "/examples/boards/two-layer.board.json";
  const Arguments arguments = {"--machine", (root_ / "machine").string(), board};
  std::filesystem::create_directories(root_ / "machine");
  const auto withFaults = [&](const std::string& rule) {
    return RunQuorvex({.arguments = arguments, .environment = {{"QUORVEX_FAULTS", rule}}});
  };
  const RunResult faulted = withFaults("editor.QueryBoard");
  EXPECT_EQ(faulted.exitCode, 1) << faulted.out << faulted.err;
  EXPECT_NE(faulted.out.find("error: The editor refused to read the board (source: Strativue.so)"),
            std::string::npos)
      << faulted.out;
  EXPECT_EQ(RunQuorvex({.arguments = arguments}).exitCode, 0);

  const RunResult malformed = withFaults("editor.QueryBoard@0");
  EXPECT_EQ(malformed.exitCode, 2);
  EXPECT_EQ(malformed.err,
            "quorvex: QUORVEX_FAULTS: fault rule 'editor.QueryBoard@0': the call number must be a whole "
            "number from 1\n");
}

}  // namespace
