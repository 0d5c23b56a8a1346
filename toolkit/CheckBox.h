// The check box: a click toggles its check mark, then runs OnClick.
#pragma once

#include "toolkit/Control.h"

namespace toolkit {

class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* owner);
  TOOLKIT_DECLARE_CLASS()

  bool Checked() const { return checked_; }
  // Changing the state from code runs OnClick too, as a click would.
  void SetChecked(bool checked);

  void Click() override;
  // Space toggles the focused check box.
  bool KeyDown(int virtualKey) override;

 private:
  bool checked_ = false;
};

}  // namespace toolkit
