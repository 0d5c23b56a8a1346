// What a form hears of the user asking for help: F1 as a child key followed
// by the system's help request, the caption's help button with a click on a
// control, and the pointer resting on a control.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ToolkitFixture.h"
#include "platform/Pointer.h"
#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Form.h"
#include "toolkit/Label.h"
#include "toolkit/Panel.h"

using namespace toolkit;
namespace automation = toolkit::automation;

namespace {

// A form that records the child keys and help requests it receives; it
// takes F1 as a child key when `takeF1` is set.
class THelpForm : public TForm {
 public:
  explicit THelpForm(TComponent* owner) : TForm(owner) {}

  bool ChildKey(TControl& receiver, int virtualKey) override {
    childKeys.push_back({&receiver, virtualKey, platform::GetKeyState(platform::VK_CONTROL) < 0});
    return takeF1 && virtualKey == platform::VK_F1;
  }
  bool HelpRequest(const THelpInfo& info) override {
    requests.push_back(info);
    return true;
  }

  struct ChildKeyCall {
    TControl* receiver;
    int key;
    bool ctrl;
  };
  std::vector<ChildKeyCall> childKeys;
  std::vector<THelpInfo> requests;
  bool takeF1 = false;
};

// A button, and a check box and a label on a panel.
struct HelpDialog {
  std::unique_ptr<THelpForm> form = std::make_unique<THelpForm>(nullptr);
  TButton* button = form->Create<TButton>();
  TPanel* panel = form->Create<TPanel>();
  TCheckBox* box = form->Create<TCheckBox>();
  TLabel* label = form->Create<TLabel>();

  HelpDialog() {
    form->SetCaption("Help");
    form->SetBounds(100, 50, 400, 300);
    button->SetName("ButtonOK");
    button->SetParent(form.get());
    panel->SetName("Panel");
    panel->SetBounds(10, 40, 300, 200);
    panel->SetParent(form.get());
    box->SetName("chBox");
    box->SetBounds(20, 30, 100, 20);
    box->SetParent(panel);
    label->SetName("Note");
    label->SetCaption("A note");
    label->SetBounds(20, 80, 100, 20);
    label->SetParent(panel);
  }
};

platform::Point Middle(const TControl& control) {
  const TRect rect = control.ScreenRect();
  return {(rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2};
}

using HelpRequestTest = ToolkitTest;

TEST_F(HelpRequestTest, F1ReachesTheFormAsAChildKeyOfTheFocusedControlThenAsAHelpRequest) {
  HelpDialog dialog;
  // The button has the focus first; Tab takes it to the box.
  automation::PressKey(platform::VK_TAB);
  automation::Inspect([](TForm&) { platform::SetCursorPos({7, 9}); });
  automation::PressKey(platform::VK_F1, false, true, false);
  dialog.form->ShowModal();

  ASSERT_EQ(dialog.form->childKeys.size(), 2u);
  EXPECT_EQ(dialog.form->childKeys[0].receiver, dialog.button);
  EXPECT_EQ(dialog.form->childKeys[0].key, platform::VK_TAB);
  EXPECT_EQ(dialog.form->childKeys[1].receiver, dialog.box);
  EXPECT_EQ(dialog.form->childKeys[1].key, platform::VK_F1);
  EXPECT_TRUE(dialog.form->childKeys[1].ctrl);
  // The system's help request follows, for the focused window, at the pointer.
  ASSERT_EQ(dialog.form->requests.size(), 1u);
  EXPECT_EQ(dialog.form->requests[0].contextType, THelpInfo::ContextType::Window);
  EXPECT_EQ(TWinControl::FindControl(dialog.form->requests[0].window), dialog.box);
  EXPECT_EQ(dialog.form->requests[0].mousePos, (platform::Point{7, 9}));
}

TEST_F(HelpRequestTest, AChildKeyTheFormTakesGoesNoFurther) {
  HelpDialog dialog;
  dialog.form->takeF1 = true;
  int clicks = 0;
  dialog.button->OnClick = [&clicks](TComponent*) { ++clicks; };
  automation::PressKey(platform::VK_F1);
  automation::PressKey(platform::VK_RETURN);
  dialog.form->ShowModal();
  // Enter is no child key the form takes: the focused button gets it.
  ASSERT_EQ(dialog.form->childKeys.size(), 2u);
  EXPECT_EQ(dialog.form->childKeys[1].key, platform::VK_RETURN);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(dialog.form->requests.size(), 1u);
}

TEST_F(HelpRequestTest, TheHelpButtonAsksAboutTheWindowUnderTheClickAtItsMiddle) {
  HelpDialog dialog;
  automation::PressHelpButton("chBox");
  // A label has no window of its own: the click lands on its panel's.
  automation::PressHelpButton("A note");
  automation::PressHelpButton("Nowhere");
  dialog.form->ShowModal();

  ASSERT_EQ(dialog.form->requests.size(), 2u);
  EXPECT_EQ(TWinControl::FindControl(dialog.form->requests[0].window), dialog.box);
  EXPECT_EQ(dialog.form->requests[0].mousePos, Middle(*dialog.box));
  EXPECT_EQ(TWinControl::FindControl(dialog.form->requests[1].window), dialog.panel);
  EXPECT_EQ(dialog.form->requests[1].mousePos, Middle(*dialog.label));
  EXPECT_EQ(platform::GetCursorPos(), Middle(*dialog.label));
  EXPECT_TRUE(dialog.form->childKeys.empty());
  EXPECT_EQ(automation::Failures(), std::vector<std::string>{"no control \"Nowhere\" on \"Help\""});
}

TEST_F(HelpRequestTest, HoveringMovesThePointerAndRaisesTheTooltipEvent) {
  HelpDialog dialog;
  std::vector<TControl*> hinted;
  const int hook = Hooks::Get().hintShowing.Add([&hinted](TControl& control) { hinted.push_back(&control); });
  dialog.box->SetHint("Show the type");
  dialog.box->SetShowHint(true);
  std::string shown;
  automation::Hover("chBox");
  automation::Inspect([&shown](TForm&) {
    if (Application().HintControl() != nullptr) shown = Application().HintControl()->Hint();
  });
  automation::Hover("Note");
  dialog.form->ShowModal();
  Hooks::Get().hintShowing.Remove(hook);

  EXPECT_EQ(hinted, (std::vector<TControl*>{dialog.box, dialog.label}));
  EXPECT_EQ(shown, "Show the type");
  EXPECT_EQ(platform::GetCursorPos(), Middle(*dialog.label));
}

}  // namespace
