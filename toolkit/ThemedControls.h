// The themed controls dialogs are designed with: a bitmap push button, a
// check box and a background panel. The stand-in draws no themes, so they
// behave and draw as the plain controls they derive from; they exist so that
// form descriptions can name them.
#pragma once

#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Panel.h"

namespace toolkit {

class TXPBitBtn : public TButton {
 public:
  using TButton::TButton;
  TOOLKIT_DECLARE_CLASS()
};

class TXPCheckBox : public TCheckBox {
 public:
  using TCheckBox::TCheckBox;
  TOOLKIT_DECLARE_CLASS()
};

class TXPExtPanel : public TPanel {
 public:
  using TPanel::TPanel;
  TOOLKIT_DECLARE_CLASS()
};

}  // namespace toolkit
