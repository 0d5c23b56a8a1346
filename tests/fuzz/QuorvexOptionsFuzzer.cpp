// Feeds arbitrary command lines to quorvex's option parser (the input split
// into arguments at zero bytes). Every line ends in options, help or a
// refusal with a reason; accepted options keep every rule the run relies on,
// and a setup list goes into the drag's script as exactly one action.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "boardtext/InputScript.h"
#include "host/quorvex/Options.h"

namespace {

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

void CheckAccepted(const quorvex::cli::Options& options) {
  if (options.command.empty()) std::abort();
  if (options.steps < 0 || options.steps > quorvex::cli::kMaxSteps) std::abort();
  if (options.corner.has_value() != options.drag.has_value()) std::abort();
  if (!options.script.empty() && (options.corner || options.cancel || !options.setup.empty())) std::abort();
  if (!options.setup.empty()) {
    if (HasLineBreak(options.setup)) std::abort();
    std::vector<boardtext::ScriptAction> actions;
    try {
      actions = boardtext::ParseScript("setup " + options.setup + "\n");
    } catch (const boardtext::ScriptError&) {
      std::abort();  // accepted here, refused by the editor
    }
    if (actions.size() != 1 || actions[0].kind != boardtext::ScriptAction::Kind::Setup) std::abort();
  }
  if (options.board.empty() &&
      (!options.script.empty() || options.corner || options.cancel || !options.setup.empty() ||
       !options.dialogActions.empty() || !options.out.empty() || !options.svg.empty()))
    std::abort();
  for (const auto& action : options.dialogActions)
    if (action.kind != quorvex::cli::DialogAction::Kind::Key && action.control.empty()) std::abort();
  if (options.failStore && options.failStore->from < 1) std::abort();
  if (!options.unit.empty() && options.unit != "metric" && options.unit != "imperial") std::abort();
  if ((!options.unit.empty() || !options.kicadLayer.empty()) && !options.board.ends_with(".kicad_pcb"))
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::vector<std::string> arguments = {"quorvex"};
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (std::size_t start = 0; start <= text.size() && arguments.size() < 64;) {
    const std::size_t end = std::min(text.find('\0', start), text.size());
    arguments.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  const auto result = quorvex::cli::ParseOptions(static_cast<int>(argv.size()), argv.data());
  if (result.options) {
    if (result.exitCode != 0) std::abort();
    CheckAccepted(*result.options);
  } else if (result.exitCode == 2) {
    if (result.message.empty()) std::abort();  // refused without a reason
  } else if (result.exitCode != 0 || result.message.find("--setup") == std::string::npos) {
    std::abort();  // neither options, a refusal nor the help text
  }
  return 0;
}
