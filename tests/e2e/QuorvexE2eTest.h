// The end-to-end tests' fixture: quorvex run in a machine root of the test's
// own, and what it printed and wrote.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <set>
#include <string>

#include "generated/BuildPaths.h"
#include "tests/QuorvexRun.h"
#include "tests/XmlCheck.h"

namespace e2e {

using testsupport::Arguments;
using testsupport::Concat;
using testsupport::QuorvexCall;
using testsupport::QuorvexProcess;
using testsupport::ReadText;
using testsupport::RunResult;

inline std::string Example(const std::string& name) {
  return std::string(STRATIVUE_SOURCE_DIR) + "/examples/boards/" + name + ".board.json";
}

class QuorvexE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    root_ = std::filesystem::temp_directory_path() /
            ("quorvex-e2e-" + std::to_string(std::random_device{}()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "machine");
  }
  void TearDown() override {
    // Every drawing a run wrote must be XML a viewer can open.
    std::error_code ec;
    for (std::filesystem::recursive_directory_iterator it(root_, ec), end; !ec && it != end; it.increment(ec))
      if (it->is_regular_file() && it->path().extension() == ".svg") {
        EXPECT_EQ(testing_support::XmlProblem(ReadText(it->path())), "") << it->path();
      }
    std::filesystem::remove_all(root_);
  }

  // quorvex on the test's machine root with `arguments`.
  RunResult Run(const Arguments& arguments) { return RunWith({.arguments = arguments}); }
  // The same with the rest of `call` (environment, program).
  RunResult RunWith(QuorvexCall call) {
    return testsupport::RunQuorvex(OnMachine(Machine(), std::move(call)));
  }
  // On the machine root `machine`.
  RunResult RunOn(const std::filesystem::path& machine, const Arguments& arguments) {
    return testsupport::RunQuorvex(OnMachine(machine, {.arguments = arguments}));
  }
  // Started on the test's machine root, for the test to wait for.
  QuorvexProcess Start(const Arguments& arguments) {
    return QuorvexProcess(OnMachine(Machine(), {.arguments = arguments}));
  }

  // Refused with status 2 and one line on standard error naming `expected`,
  // nothing printed, and neither of two outputs written.
  void ExpectRefused(const Arguments& arguments, const std::string& expected) {
    SCOPED_TRACE(::testing::PrintToString(arguments));
    const auto result = Run(Concat(arguments, {"--out", File("out.json"), "--svg", File("out.svg")}));
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("quorvex: ", 0), 0u) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_NE(result.err.find(expected), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(File("out.json")));
    EXPECT_FALSE(std::filesystem::exists(File("out.svg")));
  }

  std::filesystem::path Machine() const { return root_ / "machine"; }
  // A copy of the two-layer example in the test's folder, so that a fault
  // cannot damage the examples.
  std::string BoardCopy() const {
    const std::string copy = File("board.board.json");
    if (!std::filesystem::exists(copy)) std::filesystem::copy_file(Example("two-layer"), copy);
    return copy;
  }
  // The names in the test's folder.
  std::set<std::string> Entries() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(root_))
      names.insert(entry.path().filename().string());
    return names;
  }
  std::string File(const std::string& name) const { return (root_ / name).string(); }

  // The legacy settings file of the machine, every flag as given.
  void WriteLegacySettings(bool on) {
    const auto folder = Machine() / "C" / "Windows";
    std::filesystem::create_directories(folder);
    std::ofstream ini(folder / "vemtro.ini");
    ini << "[SETTINGS]\r\n";
    for (const char* key :
         {"CopperHeight", "Type", "Gerbers", "DielHeight", "Material", "Constant", "ExtDielectrics"})
      ini << key << "=" << (on ? 1 : 0) << "\r\n";
  }

  void WriteFile(const std::string& name, const std::string& text) const {
    std::ofstream(root_ / name, std::ios::binary) << text;
  }

  // The objects of a saved board file.
  nlohmann::json SavedObjects(const std::string& name) const {
    return nlohmann::json::parse(ReadText(root_ / name))["objects"];
  }

  std::filesystem::path root_;

 private:
  static QuorvexCall OnMachine(const std::filesystem::path& machine, QuorvexCall call) {
    call.arguments = Concat({"--machine", machine.string()}, call.arguments);
    return call;
  }
};

}  // namespace e2e
