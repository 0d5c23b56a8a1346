// The toolkit's own classes in the class registry, so that form descriptions
// can create them by name.
#include "toolkit/Bevel.h"
#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Form.h"
#include "toolkit/HintWindow.h"
#include "toolkit/Label.h"
#include "toolkit/MessageDialog.h"
#include "toolkit/Panel.h"
#include "toolkit/ThemedControls.h"

namespace toolkit {

void RegisterToolkitClasses() {
  static const bool registered = [] {
    for (const ClassInfo* info :
         {&TComponent::StaticClass(), &TControl::StaticClass(), &TWinControl::StaticClass(),
          &TForm::StaticClass(), &TButton::StaticClass(), &TCheckBox::StaticClass(), &TLabel::StaticClass(),
          &TBevel::StaticClass(), &TPanel::StaticClass(), &THintWindow::StaticClass(),
          &TMessageForm::StaticClass(), &TXPBitBtn::StaticClass(), &TXPCheckBox::StaticClass(),
          &TXPExtPanel::StaticClass()})
      RegisterClass(*info);
    return true;
  }();
  (void)registered;
}

}  // namespace toolkit
