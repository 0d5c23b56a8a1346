// Runs the built quorvex program in a machine root of the test's own and
// reads what it printed and wrote.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>

#include "generated/BuildPaths.h"
#include "tests/XmlCheck.h"

namespace e2e {

struct RunResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

inline std::string Example(const std::string& name) {
  return std::string(STRATIVUE_SOURCE_DIR) + "/examples/boards/" + name + ".board.json";
}

inline std::string Quote(const std::string& text) { return "'" + text + "'"; }

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

  // quorvex with the test's machine root and `arguments` (quoted by the caller).
  RunResult Run(const std::string& arguments) { return RunOn(Machine().string(), arguments); }
  // The same on the machine root `machine`.
  RunResult RunOn(const std::string& machine, const std::string& arguments) {
    const auto out = root_ / "stdout.txt";
    const auto err = root_ / "stderr.txt";
    const std::string command = Quote(STRATIVUE_BIN_DIR "/quorvex") + " --machine " + Quote(machine) + " " +
                                arguments + " >" + Quote(out.string()) + " 2>" + Quote(err.string());
    const int status = std::system(command.c_str());
    RunResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadText(out);
    result.err = ReadText(err);
    return result;
  }

  // Refused with status 2 and one line on standard error naming `expected`,
  // nothing printed, and neither of two outputs written.
  void ExpectRefused(const std::string& arguments, const std::string& expected) {
    SCOPED_TRACE(arguments);
    const auto result =
        Run(arguments + " --out " + Quote(File("out.json")) + " --svg " + Quote(File("out.svg")));
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("quorvex: ", 0), 0u) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_NE(result.err.find(expected), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(File("out.json")));
    EXPECT_FALSE(std::filesystem::exists(File("out.svg")));
  }

  std::filesystem::path Machine() const { return root_ / "machine"; }
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
};

}  // namespace e2e
