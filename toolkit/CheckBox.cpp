#include "toolkit/CheckBox.h"

#include "platform/Keys.h"

namespace toolkit {

const ClassInfo& TCheckBox::StaticClass() {
  static const ClassInfo info("TCheckBox", &TWinControl::StaticClass(),
                              {
                                  MakeBooleanProperty("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked),
                              },
                              [](TComponent* owner) { return std::make_unique<TCheckBox>(owner); });
  return info;
}

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  SetTabStop(true);
  SetBounds(0, 0, 97, 17);
}

void TCheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  if (!Loading()) TWinControl::Click();
}

void TCheckBox::Click() { SetChecked(!checked_); }

bool TCheckBox::KeyDown(int virtualKey) {
  if (virtualKey != platform::VK_SPACE) return false;
  Click();
  return true;
}

}  // namespace toolkit
