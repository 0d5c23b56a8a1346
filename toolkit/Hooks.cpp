#include "toolkit/Hooks.h"

namespace toolkit {

Hooks& Hooks::Get() {
  static Hooks hooks;
  return hooks;
}

TColor Hooks::RewriteColor(TColor color) const {
  for (const auto& hook : colorToText.Snapshot()) color = hook(color);
  return color;
}

bool Hooks::NotifyFormShowing(TForm& form, bool visible) const {
  for (const auto& hook : formShowing.Snapshot())
    if (hook(form, visible)) return true;
  return false;
}

void Hooks::NotifyControlInserted(TWinControl& parent, TControl& control) const {
  for (const auto& hook : controlInserted.Snapshot()) hook(parent, control);
}

void Hooks::NotifyComponentInserted(TComponent& owner, TComponent& component) const {
  for (const auto& hook : componentInserted.Snapshot()) hook(owner, component);
}

void Hooks::NotifyComponentReadBegin(TComponent& root, TComponent& component) const {
  for (const auto& hook : componentReadBegin.Snapshot()) hook(root, component);
}

void Hooks::NotifyComponentReadEnd(TComponent& root, TComponent& component) const {
  for (const auto& hook : componentReadEnd.Snapshot()) hook(root, component);
}

void Hooks::NotifyTextRead(const TextReadContext& context, std::string& value) const {
  for (const auto& hook : textRead.Snapshot()) hook(context, value);
}

void Hooks::NotifyExceptionCaught(std::exception_ptr error) const {
  for (const auto& hook : exceptionCaught.Snapshot()) hook(error);
}

void Hooks::NotifyExceptionHandled() const {
  for (const auto& hook : exceptionHandled.Snapshot()) hook();
}

void Hooks::NotifyHintShowing(TControl& control) const {
  for (const auto& hook : hintShowing.Snapshot()) hook(control);
}

void Hooks::NotifyCommonDialog(TCommonDialog& dialog, CommonDialogStage stage, platform::HWND& window) const {
  for (const auto& hook : commonDialog.Snapshot()) hook(dialog, stage, window);
}

}  // namespace toolkit
