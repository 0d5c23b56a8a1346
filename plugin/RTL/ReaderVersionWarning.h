// The warning shown when the installed PDF reader is too old to open a help
// file at a page: an OK button and a "&Don't show this again" check box whose
// choice is kept in the registry.
#pragma once

#include <string>

#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Form.h"
#include "toolkit/Label.h"

namespace strativue {

class TReaderVersionDialog : public toolkit::TForm {
 public:
  TReaderVersionDialog();
  TOOLKIT_DECLARE_CLASS()

  toolkit::TCheckBox* DontShowAgain() const { return dontShowAgain_; }

  // In test mode nothing is shown: one line "Running modal dialog
  // TReaderVersionDialog <caption>" on standard output, then the process ends
  // with exit code 1.
  toolkit::TModalResult ShowModal() override;

 private:
  toolkit::TLabel* message_ = nullptr;
  toolkit::TCheckBox* dontShowAgain_ = nullptr;
  toolkit::TButton* ok_ = nullptr;
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
