#include "toolkit/Panel.h"

namespace toolkit {

const ClassInfo& TPanel::StaticClass() {
  static const ClassInfo info("TPanel", &TWinControl::StaticClass(), {},
                              [](TComponent* owner) { return std::make_unique<TPanel>(owner); });
  return info;
}

TPanel::TPanel(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 185, 41); }

}  // namespace toolkit
