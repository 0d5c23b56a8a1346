// Levels 3 and 4: the command on every example board with random scripts,
// first as the user would run it, then with the stand-ins' calls failing one
// fault point at a time (platform/FaultPoints.h).
#include <functional>
#include <nlohmann/json.hpp>
#include <sstream>

#include "boardtext/InputScript.h"
#include "host/Host.h"
#include "host/quorvex/validate/Checks.h"
#include "platform/FaultPoints.h"

namespace quorvex::validate {
namespace {

using nlohmann::json;

constexpr int kScriptsPerBoard = 6;
constexpr int64_t kMil = 10000;

// A random user: the first corner, moves in all four directions, now and
// then the setup dialog on the way (random columns, all, none, or Cancel),
// then a click or Escape; now and then Escape at the first prompt.
struct Script {
  std::string text;
  bool commits = false;
};

std::string RandomSetupList(const std::function<int64_t(int64_t, int64_t)>& uniform) {
  switch (uniform(0, 5)) {
    case 0:
      return "cancel";
    case 1:
      return "all";
    case 2:
      return "none";
    default:
      break;
  }
  std::string list;
  for (const std::string& name : boardtext::SetupOptionNames())
    if (uniform(0, 1) == 0) list += (list.empty() ? "" : ",") + name;
  return list.empty() ? "none" : list;
}

Script RandomScript(std::mt19937_64& random) {
  const std::function<int64_t(int64_t, int64_t)> uniform = [&](int64_t low, int64_t high) {
    return std::uniform_int_distribution<int64_t>(low, high)(random);
  };
  std::ostringstream text;
  if (uniform(0, 7) == 0) return {"escape\n", false};
  int64_t x = uniform(-20000, 20000) * kMil, y = uniform(-20000, 20000) * kMil;
  text << "corner " << x << ',' << y << '\n';
  for (int64_t moves = uniform(0, 8); moves > 0; --moves) {
    if (uniform(0, 5) == 0) text << "setup " << RandomSetupList(uniform) << '\n';
    const int64_t distance = uniform(0, 5000) * kMil;
    switch (uniform(0, 3)) {
      case 0:
        x += distance;
        break;
      case 1:
        x -= distance;
        break;
      case 2:
        y += distance;
        break;
      default:
        y -= distance;
        break;
    }
    text << "move " << x << ',' << y << '\n';
  }
  const bool commits = uniform(0, 1) == 0;
  text << (commits ? "click\n" : "escape\n");
  return {text.str(), commits};
}

std::string FileName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

// One board opened in the editor with a view in the host, restored to its
// file's state before each run.
class BoardUnderTest {
 public:
  BoardUnderTest(CheckContext& context, const std::string& path) : context_(context), name_(FileName(path)) {
    const char* error = nullptr;
    const qvabi::PcbHandle board = context.editor.OpenBoardFile(path.c_str(), &error);
    Expect(board != 0, "cannot open " + path + ": " + (error ? error : "refused"));
    text_ = context.editor.BoardText(board);
    context.editor.Reset();
  }

  const std::string& name() const { return name_; }

  // Opens the board afresh as the current board with its view current, and
  // queues the script.
  void Open(const std::string& script) {
    context_.editor.Reset();
    const char* error = nullptr;
    board_ = context_.editor.OpenBoardText(text_.c_str(), name_.c_str(), &error);
    Expect(board_ != 0, name_ + " no longer opens: " + (error ? error : "refused"));
    Expect(context_.editor.SetInputScript(board_, script.c_str(), &error) != 0,
           std::string("the editor refused a script: ") + (error ? error : ""));
    context_.host.OpenPcbView(json::parse(text_)["fileName"].get<std::string>());
  }

  std::string Text() const { return context_.editor.BoardText(board_); }

  // What a run may leave: no free object, and either the board as it was
  // or with only the legend's tracks, arcs and texts added on its current
  // layer. `mustBeUnchanged` for runs that cannot have committed.
  void Verify(const std::string& before, bool mustBeUnchanged, const std::string& run) const {
    const int32_t live = context_.editor.LiveObjectCount();
    const int32_t kept = context_.editor.BoardObjectCount(board_);
    Expect(live == kept,
           run + ": " + std::to_string(live - kept) + " free editor object(s) left after the run");
    const std::string after = Text();
    if (after == before) return;
    Expect(!mustBeUnchanged, run + ": the board changed although the run was cancelled");
    json old = json::parse(before), now = json::parse(after);
    const json oldObjects = old["objects"], newObjects = now["objects"];
    Expect(newObjects.size() >= oldObjects.size(), run + ": objects of the board were removed");
    for (std::size_t i = 0; i < oldObjects.size(); ++i)
      Expect(newObjects[i] == oldObjects[i], run + ": object " + std::to_string(i) + " of the board changed");
    const json layer = now["currentLayer"];
    for (std::size_t i = oldObjects.size(); i < newObjects.size(); ++i) {
      const json& added = newObjects[i];
      const std::string kind = added.value("kind", "");
      Expect(kind == "track" || kind == "arc" || kind == "text",
             run + ": the run added a " + kind + " object");
      Expect(added["layer"] == layer, run + ": the run added a " + kind + " on layer " +
                                          added["layer"].dump() + " instead of the current layer " +
                                          layer.dump());
    }
    old.erase("objects");
    now.erase("objects");
    Expect(old == now, run + ": the run changed the board beyond its contents");
  }

 private:
  CheckContext& context_;
  std::string name_;
  std::string text_;
  qvabi::PcbHandle board_ = 0;
};

qvabi::HRESULT Launch(CheckContext& context, qvabi::ICommandLauncher* launcher) {
  return Call("ICommandLauncher::LaunchCommand", [&] {
    return launcher->LaunchCommand("GenerateCrossSection", "", 0, context.host.CurrentView());
  });
}

void CommandRuns(CheckContext& context) {
  context.LoadEditor();
  qvabi::ICommandLauncher* launcher = context.Launcher(context.LoadPlugin());
  for (const std::string& path : context.BoardFiles()) {
    BoardUnderTest board(context, path);
    for (int round = 0; round < kScriptsPerBoard * context.settings.repeat; ++round) {
      const Script script = RandomScript(context.random);
      const std::string run = board.name() + " run " + std::to_string(round + 1);
      context.Step(run);
      board.Open(script.text);
      const std::string before = board.Text();
      Expect(Launch(context, launcher) == qvabi::S_OK, run + ": LaunchCommand failed");
      board.Verify(before, !script.commits, run);
      if (script.commits)
        Expect(board.Text() != before, run + ": a committed run added nothing to the board");
    }
  }
}

// One way of running the command, to be repeated with each fault.
struct Scenario {
  std::string name;
  std::string script;
  bool cancelled = false;
  bool withView = true;
};

void RunScenario(CheckContext& context, qvabi::ICommandLauncher* launcher, BoardUnderTest& board,
                 const Scenario& scenario, const std::string& run, bool underFault) {
  board.Open(scenario.script);
  if (!scenario.withView) context.host.SetCurrentView(nullptr);
  const std::string before = board.Text();
  const qvabi::HRESULT status = Launch(context, launcher);
  platform::faults::Clear();
  if (underFault)
    Expect(status == qvabi::S_OK || status == qvabi::E_UNEXPECTED,
           run + ": LaunchCommand answered neither S_OK nor E_UNEXPECTED");
  else
    Expect(status == qvabi::S_OK, run + ": LaunchCommand failed without a fault");
  board.Verify(before, scenario.cancelled || !scenario.withView, run);
}

// Learns which fault points of `kind` each scenario goes through, then runs
// it again with each point failing: at every call, at the first, the last
// and one call picked by the seed.
void FaultRuns(CheckContext& context, const std::string& kind) {
  context.LoadEditor();
  qvabi::ICommandLauncher* launcher = context.Launcher(context.LoadPlugin());
  const std::vector<std::string> files = context.BoardFiles();
  int failedCalls = 0;
  for (int round = 0; round < context.settings.repeat; ++round) {
    BoardUnderTest board(
        context, files[std::uniform_int_distribution<std::size_t>(0, files.size() - 1)(context.random)]);
    // A committed drag that goes through the setup dialog's OK, so that
    // the dialog's calls are failed too.
    const auto throughSetup = [](const Script& script) {
      return script.commits && script.text.find("\nsetup ") != std::string::npos &&
             script.text.find("setup cancel") == std::string::npos;
    };
    Script commit = RandomScript(context.random);
    while (!throughSetup(commit)) commit = RandomScript(context.random);
    const std::vector<Scenario> scenarios = {
        {"a committed drag", commit.text, false, true},
        {"a cancelled drag", "corner 0,0\nmove 30000000,20000000\nescape\n", true, true},
        {"a run without a view", "", true, false},
    };
    for (const Scenario& scenario : scenarios) {
      const std::string where = scenario.name + " on " + board.name();
      context.Step("counting the calls of " + where);
      platform::faults::Clear();
      RunScenario(context, launcher, board, scenario, where, false);
      // RunScenario cleared the counts after the launch; count again.
      board.Open(scenario.script);
      if (!scenario.withView) context.host.SetCurrentView(nullptr);
      platform::faults::ResetCounts();
      Launch(context, launcher);
      const auto counts = platform::faults::Counts();
      platform::faults::Clear();
      for (const auto& [point, calls] : counts) {
        if (!point.starts_with(kind + ".")) continue;
        std::vector<int64_t> picks = {0, 1, calls,
                                      std::uniform_int_distribution<int64_t>(1, calls)(context.random)};
        std::sort(picks.begin(), picks.end());
        picks.erase(std::unique(picks.begin(), picks.end()), picks.end());
        for (int64_t nth : picks) {
          const std::string rule = nth == 0 ? point : point + "@" + std::to_string(nth);
          const std::string run = where + " with " + rule + " failing";
          context.Step(run);
          board.Open(scenario.script);
          if (!scenario.withView) context.host.SetCurrentView(nullptr);
          platform::faults::Arm({point, nth, {}});
          const std::string before = board.Text();
          const qvabi::HRESULT status = Launch(context, launcher);
          platform::faults::Clear();
          Expect(status == qvabi::S_OK || status == qvabi::E_UNEXPECTED,
                 run + ": LaunchCommand answered neither S_OK nor E_UNEXPECTED");
          board.Verify(before, scenario.cancelled || !scenario.withView, run);
          ++failedCalls;
        }
      }
    }
  }
  Expect(failedCalls > 0, "the command made no " + kind + " call that can fail");
}

}  // namespace

void AddCommandChecks(std::vector<Check>& checks) {
  checks.push_back({"command-runs", 3, CommandRuns});
  for (const char* kind : {"editor", "host", "platform", "toolkit"})
    checks.push_back({std::string("faults-") + kind, 4,
                      [kind = std::string(kind)](CheckContext& c) { FaultRuns(c, kind); }});
}

}  // namespace quorvex::validate
