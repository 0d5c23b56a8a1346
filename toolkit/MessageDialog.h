// The standard message dialog: an icon by type, the message, a row of
// buttons; every box shown modally is recorded in the MessageLog.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "toolkit/Form.h"

namespace toolkit {

enum class TMsgDlgType { Warning, Error, Information, Confirmation, Custom };

enum TMsgDlgBtn : uint16_t {
  mbYes = 1 << 0,
  mbNo = 1 << 1,
  mbOK = 1 << 2,
  mbCancel = 1 << 3,
  mbAbort = 1 << 4,
  mbRetry = 1 << 5,
  mbIgnore = 1 << 6,
  mbAll = 1 << 7,
  mbNoToAll = 1 << 8,
  mbYesToAll = 1 << 9,
  mbHelp = 1 << 10,
};
using TMsgDlgButtons = uint16_t;
inline constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;
inline constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;

// "Warning", "Error", "Information", "Confirm"; the application's title for
// a custom box.
std::string MessageDialogTitle(TMsgDlgType type);
// "Warning", "Error", "Information", "Confirmation"; empty for custom.
std::string MessageDialogIconName(TMsgDlgType type);

class TMessageForm : public TForm {
 public:
  TMessageForm(TComponent* owner, std::string message, TMsgDlgType type);
  TOOLKIT_DECLARE_CLASS()

  const std::string& Message() const { return message_; }
  TMsgDlgType DialogType() const { return type_; }

  // The modal loop, then the record in the MessageLog (and the journal).
  TModalResult ShowModal() override;

 private:
  std::string message_;
  TMsgDlgType type_;
};

// A message dialog ready to be shown: captioned with MessageDialogTitle,
// centred on the screen, one button per flag in the usual order (Yes, No, OK,
// Cancel, Abort, Retry, Ignore, All, No to All, Yes to All, Help). OK (else
// Yes, else the first) is the default button; Cancel (else No, else a lone
// OK) is the cancel button. No buttons at all gives an OK button.
std::unique_ptr<TMessageForm> CreateMessageDialog(std::string_view message, TMsgDlgType type,
                                                  TMsgDlgButtons buttons);

// CreateMessageDialog, ShowModal, free: the modal result.
TModalResult MessageDlg(std::string_view message, TMsgDlgType type, TMsgDlgButtons buttons);

}  // namespace toolkit
