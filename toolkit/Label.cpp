#include "toolkit/Label.h"

namespace toolkit {

const ClassInfo& TLabel::StaticClass() {
  static const ClassInfo info("TLabel", &TControl::StaticClass(), {},
                              [](TComponent* owner) { return std::make_unique<TLabel>(owner); });
  return info;
}

TLabel::TLabel(TComponent* owner) : TControl(owner) { SetBounds(0, 0, 65, 13); }

}  // namespace toolkit
