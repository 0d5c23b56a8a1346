// The push button: a click sets its form's modal result and runs OnClick.
#pragma once

#include "toolkit/Control.h"
#include "toolkit/Form.h"

namespace toolkit {

class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* owner);
  TOOLKIT_DECLARE_CLASS()

  // Enter clicks the default button, Escape the cancel button.
  bool Default() const { return default_; }
  void SetDefault(bool value) { default_ = value; }
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  // Given to the form when clicked (mrNone: the form keeps running).
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult result) { modalResult_ = result; }

  void Click() override;
  // Space clicks the focused button.
  bool KeyDown(int virtualKey) override;

 private:
  bool default_ = false;
  bool cancel_ = false;
  TModalResult modalResult_ = mrNone;
};

}  // namespace toolkit
