#include <gtest/gtest.h>

#include "ToolkitFixture.h"
#include "toolkit/Button.h"
#include "toolkit/Form.h"
#include "toolkit/HintWindow.h"

using namespace toolkit;
namespace automation = toolkit::automation;

namespace {

class NoShadowHint : public THintWindow {
 public:
  using THintWindow::THintWindow;

 protected:
  void CreateParams(platform::WindowCreateParams& params) override {
    THintWindow::CreateParams(params);
    params.classStyle &= ~platform::CS_DROPSHADOW;
  }
};

using ApplicationTest = ToolkitTest;

TEST_F(ApplicationTest, IdleRunsItsStepsAndWaitsOnlyWithoutInput) {
  int idles = 0, updates = 0;
  Application().OnIdle = [&](TComponent*, bool&) { ++idles; };
  const int id = Application().AddActionUpdate([&] { ++updates; });
  const int waitsBefore = Application().IdleWaitCount();

  Application().Idle();
  EXPECT_EQ(Application().IdleWaitCount(), waitsBefore + 1);

  platform::PostMessage(0, platform::WM_USER, 0, 0);
  Application().Idle();
  EXPECT_EQ(Application().IdleWaitCount(), waitsBefore + 1);  // input queued: no wait
  EXPECT_EQ(platform::QueuedMessageCount(), 1);               // and nothing consumed

  EXPECT_TRUE(Application().RemoveActionUpdate(id));
  Application().Idle();
  EXPECT_EQ(idles, 3);
  EXPECT_EQ(updates, 2);
}

TEST_F(ApplicationTest, HintsFollowTheHintWindowClassAndShowHint) {
  TForm form(nullptr);
  form.Show();
  auto* button = form.Create<TButton>();
  button->SetParent(&form);
  button->SetHint("Press me");

  Application().ActivateHint(*button);
  EXPECT_EQ(Application().HintControl(), nullptr);  // ShowHint is off

  button->SetShowHint(true);
  Application().ActivateHint(*button);
  ASSERT_NE(Application().HintWindow(), nullptr);
  EXPECT_EQ(Application().HintWindow()->Caption(), "Press me");
  EXPECT_NE(platform::GetClassStyle(Application().HintWindow()->Handle()) & platform::CS_DROPSHADOW, 0u);

  Application().SetHintWindowClass<NoShadowHint>();
  Application().OnShowHint = [](std::string& hint, bool&, TControl&) { hint += "!"; };
  Application().ActivateHint(*button);
  EXPECT_EQ(Application().HintWindow()->Caption(), "Press me!");
  EXPECT_EQ(platform::GetClassStyle(Application().HintWindow()->Handle()) & platform::CS_DROPSHADOW, 0u);

  button->SetVisible(false);
  Application().Idle();  // hint upkeep: the control went away
  EXPECT_EQ(Application().HintControl(), nullptr);
}

TEST_F(ApplicationTest, ADestroyedControlIsNotLeftAsTheHintControl) {
  TForm form(nullptr);
  form.Show();
  auto* button = form.Create<TButton>();
  button->SetParent(&form);
  button->SetHint("Tip");
  button->SetShowHint(true);
  Application().ActivateHint(*button);
  delete button;
  EXPECT_EQ(Application().HintControl(), nullptr);
  Application().Idle();
}

TEST_F(ApplicationTest, CloseMessagesReachTheirForm) {
  TForm form(nullptr);
  form.Show();
  platform::PostMessage(form.Handle(), WM_CLOSE, 0, 0);
  Application().ProcessMessages();
  EXPECT_FALSE(form.Visible());
}

// Window messages run while the user's input waits for its turn.
TEST_F(ApplicationTest, WindowMessagesRunAndInputStaysQueued) {
  TForm form(nullptr);
  form.Show();
  automation::PressCloseButton();
  platform::PostMessage(0, WM_KEYDOWN, platform::VK_ESCAPE, 0);
  platform::PostMessage(form.Handle(), WM_CLOSE, 0, 0);
  Application().ProcessWindowMessages();
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(platform::QueuedMessageCount(), 2);
  EXPECT_EQ(automation::PendingActions(), 1);
}

}  // namespace
