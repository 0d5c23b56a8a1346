// The simulated user. Tests and the command-line host queue user actions on
// the calling thread's message queue; modal loops and ProcessMessages carry
// them out in order, against the form that receives input at that moment.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace toolkit {

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

// Actions queued and not yet carried out.
int PendingActions();
// Forgets queued actions and failures (the messages stay queued, they then
// do nothing).
void Reset();
// One line for each action that found nothing to act on, oldest first.
std::vector<std::string> Failures();

}  // namespace automation

// Carries out the queued action with that id (the message dispatcher calls
// this); an unknown id does nothing.
void PerformAutomationAction(intptr_t id);

}  // namespace toolkit
