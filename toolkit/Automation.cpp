#include "toolkit/Automation.h"

#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>

#include "platform/Keys.h"
#include "platform/MessageQueue.h"
#include "platform/Pointer.h"
#include "platform/SignedTable.h"
#include "toolkit/Application.h"
#include "toolkit/CheckBox.h"
#include "toolkit/CommonDialogs.h"
#include "toolkit/Form.h"

namespace toolkit {
namespace {

using Kind = AutomationKind;

// An action as the queuing module keeps it.
struct Action {
  AutomationTicket ticket;
  std::string target;
  std::function<void(TForm&)> look;
  std::string lookError;
};

struct ActionTable {
  std::mutex lock;
  intptr_t lastId = 0;
  std::map<intptr_t, Action> pending;
  std::map<intptr_t, Action> taken;  // handed out, not yet finished
  std::vector<std::string> failures;
};

ActionTable& Table() {
  static ActionTable table;
  return table;
}

bool Take(intptr_t id, AutomationTicket* ticket) {
  ActionTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  const auto it = table.pending.find(id);
  if (it == table.pending.end() || ticket == nullptr) return false;
  auto [at, added] = table.taken.insert_or_assign(id, std::move(it->second));
  table.pending.erase(it);
  *ticket = at->second.ticket;
  ticket->target = at->second.target.c_str();
  return true;
}

const char* Look(intptr_t id, TForm* form) {
  std::function<void(TForm&)> look;
  {
    ActionTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    const auto it = table.taken.find(id);
    if (it == table.taken.end() || !it->second.look || form == nullptr) return nullptr;
    look = it->second.look;
  }
  std::string error;
  try {
    look(*form);
    return nullptr;
  } catch (const std::exception& exception) {
    error = exception.what();
  } catch (...) {
    error = "Unknown error";
  }
  ActionTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  const auto it = table.taken.find(id);
  if (it == table.taken.end()) return "Unknown error";
  it->second.lookError = std::move(error);
  return it->second.lookError.c_str();
}

void Finish(intptr_t id, const char* failure) {
  ActionTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  if (table.taken.erase(id) != 0 && failure != nullptr) table.failures.emplace_back(failure);
}

const AutomationCourier& OwnCourier() {
  static const AutomationCourier courier{
      {'A', 'u', 't', 'o', 'm', 'a', 't', 'i', 'o', 'n', '/', '1'}, &courier, &Take, &Look, &Finish};
  return courier;
}

// The courier at that address, when it is one a module of this process
// holds; nil otherwise.
const AutomationCourier* CourierAt(intptr_t address) {
  const auto* courier = platform::SignedTableAt<AutomationCourier>(static_cast<uintptr_t>(address),
                                                                   kAutomationCourierSignature);
  if (courier == nullptr || !courier->take || !courier->look || !courier->finish) return nullptr;
  return courier;
}

void Queue(Action action) {
  ActionTable& table = Table();
  intptr_t id = 0;
  {
    std::lock_guard<std::mutex> guard(table.lock);
    id = ++table.lastId;
    table.pending.emplace(id, std::move(action));
  }
  platform::PostMessage(0, kAutomationMessage, reinterpret_cast<intptr_t>(&OwnCourier()), id);
}

Action Make(Kind kind, std::string target = {}) {
  Action action;
  action.ticket.kind = kind;
  action.target = std::move(target);
  return action;
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

// Carries out a taken action in this module; the answer is the failure, if
// any. An inspection's error is thrown here, in this module.
std::optional<std::string> Perform(const AutomationCourier& courier, intptr_t id,
                                   const AutomationTicket& action, const std::string& target) {
  if (TCommonDialog* dialog = TCommonDialog::Running();
      dialog != nullptr && (action.kind == Kind::Close || action.kind == Kind::ChooseFile)) {
    if (action.kind == Kind::Close)
      dialog->Cancel();
    else if (!dialog->Choose(target))
      return "the standard dialog refused \"" + target + "\"";
    return std::nullopt;
  }
  if (action.kind == Kind::ChooseFile) return "no standard dialog to take \"" + target + "\"";
  TForm* form = Application().InputForm();
  if (form == nullptr) return "no form to receive input";
  switch (action.kind) {
    case Kind::Key: {
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
    case Kind::HelpButton:
    case Kind::Hover: {
      TControl* control = FindTarget(*form, target);
      if (control == nullptr) return "no control \"" + target + "\" on \"" + form->Caption() + "\"";
      const TRect rect = control->ScreenRect();
      const platform::Point middle{(rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2};
      platform::SetCursorPos(middle);
      if (action.kind == Kind::Hover) {
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
    case Kind::Click:
    case Kind::SetChecked: {
      TControl* control = FindTarget(*form, target);
      if (control == nullptr) return "no control \"" + target + "\" on \"" + form->Caption() + "\"";
      if (!control->Showing() || !control->Enabled())
        return "control \"" + target + "\" is hidden or disabled";
      if (action.kind == Kind::SetChecked) {
        auto* box = dynamic_cast<TCheckBox*>(control);
        if (box == nullptr) return "control \"" + target + "\" is not a check box";
        if (box->Checked() != action.checked) box->Click();
      } else {
        control->Click();
      }
      break;
    }
    case Kind::Close:
      form->Close();
      break;
    case Kind::Inspect:
      if (const char* error = courier.look(id, form)) throw std::runtime_error(error);
      break;
    case Kind::ChooseFile:  // answered above
      break;
  }
  return std::nullopt;
}

}  // namespace

namespace automation {

void PressKey(int virtualKey, bool shift, bool ctrl, bool alt) {
  Action action = Make(Kind::Key);
  action.ticket.key = virtualKey;
  action.ticket.shift = shift;
  action.ticket.ctrl = ctrl;
  action.ticket.alt = alt;
  Queue(std::move(action));
}

void Click(const std::string& target) { Queue(Make(Kind::Click, target)); }

void SetChecked(const std::string& target, bool checked) {
  Action action = Make(Kind::SetChecked, target);
  action.ticket.checked = checked;
  Queue(std::move(action));
}

void PressCloseButton() { Queue(Make(Kind::Close)); }

void ChooseFile(const std::string& fileName) { Queue(Make(Kind::ChooseFile, fileName)); }

void PressHelpButton(const std::string& target) { Queue(Make(Kind::HelpButton, target)); }

void Hover(const std::string& target) { Queue(Make(Kind::Hover, target)); }

void Inspect(std::function<void(TForm& form)> look) {
  Action action = Make(Kind::Inspect);
  action.look = std::move(look);
  Queue(std::move(action));
}

TControl* FindControl(TForm& form, const std::string& target) { return FindTarget(form, target); }

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

void PerformAutomationAction(intptr_t courierAddress, intptr_t id) {
  const AutomationCourier* courier = CourierAt(courierAddress);
  AutomationTicket ticket;
  if (courier == nullptr || !courier->take(id, &ticket)) return;
  std::optional<std::string> failure;
  struct Finish {
    const AutomationCourier& courier;
    intptr_t id;
    const std::optional<std::string>& failure;
    ~Finish() { courier.finish(id, failure ? failure->c_str() : nullptr); }
  } finish{*courier, id, failure};
  // The target is copied before anything runs: it is the other module's.
  failure = Perform(*courier, id, ticket, std::string(ticket.target ? ticket.target : ""));
}

}  // namespace toolkit
