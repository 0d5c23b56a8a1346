#include "toolkit/Application.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/Keys.h"
#include "toolkit/Automation.h"
#include "toolkit/Control.h"
#include "toolkit/Form.h"
#include "toolkit/HintWindow.h"
#include "toolkit/MessageDialog.h"

namespace toolkit {

TApplication::TApplication() : hintFactory_([] { return std::make_unique<THintWindow>(nullptr); }) {}

TApplication::~TApplication() = default;

TApplication& Application() {
  static TApplication application;
  return application;
}

bool TApplication::ProcessMessage() {
  platform::Message message{};
  if (!platform::PeekMessage(&message, true)) return false;
  DispatchMessage(message);
  return true;
}

void TApplication::ProcessMessages() {
  while (ProcessMessage()) {
  }
}

void TApplication::ProcessWindowMessages() {
  // Everything but the key messages and the scripted actions.
  static constexpr std::pair<uint32_t, uint32_t> kRanges[] = {
      {1, WM_KEYFIRST - 1}, {WM_KEYLAST + 1, kAutomationMessage - 1}, {kAutomationMessage + 1, UINT32_MAX}};
  for (bool dispatched = true; dispatched;) {
    dispatched = false;
    for (const auto& [low, high] : kRanges) {
      platform::Message message{};
      if (!platform::PeekMessage(&message, true, low, high)) continue;
      DispatchMessage(message);
      dispatched = true;
      break;
    }
  }
}

void TApplication::DispatchMessage(const platform::Message& message) {
  switch (message.message) {
    case kAutomationMessage:
      Guard(nullptr, [&] { PerformAutomationAction(message.wParam, message.lParam); });
      break;
    case WM_KEYDOWN:
      if (TForm* form = InputForm()) Guard(form, [&] { form->HandleKey(static_cast<int>(message.wParam)); });
      break;
    case WM_CLOSE: {
      TForm* form = nullptr;
      if (TWinControl* control = TWinControl::FindControl(message.window)) form = control->ParentForm();
      if (form == nullptr && message.window == 0) form = InputForm();
      if (form != nullptr) Guard(form, [&] { form->Close(); });
      break;
    }
    default:
      break;
  }
}

void TApplication::Idle() {
  if (hintControl_ != nullptr && !hintControl_->Showing()) CancelHint();
  bool done = true;
  if (OnIdle) Guard(nullptr, [&] { OnIdle(nullptr, done); });
  std::vector<std::function<void()>> updates;
  for (const auto& entry : actionUpdates_) updates.push_back(entry.second);
  for (const auto& update : updates) Guard(nullptr, update);
  if (done && platform::QueuedMessageCount() == 0) ++idleWaits_;
}

int TApplication::AddActionUpdate(std::function<void()> update) {
  actionUpdates_.emplace_back(++lastUpdateId_, std::move(update));
  return lastUpdateId_;
}

bool TApplication::RemoveActionUpdate(int id) {
  return std::erase_if(actionUpdates_, [id](const auto& entry) { return entry.first == id; }) != 0;
}

void TApplication::HandleException(TComponent* sender, std::exception_ptr error) {
  if (!error) return;
  if (OnException) {
    OnException(sender, error);
    return;
  }
  std::string text = "Unknown error";
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& exception) {
    text = exception.what();
  } catch (...) {
  }
  std::unique_ptr<TMessageForm> box = CreateMessageDialog(text, TMsgDlgType::Error, mbOK);
  box->SetCaption(title_);
  box->ShowModal();
}

void TApplication::SetHintWindowClass(HintWindowFactory factory) {
  CancelHint();
  hintWindow_.reset();
  hintFactory_ = std::move(factory);
}

void TApplication::ResetHintWindowClass() {
  SetHintWindowClass([] { return std::make_unique<THintWindow>(nullptr); });
}

void TApplication::ActivateHint(TControl& control) {
  Guard(&control, [&] { Hooks::Get().NotifyHintShowing(control); });
  std::string hint = control.Hint();
  bool canShow = control.ShowHint() && !hint.empty();
  if (canShow && OnShowHint) OnShowHint(hint, canShow, control);
  if (!canShow || hint.empty()) {
    CancelHint();
    return;
  }
  if (!hintWindow_ && hintFactory_) hintWindow_ = hintFactory_();
  if (!hintWindow_) return;
  const TRect at = control.ScreenRect();
  const int width = static_cast<int>(hint.size()) * 6 + 8;
  hintWindow_->ActivateHint(TRect{at.Left, at.Bottom + 2, at.Left + width, at.Bottom + 21}, hint);
  hintControl_ = &control;
}

void TApplication::CancelHint() {
  hintControl_ = nullptr;
  if (hintWindow_) {
    hintWindow_->SetVisible(false);
    hintWindow_->ReleaseHandle();
  }
}

void TApplication::ControlDestroyed(TControl* control) {
  if (control == hintControl_) CancelHint();
  std::erase(modalForms_, control);
}

void TApplication::EnterModal(TForm* form) { modalForms_.push_back(form); }

void TApplication::LeaveModal(TForm* form) { std::erase(modalForms_, form); }

TForm* TApplication::InputForm() const {
  if (!modalForms_.empty()) return modalForms_.back();
  if (TWinControl* control = TWinControl::FindControl(platform::GetActiveWindow()))
    return control->ParentForm();
  return nullptr;
}

}  // namespace toolkit
