// Errors raised in the event handlers of the plug-in's dialogs while they
// are shown, with the hooks of a loaded module in place: system errors go to
// the host's error reporting without a box and the dialog stays open, other
// errors become an "Error" box.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "DialogTestSupport.h"
#include "host/HostStatus.h"
#include "host/OptionsStore.h"
#include "platform/Faults.h"
#include "plugin/RTL/ClientApi.h"
#include "plugin/RTL/Exceptions.h"
#include "plugin/RTL/ServerDialog.h"
#include "plugin/RTL/UiHooks.h"
#include "plugin/SetupDialog.h"
#include "toolkit/Automation.h"
#include "toolkit/MessageLog.h"

namespace strativue {
namespace {

namespace automation = toolkit::automation;
using Kind = quorvex::ErrorReport::Kind;

constexpr std::string_view kFaultyDialogForm = R"(object FaultyDialog: TServerDialog
  Caption = 'Faulty'
  ClientHeight = 120
  ClientWidth = 240
  Position = poScreenCenter
  object ButtonNil: TButton
    Left = 8
    Top = 8
    Width = 80
    Height = 24
    Caption = 'Nil'
    OnClick = NilClick
  end
  object ButtonPlain: TButton
    Left = 96
    Top = 8
    Width = 80
    Height = 24
    Caption = 'Plain'
    OnClick = PlainClick
  end
end
)";

constexpr const char* kPlainError = "Nothing to draw";

__attribute__((noinline)) void ReadThroughNil(toolkit::TComponent*) {
  platform::RaiseAccessViolation(0, false);
}

// A dialog whose buttons fail: one with an access violation, one with an
// ordinary error.
class TFaultyDialog : public TServerDialog {
 public:
  explicit TFaultyDialog(toolkit::TComponent* owner) : TServerDialog(owner) {}

 protected:
  std::string_view FormDescription() const override { return kFaultyDialogForm; }
  toolkit::THandlerTable EventHandlers() override {
    return {{"NilClick", ReadThroughNil},
            {"PlainClick", [](toolkit::TComponent*) { throw EAssertionFailed(kPlainError); }}};
  }
};

class DialogErrorPolicyTest : public dialogtest::DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    ClientAPI::Resolve();
    toolkit::MessageLog::Clear();
    InstallUiHooks();
  }
  void TearDown() override {
    RemoveUiHooks();
    ClientAPI::ResolveFrom(nullptr);
    DialogTest::TearDown();
  }
  static std::vector<Kind> ReportKinds() {
    std::vector<Kind> kinds;
    for (const auto& report : quorvex::Host::Instance().ErrorReports()) kinds.push_back(report.kind);
    return kinds;
  }
  // Clicks `button` in a shown faulty dialog (and closes the message box
  // that brings, if any); true when the dialog was still open afterwards.
  static bool ClickInFaultyDialog(const std::string& button, bool closeBox = false) {
    bool open = false;
    automation::Click(button);
    if (closeBox) automation::PressCloseButton();
    automation::Inspect([&open](toolkit::TForm& form) {
      open = form.Caption() == "Faulty" && form.Visible() && form.ModalResult() == toolkit::mrNone;
    });
    TServerDialog::CreateDialog<TFaultyDialog>()->ShowModal();
    return open;
  }
};

TEST_F(DialogErrorPolicyTest, AnAccessViolationInAHandlerGoesToTheHostWithoutABox) {
  EXPECT_TRUE(ClickInFaultyDialog("ButtonNil"));
  // Set when the handler caught it, set with the report and handed to the
  // host, cleared when the handling ended.
  EXPECT_EQ(ReportKinds(), (std::vector<Kind>{Kind::SetErrorInfo, Kind::SetErrorInfo, Kind::HandleException,
                                              Kind::ClearErrorInfo}));
  const auto reports = quorvex::Host::Instance().ErrorReports();
  EXPECT_EQ(reports[2].value, 0);
  EXPECT_EQ(reports[1].message.rfind("Access violation at address ", 0), 0u) << reports[1].message;
  EXPECT_NE(reports[1].report.find("ReadThroughNil"), std::string::npos) << reports[1].report;
  EXPECT_TRUE(toolkit::MessageLog::Entries().empty());
}

TEST_F(DialogErrorPolicyTest, APlainErrorShowsAnErrorBoxAndTheErrorInformationIsClearedAfterwards) {
  EXPECT_TRUE(ClickInFaultyDialog("ButtonPlain", true));
  EXPECT_EQ(ReportKinds(), (std::vector<Kind>{Kind::SetErrorInfo, Kind::ClearErrorInfo}));
  EXPECT_EQ(quorvex::Host::Instance().ErrorReports()[0].message, kPlainError);
  const auto boxes = toolkit::MessageLog::Entries();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].text, kPlainError);
}

// The options store refuses the second write of OK: a failed host call, of a
// class derived from the one named EOleError, takes the system path and the
// dialog stays open until Cancel.
TEST_F(DialogErrorPolicyTest, AFailingOptionsStoreWriteTakesTheSystemPathAndTheSetupDialogStaysOpen) {
  quorvex::FailOptionsFrom(quorvex::OptionsAccess::Write, 2, "The options store is full");
  bool openAfterOk = false;
  automation::Click("ButtonOK");
  automation::Inspect(
      [&](toolkit::TForm& form) { openAfterOk = form.Visible() && form.ModalResult() == toolkit::mrNone; });
  automation::Click("ButtonCancel");
  TLegendOptions options;
  EXPECT_FALSE(ShowSetupDialog(options));
  EXPECT_TRUE(openAfterOk);
  EXPECT_EQ(ReportKinds(), (std::vector<Kind>{Kind::SetErrorInfo, Kind::SetErrorInfo, Kind::HandleException,
                                              Kind::ClearErrorInfo}));
  const auto reports = quorvex::Host::Instance().ErrorReports();
  EXPECT_EQ(reports[1].message, "The options store is full");
  EXPECT_NE(reports[1].report.find("Class: EHostError"), std::string::npos) << reports[1].report;
  EXPECT_TRUE(toolkit::MessageLog::Entries().empty());
}

}  // namespace
}  // namespace strativue
