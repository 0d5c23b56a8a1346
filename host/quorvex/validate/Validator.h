// quorvex validate: the plug-in conformance validator. Runs named checks on a
// plug-in module, each in a child process of its own, and reports one line
// per check; see docs/Validator.md.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

namespace quorvex::validate {

struct Settings {
  uint64_t seed = 1;
  int level = 4;
  int repeat = 1;
  std::string plugin;  // path of the module under test
  std::string boards;  // folder of the example boards
  std::string check;   // run only this check (empty: every check of the level)
  bool child = false;  // this process runs `check` itself
  std::string programFolder;
};

// The command line of `quorvex validate ARGS...` as given: the settings, and
// what Main checks further (the seed as written, whether --check was given).
struct CommandLine {
  Settings settings;
  std::optional<std::string> seed;
  bool checkGiven = false;
};

// Reads the command line (argv[0] is "validate") over `commandLine`, which holds
// the defaults. Answers nothing when the run goes on, or the exit status after
// printing the help (0) or the refusal (2). Defined with quorvex's own command
// line in Options.cpp, the one unit that compiles the command-line parser.
std::optional<int> ParseArguments(int argc, const char* const* argv, CommandLine& commandLine,
                                  std::ostream& out, std::ostream& err);

// Runs `quorvex validate ARGS...` (argv[0] is "validate"). Answers the exit
// status: 0 when every check passed, 1 when one failed, 2 for bad arguments.
int Main(int argc, const char* const* argv, const std::string& programFolder, std::ostream& out,
         std::ostream& err);

}  // namespace quorvex::validate
