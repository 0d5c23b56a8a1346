#include "toolkit/MessageDialog.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/FaultPoints.h"
#include "toolkit/Application.h"
#include "toolkit/Button.h"
#include "toolkit/Label.h"
#include "toolkit/MessageLog.h"

namespace toolkit {
namespace {

struct ButtonKind {
  TMsgDlgBtn flag;
  const char* name;
  const char* caption;
  TModalResult result;
};

constexpr std::array<ButtonKind, 11> kButtons = {{
    {mbYes, "Yes", "&Yes", mrYes},
    {mbNo, "No", "&No", mrNo},
    {mbOK, "OK", "OK", mrOk},
    {mbCancel, "Cancel", "Cancel", mrCancel},
    {mbAbort, "Abort", "&Abort", mrAbort},
    {mbRetry, "Retry", "&Retry", mrRetry},
    {mbIgnore, "Ignore", "&Ignore", mrIgnore},
    {mbAll, "All", "&All", mrAll},
    {mbNoToAll, "NoToAll", "N&o to All", mrNoToAll},
    {mbYesToAll, "YesToAll", "Yes to &All", mrYesToAll},
    {mbHelp, "Help", "&Help", mrNone},
}};

constexpr int kMargin = 8;
constexpr int kIconSize = 32;
constexpr int kCharWidth = 6;
constexpr int kLineHeight = 13;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 6;

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

}  // namespace

std::string MessageDialogTitle(TMsgDlgType type) {
  switch (type) {
    case TMsgDlgType::Warning:
      return "Warning";
    case TMsgDlgType::Error:
      return "Error";
    case TMsgDlgType::Information:
      return "Information";
    case TMsgDlgType::Confirmation:
      return "Confirm";
    case TMsgDlgType::Custom:
      break;
  }
  return Application().Title();
}

std::string MessageDialogIconName(TMsgDlgType type) {
  switch (type) {
    case TMsgDlgType::Warning:
      return "Warning";
    case TMsgDlgType::Error:
      return "Error";
    case TMsgDlgType::Information:
      return "Information";
    case TMsgDlgType::Confirmation:
      return "Confirmation";
    case TMsgDlgType::Custom:
      break;
  }
  return "";
}

const ClassInfo& TMessageForm::StaticClass() {
  static const ClassInfo info("TMessageForm", &TForm::StaticClass(), {});
  return info;
}

TMessageForm::TMessageForm(TComponent* owner, std::string message, TMsgDlgType type)
    : TForm(owner), message_(std::move(message)), type_(type) {}

TModalResult TMessageForm::ShowModal() {
  const TModalResult result = TForm::ShowModal();
  MessageLog::Add(MessageRecord{Caption(), message_, type_, result});
  return result;
}

std::unique_ptr<TMessageForm> CreateMessageDialog(std::string_view message, TMsgDlgType type,
                                                  TMsgDlgButtons buttons) {
  if (const auto failure = platform::faults::Check("toolkit.CreateMessageDialog"))
    throw EOutOfResources(*failure);
  if ((buttons & 0x07FF) == 0) buttons = mbOK;
  auto form = std::make_unique<TMessageForm>(nullptr, std::string(message), type);
  form->SetName("MessageForm");
  form->SetBorderStyle(TBorderStyle::Dialog);
  form->SetBorderIcons(biSystemMenu);
  form->SetPosition(TPosition::ScreenCenter);
  form->SetCaption(MessageDialogTitle(type));

  const std::vector<std::string_view> lines = Lines(message);
  std::size_t longest = 0;
  for (std::string_view line : lines) longest = std::max(longest, line.size());
  const int textLeft = kMargin + (type == TMsgDlgType::Custom ? 0 : kIconSize + kMargin);
  const int textWidth = static_cast<int>(longest) * kCharWidth;
  const int textHeight = static_cast<int>(lines.size()) * kLineHeight;

  std::vector<const ButtonKind*> chosen;
  for (const ButtonKind& kind : kButtons)
    if ((buttons & kind.flag) != 0) chosen.push_back(&kind);
  const int buttonsWidth =
      static_cast<int>(chosen.size()) * kButtonWidth + (static_cast<int>(chosen.size()) - 1) * kButtonGap;
  const int clientWidth = std::max(textLeft + textWidth + kMargin, buttonsWidth + 2 * kMargin);
  const int bodyHeight = std::max(textHeight, type == TMsgDlgType::Custom ? 0 : kIconSize);
  const int buttonTop = kMargin + bodyHeight + 2 * kMargin;
  form->SetClientWidth(clientWidth);
  form->SetClientHeight(buttonTop + kButtonHeight + kMargin);

  auto* label = form->Create<TLabel>();
  label->SetName("Message");
  label->SetParent(form.get());
  label->SetCaption(std::string(message));
  label->SetBounds(textLeft, kMargin, textWidth, textHeight);

  const bool hasCancel = (buttons & (mbCancel | mbNo)) != 0;
  const TMsgDlgBtn defaultFlag = (buttons & mbOK) != 0    ? mbOK
                                 : (buttons & mbYes) != 0 ? mbYes
                                                          : chosen.front()->flag;
  const TMsgDlgBtn cancelFlag = (buttons & mbCancel) != 0 ? mbCancel : (buttons & mbNo) != 0 ? mbNo : mbOK;
  int left = (clientWidth - buttonsWidth) / 2;
  for (const ButtonKind* kind : chosen) {
    auto* button = form->Create<TButton>();
    button->SetName(kind->name);
    button->SetParent(form.get());
    button->SetCaption(kind->caption);
    button->SetModalResult(kind->result);
    button->SetDefault(kind->flag == defaultFlag);
    button->SetCancel(kind->flag == cancelFlag && (hasCancel || kind->flag == mbOK));
    button->SetBounds(left, buttonTop, kButtonWidth, kButtonHeight);
    left += kButtonWidth + kButtonGap;
  }
  return form;
}

TModalResult MessageDlg(std::string_view message, TMsgDlgType type, TMsgDlgButtons buttons) {
  return CreateMessageDialog(message, type, buttons)->ShowModal();
}

}  // namespace toolkit
