#include "toolkit/Button.h"

#include "platform/Keys.h"

namespace toolkit {

const ClassInfo& TButton::StaticClass() {
  static const ClassInfo info(
      "TButton", &TWinControl::StaticClass(),
      {
          MakeBooleanProperty("Default", &TButton::Default, &TButton::SetDefault),
          MakeBooleanProperty("Cancel", &TButton::Cancel, &TButton::SetCancel),
          MakeIntegerProperty("ModalResult", &TButton::ModalResult, &TButton::SetModalResult),
      },
      [](TComponent* owner) { return std::make_unique<TButton>(owner); });
  return info;
}

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  SetTabStop(true);
  SetBounds(0, 0, 75, 25);
}

void TButton::Click() {
  if (modalResult_ != mrNone)
    if (TForm* form = ParentForm()) form->SetModalResult(modalResult_);
  TWinControl::Click();
}

bool TButton::KeyDown(int virtualKey) {
  if (virtualKey != platform::VK_SPACE) return false;
  Click();
  return true;
}

}  // namespace toolkit
