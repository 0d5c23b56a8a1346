// The warning shown when the installed PDF reader is too old to open a help
// file at a page: an OK button and a "&Don't show this again" check box whose
// choice is kept in the registry. A server dialog read from its description
// (ReaderVersionWarning.form).
#pragma once

#include <string>
#include <string_view>

#include "plugin/RTL/ServerDialog.h"
#include "toolkit/CheckBox.h"

namespace strativue {

class TReaderVersionDialog : public TServerDialog {
 public:
  explicit TReaderVersionDialog(toolkit::TComponent* owner) : TServerDialog(owner) {}
  TOOLKIT_DECLARE_CLASS()

  toolkit::TCheckBox& DontShowAgain() const;

 protected:
  std::string_view FormDescription() const override;
};

// The registry key (under HKEY_CURRENT_USER) and value of the switch.
std::string ReaderVersionWarningKey();
inline constexpr const char* kReaderVersionWarningValue = "EnableAcrobatVersionPopup";
// True when the switch is absent or true (non-zero).
bool ReaderVersionWarningEnabled();
// Shows the dialog modally when enabled; a ticked check box turns the switch
// off (creating the key when needed). Raises when that cannot be written.
void ShowReaderVersionWarning();

}  // namespace strativue
