#include "host/quorvex/Options.h"

#include <CLI/CLI.hpp>
#include <cctype>
#include <ostream>

#include "boardtext/InputScript.h"
#include "boardtext/Lengths.h"
#include "editor/BrelixSim.h"
#include "host/quorvex/validate/Validator.h"

namespace quorvex::cli {
namespace {

// A reason for refusing the arguments, reported as one line.
struct BadArguments {
  std::string message;
};

BoardPoint ParsePoint(const std::string& option, const std::string& text,
                      boardtext::Coordinates coordinates) {
  std::string why;
  const auto point = boardtext::ParsePoint(text, &why, coordinates);
  if (!point) throw BadArguments{option + ": " + why};
  return {point->x, point->y};
}

void Check(bool condition, const std::string& message) {
  if (!condition) throw BadArguments{message};
}

// The same rule as a script's `setup` line. The list goes into the built
// script as one line, so a line break in it would add actions of its own.
void CheckSetupList(const std::string& list) {
  Check(list.find_first_of("\r\n") == std::string::npos, "--setup: the list cannot hold a line break");
  try {
    boardtext::ParseScript("setup " + list);
  } catch (const boardtext::ScriptError& error) {
    std::string why = error.what();
    if (const auto colon = why.find(": "); why.rfind("line ", 0) == 0 && colon != std::string::npos)
      why.erase(0, colon + 2);
    throw BadArguments{"--setup: " + why};
  }
}

Options::StoreFailure ParseStoreFailure(const std::string& text) {
  const auto colon = text.find(':');
  const std::string kind = text.substr(0, colon);
  Check(colon != std::string::npos && (kind == "read" || kind == "write"),
        "--fail-store: expected read:N or write:N, not \"" + text + "\"");
  const std::string number = text.substr(colon + 1);
  int32_t from = 0;
  const bool digits =
      !number.empty() && number.size() <= 9 && number.find_first_not_of("0123456789") == std::string::npos;
  if (digits) from = std::stoi(number);
  Check(from >= 1, "--fail-store: the value number must be a whole number from 1 on, not \"" + number + "\"");
  return {kind == "write", from};
}

// A key with modifiers ("Ctrl+F1", "Shift+Alt+F1", "Alt+Y", "Y"),
// "help:CONTROL" or "hover:CONTROL"; words without regard to letter case.
DialogAction ParseDialogAction(const std::string& text) {
  const auto lower = [](std::string word) {
    for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return word;
  };
  DialogAction action;
  const auto colon = text.find(':');
  if (colon != std::string::npos) {
    const std::string kind = lower(text.substr(0, colon));
    action.control = text.substr(colon + 1);
    Check(kind == "help" || kind == "hover",
          "--dialog-action: \"" + kind + "\" is not help or hover (help:CONTROL, hover:CONTROL)");
    Check(!action.control.empty(), "--dialog-action: " + kind + ": the control name is empty");
    action.kind = kind == "help" ? DialogAction::Kind::HelpButton : DialogAction::Kind::Hover;
    return action;
  }
  std::string why;
  const std::optional<boardtext::KeyChord> key = boardtext::ParseKeyChord(text, &why);
  Check(key.has_value(), "--dialog-action: " + why + "; or help:CONTROL or hover:CONTROL");
  action.key = *key;
  return action;
}

}  // namespace

ParseResult ParseOptions(int argc, const char* const* argv) {
  Options options;
  std::string corner;
  std::string drag;
  std::string failStore;
  CLI::App app{
      "quorvex: the command-line host. Loads Brelix.so and Strativue.so from its own folder, opens the "
      "board file as the current PCB document, runs one command of the plug-in with the user's actions "
      "scripted, and prints the status bar and the message boxes shown. Points (--corner, --drag and in "
      "scripts) are X,Y in board units (1/10000 mil) or numbers with mil, mm or in, y pointing up; on a "
      "KiCad "
      "board they are KiCad's, as pcbnew shows them: millimetres (or numbers with mil, mm or in), y pointing "
      "down.",
      "quorvex"};
  // Options start with "-" on every system: "/path/to/board.json" is a file.
  app.allow_windows_style_options(false);
  app.add_option("board", options.board,
                 "board file (*.board.json or a KiCad *.kicad_pcb) to open as the current PCB document");
  app.add_option("--command", options.command, "command to run (default GenerateCrossSection)");
  app.add_option("--params", options.params,
                 "the command's parameter string, pieces Name=Value separated by |");
  auto* scriptOption =
      app.add_option("--script", options.script, "input script: the user's actions, one per line");
  auto* cornerOption = app.add_option("--corner", corner, "first corner X,Y (answers the prompt)");
  auto* dragOption = app.add_option("--drag", drag, "drag the cursor from the corner to X,Y");
  auto* stepsOption = app.add_option("--steps", options.steps, "cursor moves on the way (default 10)");
  auto* cancelOption =
      app.add_flag("--cancel", options.cancel, "press Escape at the end instead of clicking");
  auto* setupOption =
      app.add_option(
             "--setup", options.setup,
             "open the setup dialog after the drag, leave exactly the listed check boxes checked and press "
             "OK: "
             "a comma-separated list of CopperHeight, Type, Gerbers, DielHeight, Material, Constant and "
             "ExtDielectrics, or all, none, or cancel to press Cancel instead")
          ->take_last();
  auto* outOption = app.add_option("--out", options.out, "save the board to this file after the run");
  auto* inPlaceOption =
      app.add_flag("--in-place", options.inPlace,
                   "KiCad boards: save the board over its own file, the old file kept as NAME.kicad_pcb-bak; "
                   "refused when the file changed on disk during the run");
  app.add_option("--svg", options.svg, "draw the board's objects to this SVG file after the run");
  std::vector<std::string> dialogActions;
  auto* dialogActionOption = app.add_option(
      "--dialog-action", dialogActions,
      "done in the setup dialog each time it opens, before its check boxes are set (repeatable, in order): "
      "F1 (also Shift+F1, Ctrl+F1, Alt+F1 and combinations) presses F1, as Alt+Y, Y, Space or Tab press "
      "those keys, help:CONTROL presses the caption's "
      "help button and clicks the control, hover:CONTROL rests the pointer on the control");
  app.add_option("--dialog-svg", options.dialogSvg,
                 "draw the setup dialog to this SVG file as it opens (each opening replaces the file)")
      ->take_last();
  auto* failStoreOption = app.add_option(
      "--fail-store", failStore,
      "make the host's options store fail from the Nth value read (read:N) or written (write:N) on");
  auto* unitOption = app.add_option("--unit", options.unit,
                                    "KiCad boards: the board's display unit, metric (default) or imperial")
                         ->take_last();
  auto* layerOption = app.add_option("--kicad-layer", options.kicadLayer,
                                     "KiCad boards: the layer the legend is written on (default Cmts.User): "
                                     "Dwgs.User, Cmts.User, Eco1.User, Eco2.User, User.N, F.Fab or B.Fab")
                          ->take_last();
  app.add_option("--active", options.active,
                 "make the active document one of this kind (SCH: a schematic; PCB without a board "
                 "file: a PCB document while the editor has no current board)");
  app.add_option("--machine", options.machine,
                 "folder of the machine root (default: QUORVEX_MACHINE; not on Windows)");
  app.add_flag("--test-mode", options.testMode, "create the registry's test-mode key before the run");
  app.add_flag("--trace", options.trace,
               "print the command state, editor events, journal entries and error reports");

  ParseResult result;
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    result.message = app.help();
    return result;
  } catch (const CLI::ParseError& error) {
    result.exitCode = 2;
    result.message = error.what();
    return result;
  }
  try {
    Check(!options.command.empty(), "--command: the command name is empty");
    const bool shortForms = cornerOption->count() + dragOption->count() + stepsOption->count() > 0;
    Check(cornerOption->count() == dragOption->count(), "--corner and --drag go together");
    Check(stepsOption->count() == 0 || dragOption->count() > 0, "--steps needs --corner and --drag");
    Check(options.steps >= 0 && options.steps <= kMaxSteps,
          "--steps: " + std::to_string(options.steps) + " is outside 0 to " + std::to_string(kMaxSteps));
    Check(scriptOption->count() == 0 || (!shortForms && cancelOption->count() + setupOption->count() == 0),
          "--script excludes --corner, --drag, --steps, --setup and --cancel");
    if (setupOption->count() > 0) CheckSetupList(options.setup);
    if (options.board.empty()) {
      for (const auto* needsBoard :
           {scriptOption, cornerOption, cancelOption, setupOption, dialogActionOption})
        Check(needsBoard->count() == 0, needsBoard->get_name() + " needs a board file");
      Check(options.out.empty(), "--out needs a board file");
      Check(options.svg.empty(), "--svg needs a board file");
    }
    if (failStoreOption->count() > 0) options.failStore = ParseStoreFailure(failStore);
    for (const std::string& text : dialogActions) options.dialogActions.push_back(ParseDialogAction(text));
    const bool kicadBoard = brelix::IsKicadPath(options.board);
    Check(unitOption->count() == 0 || kicadBoard, "--unit needs a KiCad board (*.kicad_pcb)");
    Check(layerOption->count() == 0 || kicadBoard, "--kicad-layer needs a KiCad board (*.kicad_pcb)");
    Check(inPlaceOption->count() == 0 || kicadBoard, "--in-place needs a KiCad board (*.kicad_pcb)");
    Check(inPlaceOption->count() == 0 || outOption->count() == 0, "--in-place excludes --out");
    Check(unitOption->count() == 0 || options.unit == "metric" || options.unit == "imperial",
          "--unit: \"" + options.unit + "\" is not metric or imperial");
    Check(layerOption->count() == 0 || !options.kicadLayer.empty(), "--kicad-layer: the layer name is empty");
    const auto coordinates = kicadBoard ? boardtext::Coordinates::Kicad : boardtext::Coordinates::Board;
    if (cornerOption->count() > 0) options.corner = ParsePoint("--corner", corner, coordinates);
    if (dragOption->count() > 0) options.drag = ParsePoint("--drag", drag, coordinates);
  } catch (const BadArguments& bad) {
    result.exitCode = 2;
    result.message = bad.message;
    return result;
  }
  result.options = std::move(options);
  return result;
}

}  // namespace quorvex::cli

namespace quorvex::validate {

std::optional<int> ParseArguments(int argc, const char* const* argv, CommandLine& commandLine,
                                  std::ostream& out, std::ostream& err) {
  Settings& settings = commandLine.settings;
  CLI::App app{"quorvex validate: runs the conformance checks of a plug-in module, each in a child process.",
               "quorvex validate"};
  app.allow_windows_style_options(false);
  app.add_option("plugin", settings.plugin, "the plug-in module (.so) to validate")->required();
  std::string seed;
  auto* seedOption =
      app.add_option("--seed", seed, "seed of the random scripts and fault choices (default 1)");
  app.add_option("--level", settings.level,
                 "1 load and unload, 2 every slot, 3 the command on every example "
                 "board, 4 under injected faults, 5 with the sanitizers (default 4)")
      ->check(CLI::Range(1, 5));
  app.add_option("--repeat", settings.repeat, "rounds of random scripts per board (default 1)")
      ->check(CLI::Range(1, 1000));
  auto* checkOption = app.add_option("--check", settings.check, "run only the check of this name");
  app.add_option("--boards", settings.boards, "folder of the example boards (*.board.json)");
  app.add_flag("--child", settings.child)->group("");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return 0;
  } catch (const CLI::ParseError& error) {
    err << "quorvex: validate: " << error.what() << '\n';
    return 2;
  }
  if (seedOption->count() > 0) commandLine.seed = seed;
  commandLine.checkGiven = checkOption->count() > 0;
  return std::nullopt;
}

}  // namespace quorvex::validate
