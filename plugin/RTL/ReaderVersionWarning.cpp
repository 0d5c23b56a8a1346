#include "plugin/RTL/ReaderVersionWarning.h"

#include <cstdio>

#include "platform/Registry.h"
#include "plugin/RTL/Exceptions.h"
#include "plugin/RTL/Messages.h"
#include "plugin/RTL/PreferencePaths.h"

namespace strativue {

const toolkit::ClassInfo& TReaderVersionDialog::StaticClass() {
  static const toolkit::ClassInfo info("TReaderVersionDialog", &toolkit::TForm::StaticClass(), {});
  return info;
}

TReaderVersionDialog::TReaderVersionDialog() : toolkit::TForm(nullptr) {
  SetName("ReaderVersionDialog");
  SetCaption("PDF Reader Version");
  SetBorderStyle(toolkit::TBorderStyle::Dialog);
  SetBorderIcons(toolkit::biSystemMenu);
  SetPosition(toolkit::TPosition::ScreenCenter);
  SetClientWidth(380);
  SetClientHeight(124);

  message_ = Create<toolkit::TLabel>();
  message_->SetName("MessageLabel");
  message_->SetParent(this);
  message_->SetCaption(
      "This help topic opens at its page with PDF reader version 6.0 or higher.\n"
      "The installed reader opens the document at its first page.");
  message_->SetBounds(16, 16, 348, 40);

  dontShowAgain_ = Create<toolkit::TCheckBox>();
  dontShowAgain_->SetName("DontShowAgainCheckBox");
  dontShowAgain_->SetParent(this);
  dontShowAgain_->SetCaption("&Don't show this again");
  dontShowAgain_->SetBounds(16, 84, 200, 17);
  dontShowAgain_->SetTabStop(true);
  dontShowAgain_->SetTabOrder(1);

  ok_ = Create<toolkit::TButton>();
  ok_->SetName("OKButton");
  ok_->SetParent(this);
  ok_->SetCaption("OK");
  ok_->SetDefault(true);
  ok_->SetCancel(true);
  ok_->SetModalResult(toolkit::mrOk);
  ok_->SetBounds(289, 80, 75, 25);
  ok_->SetTabStop(true);
  ok_->SetTabOrder(0);
}

toolkit::TModalResult TReaderVersionDialog::ShowModal() {
  if (IsTestMode()) {
    const std::string line = "Running modal dialog " + ClassName() + " " + Caption() + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    EndTestRun(1);
  }
  return toolkit::TForm::ShowModal();
}

std::string ReaderVersionWarningKey() { return GetPreferenceRegistryPath() + "\\Forms"; }

bool ReaderVersionWarningEnabled() {
  const auto value =
      platform::ReadDword(platform::HKEY_CURRENT_USER, ReaderVersionWarningKey(), kReaderVersionWarningValue);
  return !value || *value != 0;
}

void ShowReaderVersionWarning() {
  if (!ReaderVersionWarningEnabled()) return;
  TReaderVersionDialog dialog;
  dialog.ShowModal();
  if (!dialog.DontShowAgain()->Checked()) return;
  if (!platform::WriteDword(platform::HKEY_CURRENT_USER, ReaderVersionWarningKey(),
                            kReaderVersionWarningValue, 0))
    throw Exception("Cannot keep the PDF reader warning switched off: " + platform::RegLastError());
}

}  // namespace strativue
