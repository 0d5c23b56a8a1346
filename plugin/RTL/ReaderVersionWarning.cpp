#include "plugin/RTL/ReaderVersionWarning.h"

#include <memory>

#include "platform/Registry.h"
#include "plugin/RTL/Exceptions.h"
#include "plugin/RTL/PreferencePaths.h"

namespace strativue {

extern const std::string_view kReaderVersionWarningForm;

const toolkit::ClassInfo& TReaderVersionDialog::StaticClass() {
  static const toolkit::ClassInfo info("TReaderVersionDialog", &TServerDialog::StaticClass(), {});
  return info;
}

std::string_view TReaderVersionDialog::FormDescription() const { return kReaderVersionWarningForm; }

toolkit::TCheckBox& TReaderVersionDialog::DontShowAgain() const {
  auto* box = dynamic_cast<toolkit::TCheckBox*>(FindComponent("DontShowAgainCheckBox"));
  if (box == nullptr) throw Exception("The reader version dialog has no check box DontShowAgainCheckBox");
  return *box;
}

std::string ReaderVersionWarningKey() { return GetPreferenceRegistryPath() + "\\Forms"; }

bool ReaderVersionWarningEnabled() {
  const auto value =
      platform::ReadDword(platform::HKEY_CURRENT_USER, ReaderVersionWarningKey(), kReaderVersionWarningValue);
  return !value || *value != 0;
}

void ShowReaderVersionWarning() {
  if (!ReaderVersionWarningEnabled()) return;
  const std::unique_ptr<TReaderVersionDialog> dialog = TServerDialog::CreateDialog<TReaderVersionDialog>();
  dialog->ShowModal();
  if (!dialog->DontShowAgain().Checked()) return;
  if (!platform::WriteDword(platform::HKEY_CURRENT_USER, ReaderVersionWarningKey(),
                            kReaderVersionWarningValue, 0))
    throw Exception("Cannot keep the PDF reader warning switched off: " + platform::RegLastError());
}

}  // namespace strativue
