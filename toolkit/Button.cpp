#include "toolkit/Button.h"

#include "platform/Keys.h"

namespace toolkit {

const ClassInfo& TButton::StaticClass() {
  static const ClassInfo info(
      "TButton", &TWinControl::StaticClass(),
      {
          MakeProperty<TButton>(
              "Default", PropertyType::Boolean, [](const TButton& b) { return b.Default(); },
              [](TButton& b, const PropertyValue& v) { b.SetDefault(BooleanOf(v)); }),
          MakeProperty<TButton>(
              "Cancel", PropertyType::Boolean, [](const TButton& b) { return b.Cancel(); },
              [](TButton& b, const PropertyValue& v) { b.SetCancel(BooleanOf(v)); }),
          MakeProperty<TButton>(
              "ModalResult", PropertyType::Integer,
              [](const TButton& b) { return static_cast<int64_t>(b.ModalResult()); },
              [](TButton& b, const PropertyValue& v) {
                b.SetModalResult(static_cast<TModalResult>(IntegerOf(v)));
              }),
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
