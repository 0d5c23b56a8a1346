#include "boardtext/InputScript.h"

#include <algorithm>
#include <cctype>

#include "boardtext/ScriptText.h"

namespace boardtext {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

[[noreturn]] void Refuse(int line, const std::string& reason) {
  throw ScriptError("line " + std::to_string(line) + ": " + reason);
}

void CheckSetupList(std::string_view list, int line) {
  if (list.empty()) Refuse(line, "setup needs a list of options, all, none or cancel");
  if (SameText(list, "all") || SameText(list, "none") || SameText(list, "cancel")) return;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    const std::string_view name = TrimBlanks(list.substr(start, comma - start));
    const auto& names = SetupOptionNames();
    if (std::none_of(names.begin(), names.end(), [&](const std::string& n) { return SameText(n, name); }))
      Refuse(line, "unknown setup option \"" + std::string(name) + "\"");
    start = comma + 1;
  }
}

}  // namespace

const std::vector<std::string>& SetupOptionNames() {
  static const std::vector<std::string> kNames = {"CopperHeight", "Type",     "Gerbers",       "DielHeight",
                                                  "Material",     "Constant", "ExtDielectrics"};
  return kNames;
}

std::vector<ScriptAction> ParseScript(std::string_view text, Coordinates coordinates) {
  if (const std::string problem = ScriptTextProblem(text); !problem.empty()) throw ScriptError(problem);
  // Editors that save UTF-8 with a byte-order mark put it before the first
  // action; it is no part of the action's word.
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  std::vector<ScriptAction> actions;
  int line = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view raw = TrimBlanks(text.substr(start, end - start));
    start = end + 1;
    ++line;
    if (raw.empty() || raw.front() == '#') continue;
    const std::size_t space = raw.find_first_of(kScriptBlanks);
    const std::string_view word = raw.substr(0, space);
    const std::string_view rest =
        space == std::string_view::npos ? std::string_view{} : TrimBlanks(raw.substr(space));
    ScriptAction action;
    action.line = line;
    if (word == "corner" || word == "move") {
      action.kind = word == "corner" ? ScriptAction::Kind::Corner : ScriptAction::Kind::Move;
      std::string why;
      const auto point = ParsePoint(rest, &why, coordinates);
      if (!point) Refuse(line, std::string(word) + ": " + why);
      action.point = *point;
    } else if (word == "setup") {
      CheckSetupList(rest, line);
      action.kind = ScriptAction::Kind::Setup;
      action.argument = std::string(rest);
    } else if (word == "key") {
      if (actions.empty() || actions.back().kind != ScriptAction::Kind::Setup)
        Refuse(line, "key follows a setup line: its keys are pressed in the setup dialog");
      std::string why;
      const auto chord = ParseKeyChord(rest, &why);
      if (!chord) Refuse(line, "key: " + why);
      actions.back().keys.push_back(*chord);
      continue;
    } else if (word == "click" || word == "escape") {
      if (!rest.empty()) Refuse(line, std::string(word) + " takes no argument");
      action.kind = word == "click" ? ScriptAction::Kind::Click : ScriptAction::Kind::Escape;
    } else {
      Refuse(line, "unknown action \"" + std::string(word) + "\"");
    }
    actions.push_back(std::move(action));
  }
  return actions;
}

std::string WithBoardPoints(std::string_view text, Coordinates coordinates) {
  std::vector<const ScriptAction*> pointAt;  // by line number
  const std::vector<ScriptAction> actions = ParseScript(text, coordinates);
  for (const ScriptAction& action : actions)
    if (action.kind == ScriptAction::Kind::Corner || action.kind == ScriptAction::Kind::Move) {
      if (pointAt.size() <= static_cast<std::size_t>(action.line)) pointAt.resize(action.line + 1, nullptr);
      pointAt[action.line] = &action;
    }
  std::string out;
  int line = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    ++line;
    const ScriptAction* action = static_cast<std::size_t>(line) < pointAt.size() ? pointAt[line] : nullptr;
    if (action)
      out += std::string(action->kind == ScriptAction::Kind::Corner ? "corner " : "move ") +
             std::to_string(action->point.x) + "," + std::to_string(action->point.y);
    else
      out += text.substr(start, end - start);
    if (end < text.size()) out += '\n';
    start = end + 1;
  }
  return out;
}

}  // namespace boardtext
