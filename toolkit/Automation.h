// The simulated user. Tests and the command-line host queue user actions on
// the calling thread's message queue; modal loops and ProcessMessages carry
// them out in order, against the form that receives input at that moment.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace toolkit {

class TControl;
class TForm;

// The message that carries a queued action (lParam: the action's id).
inline constexpr uint32_t kAutomationMessage = 0x8000 + 0x0A1;

namespace automation {

// A key press sent to the input form, with the modifier keys held for it.
void PressKey(int virtualKey, bool shift = false, bool ctrl = false, bool alt = false);
// A click on a control of the input form found by name, or else by caption
// ("&" accelerator marks ignored; both without regard to letter case).
void Click(const std::string& target);
// Leaves a check box checked or not: clicks it only when its state differs.
void SetChecked(const std::string& target, bool checked);
// The close button in the caption of the running standard dialog, else in
// the input form's.
void PressCloseButton();
// Answers the running standard dialog (a file dialog: the file's name).
void ChooseFile(const std::string& fileName);
// The help button in the input form's caption, then a click on a control
// (found as Click finds it): the form receives the system's help request
// for the window under the click (a control without a window of its own
// gives its parent's) at the middle of the control.
void PressHelpButton(const std::string& target);
// The pointer comes to rest on a control: it moves to the control's middle
// and the application is asked for the control's tooltip.
void Hover(const std::string& target);
// Runs `look` on the input form at that point of the script, as a user
// looking at the screen would (the command-line host draws a dialog with it).
void Inspect(std::function<void(TForm& form)> look);

// The control of `form` an action aimed at `target` acts on (found as Click
// finds it); nil when there is none.
TControl* FindControl(TForm& form, const std::string& target);

// Actions queued and not yet carried out.
int PendingActions();
// Forgets queued actions and failures (the messages stay queued, they then
// do nothing).
void Reset();
// One line for each action that found nothing to act on, oldest first.
std::vector<std::string> Failures();

}  // namespace automation

// A queued action may be taken by another module than the one that queued
// it: on Windows every module links a toolkit of its own, and a dialog's
// modal loop runs in the module that shows it, while the script that drives
// it was queued by the host. The message carries the queuing module's
// courier (wParam) and the action's id (lParam). The module that takes it
// carries the action out against its own input form and reports back
// through the courier. What crosses is plain values and plain functions,
// and no exception: the one object handed over is the form an inspection
// looks at.
enum class AutomationKind : int32_t { Key, Click, SetChecked, Close, Inspect, HelpButton, Hover, ChooseFile };

struct AutomationTicket {
  AutomationKind kind = AutomationKind::Key;
  int32_t key = 0;
  bool shift = false, ctrl = false, alt = false, checked = false;
  const char* target = "";  // UTF-8; valid until the action is finished
};

inline constexpr char kAutomationCourierSignature[16] = "Automation/1";

struct AutomationCourier {
  char signature[16];             // kAutomationCourierSignature
  const AutomationCourier* self;  // the courier's own address
  // Hands out the action with that id, once; false when there is none
  // (already taken, or forgotten by automation::Reset).
  bool (*take)(intptr_t id, AutomationTicket* ticket);
  // Runs the inspection queued as that id on the form; nil, or the text of
  // the error it raised (valid until the action is finished).
  const char* (*look)(intptr_t id, TForm* form);
  // The action is done; `failure` says why it found nothing to act on (nil
  // when it did).
  void (*finish)(intptr_t id, const char* failure);
};

// Carries out a queued action (the message dispatcher calls this with the
// message's two parameters). A courier that is not one of the process's
// modules' own, or an id it does not know, does nothing: the message number
// is no secret, and another program can post it too.
void PerformAutomationAction(intptr_t courier, intptr_t id);

}  // namespace toolkit
