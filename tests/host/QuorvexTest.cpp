// The command-line host, run as a separate program.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "HostTestSession.h"
#include "generated/BuildPaths.h"
#include "tests/QuorvexRun.h"

namespace quorvex::test {
namespace {

using testsupport::Arguments;
using testsupport::Concat;
using testsupport::ReadText;
using testsupport::RunQuorvex;

class QuorvexTest : public HostTest {
 protected:
  static testsupport::RunResult Run(const Arguments& arguments) {
    return RunQuorvex({.arguments = arguments});
  }
  Arguments Machine() const { return {"--machine", root_ + "/machine"}; }
};

// Without a board there is no view: the plug-in's command tells the user so.
TEST_F(QuorvexTest, LoadsThePlugInAndPrintsItsModuleName) {
  const auto result = Run(Machine());
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            "module: Strativue\nmessage Information: Active window is not of type PCB document.\n");
  EXPECT_EQ(result.err, "");
}

TEST_F(QuorvexTest, AsksTheStateAndLaunchesTheNamedCommand) {
  const auto result =
      Run(Concat(Machine(), {"--command", "generatecrosssection", "--params", "A=1|B=2", "--trace"}));
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out.rfind("module: Strativue\nstate generatecrosssection: disabled\n", 0), 0u)
      << result.out;
}

// The launcher answers a name it does not know with success and does
// nothing: the host says so instead, after loading the plug-in.
TEST_F(QuorvexTest, AnUnknownCommandIsOneLineAndStatusOne) {
  const auto result = Run(Concat(Machine(), {"--command", "NoSuchCommand", "--trace"}));
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "module: Strativue\n");
  EXPECT_EQ(result.err, "quorvex: --command: the plug-in has no command \"NoSuchCommand\"\n");
}

TEST_F(QuorvexTest, TestModeCreatesTheRegistryKey) {
  const auto result = Run(Concat(Machine(), {"--test-mode"}));
  EXPECT_EQ(result.exitCode, 1) << result.err;
  const std::string registry = ReadText(std::filesystem::path(root_) / "machine" / "registry.reg");
  EXPECT_NE(registry.find("[HKEY_LOCAL_MACHINE\\Software\\Verdane\\TestMode]"), std::string::npos)
      << registry;
}

TEST_F(QuorvexTest, BadArgumentsEndWithOneLineAndStatusTwo) {
  for (const Arguments& arguments :
       std::vector<Arguments>{{"--bogus"}, {"--command"}, {"--command", ""}, {"stray"}}) {
    SCOPED_TRACE(::testing::PrintToString(arguments));
    const auto result = Run(Concat(Machine(), arguments));
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("quorvex: ", 0), 0u) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  }
}

TEST_F(QuorvexTest, HelpListsTheOptions) {
  const auto result = Run({"--help"});
  EXPECT_EQ(result.exitCode, 0);
  for (const char* option : {"--command", "--params", "--machine", "--test-mode", "--trace"})
    EXPECT_NE(result.out.find(option), std::string::npos) << option;
}

TEST_F(QuorvexTest, ABrokenHostSettingsFileIsRefused) {
  const auto folder =
      std::filesystem::path(root_) / "machine" / "C" / "Users" / "user" / "AppData" / "Roaming" / "Quorvex";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "Host.ini") << "[Preferences]\r\nUseLuna=often\r\n";
  const auto result = Run(Machine());
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find("UseLuna"), std::string::npos) << result.err;
}

TEST_F(QuorvexTest, AMissingModuleIsAOneLineErrorWithStatusTwo) {
  // A copy of the program in a folder without the modules beside it.
  const auto lonely = std::filesystem::path(root_) / "lonely";
  std::filesystem::create_directories(lonely);
  std::filesystem::copy_file(STRATIVUE_BIN_DIR "/quorvex", lonely / "quorvex");
  const auto result = RunQuorvex({.arguments = Machine(),
                                  .environment = {{"LD_LIBRARY_PATH", STRATIVUE_BIN_DIR}},
                                  .program = (lonely / "quorvex").string()});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find("Brelix.so"), std::string::npos) << result.err;
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
}

}  // namespace
}  // namespace quorvex::test
