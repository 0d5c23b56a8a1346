#include <gtest/gtest.h>

#include "ToolkitFixture.h"
#include "toolkit/Button.h"
#include "toolkit/Hooks.h"
#include "toolkit/Label.h"
#include "toolkit/MessageDialog.h"

using namespace toolkit;
namespace automation = toolkit::automation;

namespace {

using MessageDialogTest = ToolkitTest;

TButton* ButtonNamed(TForm& form, const char* name) {
  return dynamic_cast<TButton*>(form.FindComponent(name));
}

TEST_F(MessageDialogTest, ButtonsComeInTheUsualOrderWithDefaultAndCancelRoles) {
  auto box = CreateMessageDialog("Save changes?", TMsgDlgType::Confirmation, mbYesNoCancel);
  EXPECT_EQ(box->Caption(), "Confirm");
  ASSERT_NE(ButtonNamed(*box, "Yes"), nullptr);
  EXPECT_LT(ButtonNamed(*box, "Yes")->Left(), ButtonNamed(*box, "No")->Left());
  EXPECT_LT(ButtonNamed(*box, "No")->Left(), ButtonNamed(*box, "Cancel")->Left());
  EXPECT_EQ(box->DefaultButton(), ButtonNamed(*box, "Yes"));
  EXPECT_EQ(box->CancelButton(), ButtonNamed(*box, "Cancel"));
  EXPECT_EQ(box->FindComponent("OK"), nullptr);

  auto yesNo = CreateMessageDialog("Go on?", TMsgDlgType::Warning, mbYes | mbNo);
  EXPECT_EQ(yesNo->CancelButton(), ButtonNamed(*yesNo, "No"));

  auto none = CreateMessageDialog("Plain", TMsgDlgType::Custom, 0);
  EXPECT_NE(ButtonNamed(*none, "OK"), nullptr);
  EXPECT_EQ(none->DefaultButton(), ButtonNamed(*none, "OK"));
}

TEST_F(MessageDialogTest, TheMessageFitsInsideTheClientArea) {
  const std::string text = "A rather long line of message text that must fit\nand a second line";
  auto box = CreateMessageDialog(text, TMsgDlgType::Error, mbOK);
  auto* label = dynamic_cast<TLabel*>(box->FindComponent("Message"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->Caption(), text);
  EXPECT_LE(label->Left() + label->Width(), box->ClientWidth());
  for (int i = 0; i < box->ComponentCount(); ++i)
    if (auto* button = dynamic_cast<TButton*>(box->Component(i))) {
      EXPECT_GE(button->Top(), label->Top() + label->Height());
      EXPECT_LE(button->Top() + button->Height(), box->ClientHeight());
    }
}

TEST_F(MessageDialogTest, EveryShownBoxIsRecordedWithItsResult) {
  automation::Click("&No");
  EXPECT_EQ(MessageDlg("Replace it?", TMsgDlgType::Confirmation, mbYes | mbNo), mrNo);
  EXPECT_EQ(MessageDlg("Done.", TMsgDlgType::Information, mbOK), mrCancel);  // closed when input ran out

  const std::vector<MessageRecord> log = MessageLog::Entries();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0], (MessageRecord{"Confirm", "Replace it?", TMsgDlgType::Confirmation, mrNo}));
  EXPECT_EQ(log[1], (MessageRecord{"Information", "Done.", TMsgDlgType::Information, mrCancel}));
  const std::vector<platform::JournalEntry> journal = platform::JournalEntries();
  ASSERT_EQ(journal.size(), 2u);
  EXPECT_EQ(journal[1], (platform::JournalEntry{"message", "Information: Done."}));
}

TEST_F(MessageDialogTest, ABoxIsCentredOnTheScreenUnlessAHookPlacesIt) {
  platform::Rect screen = platform::GetMonitors().front().bounds;
  for (const platform::MonitorInfo& monitor : platform::GetMonitors())
    if (monitor.primary) screen = monitor.bounds;
  TRect shownAt;
  auto box = CreateMessageDialog("Centred", TMsgDlgType::Warning, mbOK);
  box->SetLeft(5);
  box->OnShow = [&](TComponent*) { shownAt = box->BoundsRect(); };
  box->ShowModal();
  EXPECT_EQ(shownAt.Left, screen.left + (screen.width() - box->Width()) / 2);
  EXPECT_EQ(shownAt.Top, screen.top + (screen.height() - box->Height()) / 2);

  int hooked = 0;
  const int id = Hooks::Get().formShowing.Add([&](TForm& form, bool visible) {
    if (!visible || dynamic_cast<TMessageForm*>(&form) == nullptr) return false;
    ++hooked;
    form.SetBounds(100, 50, form.Width(), form.Height());
    form.ShowWithoutPositioning();
    return true;
  });
  auto placed = CreateMessageDialog("Placed", TMsgDlgType::Warning, mbOK);
  placed->OnShow = [&](TComponent*) { shownAt = placed->BoundsRect(); };
  placed->ShowModal();
  Hooks::Get().formShowing.Remove(id);
  EXPECT_EQ(hooked, 1);
  EXPECT_EQ(shownAt.Left, 100);
  EXPECT_EQ(shownAt.Top, 50);
}

TEST_F(MessageDialogTest, TypesHaveTheirIconsAndTitles) {
  EXPECT_EQ(MessageDialogIconName(TMsgDlgType::Error), "Error");
  EXPECT_EQ(MessageDialogIconName(TMsgDlgType::Custom), "");
  Application().SetTitle("Strativue");
  EXPECT_EQ(MessageDialogTitle(TMsgDlgType::Custom), "Strativue");
  Application().SetTitle("Quorvex");
}

TEST_F(MessageDialogTest, AnUnhandledErrorIsShownInAnErrorBox) {
  Application().Guard(nullptr, [] { throw std::runtime_error("Disk full"); });
  const std::vector<MessageRecord> log = MessageLog::Entries();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].text, "Disk full");
  EXPECT_EQ(log[0].type, TMsgDlgType::Error);
}

}  // namespace
