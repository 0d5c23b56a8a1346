#include "toolkit/HintWindow.h"

namespace toolkit {

const ClassInfo& THintWindow::StaticClass() {
  static const ClassInfo info("THintWindow", &TWinControl::StaticClass(), {},
                              [](TComponent* owner) { return std::make_unique<THintWindow>(owner); });
  return info;
}

THintWindow::THintWindow(TComponent* owner) : TWinControl(owner) {
  TControl::SetVisible(false);
  SetColor(clInfoBk);
}

void THintWindow::ActivateHint(const TRect& rect, const std::string& text) {
  SetCaption(text);
  SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
  SetVisible(true);
  Handle();
}

void THintWindow::CreateParams(platform::WindowCreateParams& params) {
  TWinControl::CreateParams(params);
  params.style = platform::WS_POPUP | platform::WS_BORDER | (Visible() ? platform::WS_VISIBLE : 0u);
  params.exStyle = platform::WS_EX_TOOLWINDOW | platform::WS_EX_TOPMOST;
  params.classStyle |= platform::CS_DROPSHADOW;
}

}  // namespace toolkit
