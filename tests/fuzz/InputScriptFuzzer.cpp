// Feeds arbitrary text to the input-script reader. A refusal names a line
// of the text; an accepted script lists its actions in line order, and the
// actions written out again, one per line, read back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "boardtext/InputScript.h"

namespace {

using boardtext::ScriptAction;

std::string Write(const std::vector<ScriptAction>& actions) {
  std::string text;
  for (const ScriptAction& action : actions) {
    switch (action.kind) {
      case ScriptAction::Kind::Corner:
      case ScriptAction::Kind::Move:
        text += action.kind == ScriptAction::Kind::Corner ? "corner " : "move ";
        text += std::to_string(action.point.x) + "," + std::to_string(action.point.y);
        break;
      case ScriptAction::Kind::Setup:
        text += "setup " + action.argument;
        break;
      case ScriptAction::Kind::Click:
        text += "click";
        break;
      case ScriptAction::Kind::Escape:
        text += "escape";
        break;
    }
    text += '\n';
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  int lines = 1;
  for (char c : text) lines += c == '\n' ? 1 : 0;
  std::vector<ScriptAction> actions;
  try {
    actions = boardtext::ParseScript(text);
  } catch (const boardtext::ScriptError& error) {
    const std::string what = error.what();
    if (what.rfind("line ", 0) != 0) std::abort();
    const int line = std::atoi(what.c_str() + 5);
    if (line < 1 || line > lines || what.find(": ", 5) == std::string::npos) std::abort();
    return 0;
  }
  int previous = 0;
  for (const ScriptAction& action : actions) {
    if (action.line <= previous || action.line > lines) std::abort();
    previous = action.line;
    if (action.argument.find('\n') != std::string::npos) std::abort();
  }
  std::vector<ScriptAction> again;
  try {
    again = boardtext::ParseScript(Write(actions));
  } catch (const boardtext::ScriptError&) {
    std::abort();  // its own actions refused
  }
  if (again.size() != actions.size()) std::abort();
  for (std::size_t i = 0; i < again.size(); ++i) {
    const ScriptAction& a = actions[i];
    const ScriptAction& b = again[i];
    if (a.kind != b.kind || a.point != b.point || a.argument != b.argument) std::abort();
    if (b.line != static_cast<int>(i) + 1) std::abort();
  }
  return 0;
}
