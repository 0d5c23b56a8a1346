// Accelerator keys: the "&" letter of a caption, pressed with Alt or alone,
// focuses and clicks its control the way a Windows dialog does.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ToolkitFixture.h"
#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Form.h"
#include "toolkit/Label.h"
#include "toolkit/Panel.h"

using namespace toolkit;

namespace {

// A control that takes typed text, as an edit field does.
class TTextField : public TWinControl {
 public:
  explicit TTextField(TComponent* owner) : TWinControl(owner) { SetTabStop(true); }
  bool TakesText() const override { return true; }
};

// Controls in creation order: a label "&Name" before the text field, check
// boxes on a panel, a button, and captions whose marks must not count.
struct AcceleratorDialog {
  std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
  TLabel* label = Add<TLabel>("lbName", "&Name", form.get());
  TTextField* field = Add<TTextField>("edName", "", form.get());
  TPanel* panel = Add<TPanel>("Panel", "", form.get());
  TCheckBox* apples = Add<TCheckBox>("chApples", "&Apples", panel);
  TCheckBox* research = Add<TCheckBox>("chResearch", "R&&D", panel);
  TCheckBox* mixed = Add<TCheckBox>("chMixed", "Mi&x && match", panel);
  TCheckBox* hidden = Add<TCheckBox>("chHidden", "&Hidden", panel);
  TCheckBox* disabled = Add<TCheckBox>("chDisabled", "&Off", panel);
  TCheckBox* almonds = Add<TCheckBox>("chAlmonds", "&almonds", panel);
  TCheckBox* numbered = Add<TCheckBox>("chNumbered", "Option &2", panel);
  TButton* go = Add<TButton>("ButtonGo", "&Go", form.get());
  int goClicks = 0;

  AcceleratorDialog() {
    hidden->SetVisible(false);
    disabled->SetEnabled(false);
    go->OnClick = [this](TComponent*) { ++goClicks; };
    form->Show();
    go->SetFocus();
  }

  template <typename T>
  T* Add(const std::string& name, const std::string& caption, TWinControl* parent) {
    T* control = form->Create<T>();
    control->SetName(name);
    control->SetCaption(caption);
    control->SetParent(parent);
    return control;
  }

  // Presses the key with the modifiers held, as the user would.
  bool Press(int key, bool alt, bool ctrl = false) {
    platform::SetKeyState(platform::VK_MENU, alt);
    platform::SetKeyState(platform::VK_CONTROL, ctrl);
    const bool handled = form->HandleKey(key);
    platform::SetKeyState(platform::VK_MENU, false);
    platform::SetKeyState(platform::VK_CONTROL, false);
    return handled;
  }
  TWinControl* Focused() const { return form->ActiveControl(); }
};

using AcceleratorTest = ToolkitTest;

TEST_F(AcceleratorTest, AltLetterFocusesAndClicksTheControlThatCarriesIt) {
  AcceleratorDialog dialog;
  EXPECT_TRUE(dialog.Press('G', true));
  EXPECT_EQ(dialog.goClicks, 1);
  EXPECT_EQ(dialog.Focused(), dialog.go);

  EXPECT_TRUE(dialog.Press('X', true));
  EXPECT_TRUE(dialog.mixed->Checked());
  EXPECT_EQ(dialog.Focused(), dialog.mixed);
  // The letter alone does the same while no text-taking control has the focus.
  EXPECT_TRUE(dialog.Press('X', false));
  EXPECT_FALSE(dialog.mixed->Checked());

  EXPECT_TRUE(dialog.Press('2', true));
  EXPECT_TRUE(dialog.numbered->Checked());
  EXPECT_EQ(dialog.Focused(), dialog.numbered);
}

// Nothing happens for a letter no showing, enabled caption marks: "&&" is a
// literal ampersand, Ctrl turns the letter into a command, and a hidden or
// disabled control is passed over.
TEST_F(AcceleratorTest, LettersNoControlCarriesDoNothing) {
  struct Case {
    const char* what;
    int key;
    bool alt;
    bool ctrl;
  };
  const std::vector<Case> cases = {
      {"the letter after a literal ampersand", 'D', true, false},
      {"the letter after a literal ampersand, alone", 'M', false, false},
      {"a letter no caption marks", 'Q', true, false},
      {"a hidden control", 'H', true, false},
      {"a disabled control", 'O', true, false},
      {"Ctrl with the letter", 'G', false, true},
      {"Ctrl+Alt with the letter", 'G', true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AcceleratorDialog dialog;
    EXPECT_FALSE(dialog.Press(c.key, c.alt, c.ctrl));
    EXPECT_EQ(dialog.Focused(), dialog.go);
    EXPECT_EQ(dialog.goClicks, 0);
    for (const TCheckBox* box : {dialog.research, dialog.mixed, dialog.hidden, dialog.disabled})
      EXPECT_FALSE(box->Checked()) << box->Name();
  }
}

TEST_F(AcceleratorTest, ALabelHandsTheFocusToTheNextTabStopWithoutClicking) {
  AcceleratorDialog dialog;
  EXPECT_TRUE(dialog.Press('N', true));
  EXPECT_EQ(dialog.Focused(), dialog.field);
  EXPECT_EQ(dialog.goClicks, 0);
}

TEST_F(AcceleratorTest, ATextTakingControlKeepsTheLetterAloneButNotAltLetter) {
  AcceleratorDialog dialog;
  dialog.field->SetFocus();
  EXPECT_FALSE(dialog.Press('G', false));
  EXPECT_EQ(dialog.goClicks, 0);
  EXPECT_EQ(dialog.Focused(), dialog.field);
  EXPECT_TRUE(dialog.Press('G', true));
  EXPECT_EQ(dialog.goClicks, 1);
}

// "&Apples" and "&almonds" share A (letter case does not matter): each press
// goes to the next one after the focused control, round and round.
TEST_F(AcceleratorTest, ALetterSeveralCaptionsCarryGoesRoundThem) {
  AcceleratorDialog dialog;
  std::vector<TWinControl*> focused;
  for (int press = 0; press < 3; ++press) {
    EXPECT_TRUE(dialog.Press('A', true));
    focused.push_back(dialog.Focused());
  }
  EXPECT_EQ(focused, (std::vector<TWinControl*>{dialog.apples, dialog.almonds, dialog.apples}));
  EXPECT_FALSE(dialog.apples->Checked());  // clicked twice
  EXPECT_TRUE(dialog.almonds->Checked());
}

}  // namespace
