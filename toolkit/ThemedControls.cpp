#include "toolkit/ThemedControls.h"

namespace toolkit {

const ClassInfo& TXPBitBtn::StaticClass() {
  static const ClassInfo info("TXPBitBtn", &TButton::StaticClass(), {},
                              [](TComponent* owner) { return std::make_unique<TXPBitBtn>(owner); });
  return info;
}

const ClassInfo& TXPCheckBox::StaticClass() {
  static const ClassInfo info("TXPCheckBox", &TCheckBox::StaticClass(), {},
                              [](TComponent* owner) { return std::make_unique<TXPCheckBox>(owner); });
  return info;
}

const ClassInfo& TXPExtPanel::StaticClass() {
  static const ClassInfo info("TXPExtPanel", &TPanel::StaticClass(), {},
                              [](TComponent* owner) { return std::make_unique<TXPExtPanel>(owner); });
  return info;
}

}  // namespace toolkit
