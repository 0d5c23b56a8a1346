#include "host/quorvex/validate/Validator.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <limits>
#include <optional>
#include <random>
#include <sstream>
#include <string_view>

#include "host/Host.h"
#include "host/quorvex/Reporting.h"
#include "host/quorvex/validate/Checks.h"
#include "host/quorvex/validate/ChildProcess.h"
#include "platform/FaultPoints.h"
#include "platform/Machine.h"

namespace quorvex::validate {
namespace {

// `word` as a shell reads it back as one word: as it is when it holds only
// characters no shell treats specially, else quoted (paths with spaces).
std::string ShellWord(const std::string& word) {
  const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) ||
           std::string_view("_-+=./:,@%").find(c) != std::string_view::npos;
  });
  if (plain) return word;
#if defined(_WIN32)
  // Windows paths hold no double quote.
  return '"' + word + '"';
#else
  std::string quoted = "'";
  for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
#endif
}

// The command line that runs `check` alone, for the user to copy.
std::string Arguments(const Settings& settings, const std::string& check) {
  std::ostringstream text;
  text << "--seed " << settings.seed << " --level " << settings.level << " --repeat " << settings.repeat
       << " --check " << ShellWord(check);
  if (!settings.boards.empty()) text << " --boards " << ShellWord(settings.boards);
  text << ' ' << ShellWord(settings.plugin);
  return text.str();
}

ChildOutcome RunChild(const Settings& settings, const std::string& check) {
  std::vector<std::string> arguments = {"validate", "--child",
                                        "--seed",   std::to_string(settings.seed),
                                        "--level",  std::to_string(settings.level),
                                        "--repeat", std::to_string(settings.repeat),
                                        "--check",  check};
  if (!settings.boards.empty()) {
    arguments.push_back("--boards");
    arguments.push_back(settings.boards);
  }
  arguments.push_back(settings.plugin);
  return RunSelf(arguments);
}

// A new folder of its own in the temporary folder; empty when none could be
// made.
std::string NewTemporaryFolder() {
  std::mt19937_64 random{std::random_device{}()};
  std::error_code ec;
  const auto parent = std::filesystem::temp_directory_path(ec);
  if (ec) return {};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[40];
    std::snprintf(name, sizeof name, "quorvex-validate-%012llx",
                  static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
    const auto folder = parent / name;
    // Made here, not found: another run's folder is never taken over.
    if (std::filesystem::create_directory(folder, ec)) return folder.string();
    if (ec) return {};
  }
  return {};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// A sanitizer report line without its "==PID==" prefix, so that a replay of
// the check gives the very same reason.
std::string WithoutProcessId(const std::string& line) {
  if (!line.starts_with("==")) return line;
  const auto end = line.find("==", 2);
  return end == std::string::npos ? line : line.substr(end + 2);
}

// The reason a check failed, from its child's output and end; empty when it
// passed.
std::string Verdict(const ChildOutcome& outcome) {
  std::string result, lastStep, sanitizer;
  for (const std::string& line : Lines(outcome.output)) {
    if (line.starts_with("result: ")) result = line.substr(8);
    if (line.starts_with("step: ")) lastStep = line.substr(6);
    if (sanitizer.empty() && (line.find("ERROR: AddressSanitizer") != std::string::npos ||
                              line.find("ERROR: LeakSanitizer") != std::string::npos ||
                              line.find("runtime error:") != std::string::npos))
      sanitizer = WithoutProcessId(line);
  }
  const std::string during = lastStep.empty() ? std::string() : " during " + lastStep;
  if (outcome.timedOut) return "timed out after " + std::to_string(kChildSeconds) + " s" + during;
  if (!outcome.crash.empty())
    return "crashed with " + outcome.crash + during + (sanitizer.empty() ? "" : ": " + sanitizer);
  const int code = outcome.code;
  if (!sanitizer.empty()) return sanitizer + during;
  if (code == 0 && result == "passed") return {};
  if (result.starts_with("FAILED: ")) return result.substr(8);
  if (!outcome.started) return "the validator could not start its child process";
  return "the child ended with status " + std::to_string(code) + " without a verdict" + during;
}

// Runs one check in this process: the child's side.
int RunHere(const Settings& settings) {
  const auto& checks = AllChecks();
  const auto found =
      std::find_if(checks.begin(), checks.end(), [&](const Check& c) { return c.name == settings.check; });
  if (found == checks.end()) {
    std::cout << "result: FAILED: no check named " << settings.check << std::endl;
    return 1;
  }
  LimitRunningTime(kChildSeconds);
  const std::string root = NewTemporaryFolder();
  if (root.empty()) {
    std::cout << "result: FAILED: cannot create a machine root in "
              << std::filesystem::temp_directory_path().string() << std::endl;
    return 1;
  }
  platform::SetMachineRoot(root);
  platform::faults::Clear();
  Host& host = Host::Instance();
  CheckContext context{
      settings, host, {}, std::mt19937_64(settings.seed ^ std::hash<std::string>{}(found->name))};
  std::string failure;
  try {
    found->run(context);
  } catch (const CheckFailure& error) {
    failure = error.what();
  } catch (const std::exception& error) {
    failure = std::string("the validator stopped: ") + error.what();
  }
  platform::faults::Clear();
  context.Step("unloading");
  try {
    host.Reset();
  } catch (const std::exception& error) {
    if (failure.empty()) failure = std::string("an exception escaped while unloading: ") + error.what();
  }
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  std::cout << "result: " << (failure.empty() ? "passed" : "FAILED: " + failure) << std::endl;
  return failure.empty() ? 0 : 1;
}

// The module a path names, as a full path: a name without a folder is the
// file in the current folder, never one the loader would find along its
// search path.
std::string ModulePath(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

// A seed is a whole number of 64 bits; anything else is refused rather than
// wrapped or clamped into one.
std::optional<uint64_t> ParseSeed(const std::string& text) {
  uint64_t seed = 0;
  const char* end = text.data() + text.size();
  const auto [stop, ec] = std::from_chars(text.data(), end, seed);
  if (text.empty() || ec != std::errc() || stop != end) return std::nullopt;
  return seed;
}

}  // namespace

int Main(int argc, const char* const* argv, const std::string& programFolder, std::ostream& out,
         std::ostream& err) {
  CommandLine commandLine;
  commandLine.settings.programFolder = programFolder;
  commandLine.settings.boards = STRATIVUE_EXAMPLE_BOARDS;
  if (const auto exitCode = ParseArguments(argc, argv, commandLine, out, err)) return *exitCode;
  Settings& settings = commandLine.settings;
  if (commandLine.seed) {
    const auto parsed = ParseSeed(*commandLine.seed);
    if (!parsed) {
      err << "quorvex: validate: --seed: \"" << cli::OneLine(*commandLine.seed)
          << "\" is not a whole number from 0 to " << std::numeric_limits<uint64_t>::max() << '\n';
      return 2;
    }
    settings.seed = *parsed;
  }
  if (commandLine.checkGiven && settings.check.empty()) {
    err << "quorvex: validate: --check: the check name is empty\n";
    return 2;
  }
  settings.plugin = ModulePath(settings.plugin);
  if (settings.child) return RunHere(settings);

  std::vector<const Check*> selected;
  for (const Check& check : AllChecks())
    if (settings.check.empty() ? check.level <= settings.level : check.name == settings.check)
      selected.push_back(&check);
  if (selected.empty()) {
    err << "quorvex: validate: no check named " << settings.check << '\n';
    return 2;
  }
  out << "validating " << settings.plugin << " at level " << settings.level << " with seed " << settings.seed
      << '\n';
  int passed = 0, failed = 0;
  for (const Check* check : selected) {
    const std::string reason = Verdict(RunChild(settings, check->name));
    if (reason.empty()) {
      ++passed;
      out << '[' << check->name << "] passed" << std::endl;
      continue;
    }
    ++failed;
    out << '[' << check->name << "] FAILED: " << reason << '\n'
        << "  seed " << settings.seed << "; replay alone: quorvex validate "
        << Arguments(settings, check->name) << std::endl;
  }
  out << passed << " passed, " << failed << " failed" << std::endl;
  return failed == 0 ? 0 : 1;
}

}  // namespace quorvex::validate
