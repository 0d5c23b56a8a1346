// The user in front of the setup dialog. When the editor runs a script's
// `setup` action it calls the hook installed here right before it asks the
// plug-in to open the dialog; the hook queues what the user then does in the
// dialog's modal loop: look at it (--dialog-svg), ask for help in it
// (--dialog-action), set the seven check boxes, press the keys of the
// script's `key` lines, press OK, or press Cancel.
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "boardtext/ScriptText.h"
#include "host/HostStatus.h"
#include "host/quorvex/Reporting.h"
#include "host/quorvex/Steps.h"
#include "host/quorvex/UserActions.h"
#include "platform/Locale.h"
#include "toolkit/Automation.h"
#include "toolkit/FormSvg.h"

namespace quorvex::cli {
namespace {

// The script's option names and the check boxes of the dialog that show them.
constexpr std::pair<std::string_view, std::string_view> kBoxes[] = {{"CopperHeight", "chCopperThickness"},
                                                                    {"Type", "chType"},
                                                                    {"Gerbers", "chGerberExtension"},
                                                                    {"DielHeight", "chHeight"},
                                                                    {"Material", "chMaterial"},
                                                                    {"Constant", "chConstant"},
                                                                    {"ExtDielectrics", "chXtDielectrics"}};

bool Same(std::string_view a, std::string_view b) { return platform::CompareTextIgnoreCase(a, b) == 0; }

// The editor's own blanks: the list was checked by that rule.
std::string_view Trim(std::string_view text) { return boardtext::TrimBlanks(text); }

// Whether the list (already checked by the editor) names the option.
bool Listed(std::string_view list, std::string_view option) {
  if (Same(list, "all")) return true;
  while (!list.empty()) {
    const auto comma = list.find(',');
    if (Same(Trim(list.substr(0, comma)), option)) return true;
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return false;
}

void PressKey(const boardtext::KeyChord& key) {
  toolkit::automation::PressKey(key.virtualKey, key.shift, key.ctrl, key.alt);
}

// Staged with the run's other outputs: written only when all of them are.
void DrawDialog(Session& session, toolkit::TForm& form) {
  std::string error;
  if (!session.outputs.Stage(session.options.dialogSvg, toolkit::DrawFormSvg(form), &error)) {
    ReportError(session, error);
    session.outputFailed = true;
  }
}

// A help or hover action must name a control of the dialog: one that names
// none is a bad argument, found as the dialog opens. The user's queued
// actions are then dropped and the dialog cancelled, so that the refused run
// changes no stored choice.
void CheckDialogControls(Session& session, toolkit::TForm& form) {
  for (const DialogAction& action : session.options.dialogActions) {
    if (action.kind == DialogAction::Kind::Key || toolkit::automation::FindControl(form, action.control))
      continue;
    ReportError(session, "--dialog-action: " +
                             std::string(action.kind == DialogAction::Kind::Hover ? "hover:" : "help:") +
                             action.control + ": the setup dialog has no control \"" + action.control + "\"");
    session.badArgument = true;
    toolkit::automation::Reset();
    toolkit::automation::Click("ButtonCancel");
    return;
  }
}

void OnSetup(void* context, const char* argument) {
  Session& session = *static_cast<Session*>(context);
  const std::string_view list = Trim(argument ? argument : "");
  if (session.badArgument) {
    toolkit::automation::Click("ButtonCancel");
    return;
  }
  toolkit::automation::Inspect([&session](toolkit::TForm& form) { CheckDialogControls(session, form); });
  if (!session.options.dialogSvg.empty())
    toolkit::automation::Inspect([&session](toolkit::TForm& form) { DrawDialog(session, form); });
  for (const DialogAction& action : session.options.dialogActions) {
    switch (action.kind) {
      case DialogAction::Kind::Key:
        PressKey(action.key);
        break;
      case DialogAction::Kind::HelpButton:
        toolkit::automation::PressHelpButton(action.control);
        break;
      case DialogAction::Kind::Hover:
        toolkit::automation::Hover(action.control);
        break;
    }
  }
  std::vector<boardtext::KeyChord> keys;
  if (!session.setupKeys.empty()) {
    keys = std::move(session.setupKeys.front());
    session.setupKeys.pop_front();
  }
  QueueSetupChoice(list, keys);
}

}  // namespace

void QueueSetupChoice(std::string_view list, const std::vector<boardtext::KeyChord>& keys) {
  list = Trim(list);
  const bool cancel = Same(list, "cancel");
  if (!cancel)
    for (const auto& [option, box] : kBoxes)
      toolkit::automation::SetChecked(std::string(box), Listed(list, option));
  for (const boardtext::KeyChord& key : keys) PressKey(key);
  toolkit::automation::Click(cancel ? "ButtonCancel" : "ButtonOK");
}

StepResult PrepareSetupUser(Session& session) {
  session.editor.SetSetupHook(&OnSetup, &session);
  if (const auto& failure = session.options.failStore)
    FailOptionsFrom(failure->write ? OptionsAccess::Write : OptionsAccess::Read, failure->from,
                    std::string("The options store cannot be ") + (failure->write ? "written" : "read") +
                        " (--fail-store)");
  return StepResult::Next();
}

}  // namespace quorvex::cli
