#include "toolkit/Automation.h"

#include <map>
#include <mutex>

#include "platform/Keys.h"
#include "platform/MessageQueue.h"
#include "platform/Pointer.h"
#include "toolkit/Application.h"
#include "toolkit/CheckBox.h"
#include "toolkit/CommonDialogs.h"
#include "toolkit/Form.h"

namespace toolkit {
namespace {

struct Action {
  enum Kind { kKey, kClick, kSetChecked, kClose, kInspect, kHelpButton, kHover, kChooseFile } kind = kKey;
  int key = 0;
  bool shift = false, ctrl = false, alt = false;
  std::string target;
  bool checked = false;
  std::function<void(TForm&)> look;
};

struct ActionTable {
  std::mutex lock;
  intptr_t lastId = 0;
  std::map<intptr_t, Action> pending;
  std::vector<std::string> failures;
};

ActionTable& Table() {
  static ActionTable table;
  return table;
}

void Queue(Action action) {
  ActionTable& table = Table();
  intptr_t id = 0;
  {
    std::lock_guard<std::mutex> guard(table.lock);
    id = ++table.lastId;
    table.pending.emplace(id, std::move(action));
  }
  platform::PostMessage(0, kAutomationMessage, 0, id);
}

void Fail(std::string text) {
  ActionTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  table.failures.push_back(std::move(text));
}

std::string Folded(const std::string& text, bool dropAccelerators) {
  std::string folded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (dropAccelerators && c == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&')
        ++i;
      else
        continue;
      c = '&';
    }
    folded.push_back((c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c);
  }
  return folded;
}

TControl* FindTarget(TForm& form, const std::string& target) {
  const std::vector<TControl*> controls = form.AllControls();
  const std::string name = Folded(target, false);
  for (TControl* control : controls)
    if (Folded(control->Name(), false) == name) return control;
  const std::string caption = Folded(target, true);
  for (TControl* control : controls)
    if (!control->Caption().empty() && Folded(control->Caption(), true) == caption) return control;
  return nullptr;
}

void Perform(const Action& action) {
  if (TCommonDialog* dialog = TCommonDialog::Running();
      dialog != nullptr && (action.kind == Action::kClose || action.kind == Action::kChooseFile)) {
    if (action.kind == Action::kClose)
      dialog->Cancel();
    else if (!dialog->Choose(action.target))
      Fail("the standard dialog refused \"" + action.target + "\"");
    return;
  }
  if (action.kind == Action::kChooseFile) {
    Fail("no standard dialog to take \"" + action.target + "\"");
    return;
  }
  TForm* form = Application().InputForm();
  if (form == nullptr) {
    Fail("no form to receive input");
    return;
  }
  switch (action.kind) {
    case Action::kKey: {
      platform::SetKeyState(platform::VK_SHIFT, action.shift);
      platform::SetKeyState(platform::VK_CONTROL, action.ctrl);
      platform::SetKeyState(platform::VK_MENU, action.alt);
      struct Release {
        ~Release() {
          platform::SetKeyState(platform::VK_SHIFT, false);
          platform::SetKeyState(platform::VK_CONTROL, false);
          platform::SetKeyState(platform::VK_MENU, false);
        }
      } release;
      form->HandleKey(action.key);
      break;
    }
    case Action::kHelpButton:
    case Action::kHover: {
      TControl* control = FindTarget(*form, action.target);
      if (control == nullptr) {
        Fail("no control \"" + action.target + "\" on \"" + form->Caption() + "\"");
        return;
      }
      const TRect rect = control->ScreenRect();
      const platform::Point middle{(rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2};
      platform::SetCursorPos(middle);
      if (action.kind == Action::kHover) {
        Application().ActivateHint(*control);
        break;
      }
      auto* windowed = dynamic_cast<TWinControl*>(control);
      if (windowed == nullptr) windowed = control->Parent();
      THelpInfo info;
      info.window = windowed != nullptr ? windowed->Handle() : form->Handle();
      info.mousePos = middle;
      form->HelpRequest(info);
      break;
    }
    case Action::kClick:
    case Action::kSetChecked: {
      TControl* control = FindTarget(*form, action.target);
      if (control == nullptr) {
        Fail("no control \"" + action.target + "\" on \"" + form->Caption() + "\"");
        return;
      }
      if (!control->Showing() || !control->Enabled()) {
        Fail("control \"" + action.target + "\" is hidden or disabled");
        return;
      }
      if (action.kind == Action::kSetChecked) {
        auto* box = dynamic_cast<TCheckBox*>(control);
        if (box == nullptr) {
          Fail("control \"" + action.target + "\" is not a check box");
          return;
        }
        if (box->Checked() != action.checked) box->Click();
      } else {
        control->Click();
      }
      break;
    }
    case Action::kClose:
      form->Close();
      break;
    case Action::kInspect:
      action.look(*form);
      break;
    case Action::kChooseFile:  // answered above
      break;
  }
}

}  // namespace

namespace automation {

void PressKey(int virtualKey, bool shift, bool ctrl, bool alt) {
  Action action;
  action.kind = Action::kKey;
  action.key = virtualKey;
  action.shift = shift;
  action.ctrl = ctrl;
  action.alt = alt;
  Queue(std::move(action));
}

void Click(const std::string& target) {
  Action action;
  action.kind = Action::kClick;
  action.target = target;
  Queue(std::move(action));
}

void SetChecked(const std::string& target, bool checked) {
  Action action;
  action.kind = Action::kSetChecked;
  action.target = target;
  action.checked = checked;
  Queue(std::move(action));
}

void PressCloseButton() {
  Action action;
  action.kind = Action::kClose;
  Queue(std::move(action));
}

void ChooseFile(const std::string& fileName) {
  Action action;
  action.kind = Action::kChooseFile;
  action.target = fileName;
  Queue(std::move(action));
}

void PressHelpButton(const std::string& target) {
  Action action;
  action.kind = Action::kHelpButton;
  action.target = target;
  Queue(std::move(action));
}

void Hover(const std::string& target) {
  Action action;
  action.kind = Action::kHover;
  action.target = target;
  Queue(std::move(action));
}

void Inspect(std::function<void(TForm& form)> look) {
  Action action;
  action.kind = Action::kInspect;
  action.look = std::move(look);
  Queue(std::move(action));
}

int PendingActions() {
  ActionTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  return static_cast<int>(table.pending.size());
}

void Reset() {
  ActionTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  table.pending.clear();
  table.failures.clear();
}

std::vector<std::string> Failures() {
  ActionTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  return table.failures;
}

}  // namespace automation

void PerformAutomationAction(intptr_t id) {
  Action action;
  {
    ActionTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    const auto it = table.pending.find(id);
    if (it == table.pending.end()) return;
    action = std::move(it->second);
    table.pending.erase(it);
  }
  Perform(action);
}

}  // namespace toolkit
