// The setup dialog: seven check boxes that choose what the stack-up legend
// shows, kept in the host's options store (section "Brelix", group
// LayerStackupLegend), with OK and Cancel. Its controls and layout come from
// the form description SetupDialog.form, compiled in.
#pragma once

#include <string>
#include <string_view>

#include "plugin/LegendOptions.h"
#include "plugin/RTL/ServerDialog.h"
#include "toolkit/CheckBox.h"

namespace strativue {

class TLegendSetupDialog : public TServerDialog {
 public:
  explicit TLegendSetupDialog(toolkit::TComponent* owner) : TServerDialog(owner) {}
  TOOLKIT_DECLARE_CLASS()

  // The form's show event: checks the boxes as the options store holds them
  // (a missing key reads as checked); without a reader they stay as
  // designed. A failing read raises.
  void FormShow(toolkit::TComponent* sender);
  // The OK button's click event: writes the seven boxes to the options
  // store (nothing without a writer), then ends the modal loop with OK. A
  // failing write raises before that, so the dialog stays open.
  void ButtonOKClick(toolkit::TComponent* sender);

  // A check box of the description by name; raises when it is missing.
  toolkit::TCheckBox& CheckBox(std::string_view name) const;
  // The seven boxes as a record, in its field order (1 checked, 0 not).
  TLegendOptions Choices() const;

 protected:
  std::string_view FormDescription() const override;
  toolkit::THandlerTable EventHandlers() override;
};

// Opens the setup dialog modally. On OK fills `options` from the check boxes
// and answers true; otherwise answers false and leaves `options` untouched.
bool ShowSetupDialog(TLegendOptions& options);

}  // namespace strativue
