// The window that shows a control's hint (tooltip).
#pragma once

#include <string>

#include "toolkit/Control.h"

namespace toolkit {

// Drawn with a drop shadow (window-class style CS_DROPSHADOW); a subclass may
// change the class style in CreateParams.
class THintWindow : public TWinControl {
 public:
  explicit THintWindow(TComponent* owner);
  TOOLKIT_DECLARE_CLASS()

  // Shows `text` over the screen rectangle `rect`.
  void ActivateHint(const TRect& rect, const std::string& text);
  void ReleaseHandle() { DestroyHandle(); }

 protected:
  void CreateParams(platform::WindowCreateParams& params) override;
};

}  // namespace toolkit
