#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "ToolkitFixture.h"
#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Form.h"
#include "toolkit/Panel.h"

using namespace toolkit;
namespace automation = toolkit::automation;

namespace {

platform::Rect PrimaryMonitorBounds() {
  const std::vector<platform::MonitorInfo> monitors = platform::GetMonitors();
  for (const platform::MonitorInfo& monitor : monitors)
    if (monitor.primary) return monitor.bounds;
  return monitors.front().bounds;
}

// OK (default), Cancel (cancel), and two check boxes on a panel.
struct ModalDialog {
  std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
  TButton* ok = form->Create<TButton>();
  TButton* cancel = form->Create<TButton>();
  TPanel* panel = form->Create<TPanel>();
  TCheckBox* first = form->Create<TCheckBox>();
  TCheckBox* second = form->Create<TCheckBox>();
  int closes = 0;

  ModalDialog() {
    form->SetCaption("Setup");
    form->SetBorderStyle(TBorderStyle::Dialog);
    form->OnClose = [this](TComponent*, TCloseAction&) { ++closes; };
    ok->SetName("ButtonOK");
    ok->SetCaption("OK");
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    cancel->SetName("ButtonCancel");
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    panel->SetName("Panel");
    first->SetName("chFirst");
    first->SetCaption("Co&pper thickness");
    second->SetName("chSecond");
    second->SetCaption("T&ype");
    for (TControl* control : std::initializer_list<TControl*>{ok, cancel, panel})
      control->SetParent(form.get());
    first->SetParent(panel);
    second->SetParent(panel);
  }
};

using ModalLoopTest = ToolkitTest;

TEST_F(ModalLoopTest, AnInspectionSeesTheShownFormBetweenTheActionsAroundIt) {
  ModalDialog dialog;
  std::vector<bool> seen;
  automation::SetChecked("chFirst", true);
  automation::Inspect([&](TForm& form) {
    seen = {&form == dialog.form.get(), form.Visible(), dialog.first->Checked(), dialog.second->Checked()};
  });
  automation::SetChecked("chSecond", true);
  automation::Click("ButtonOK");
  EXPECT_EQ(dialog.form->ShowModal(), mrOk);
  EXPECT_EQ(seen, (std::vector<bool>{true, true, true, false}));
  EXPECT_TRUE(dialog.second->Checked());
}

TEST_F(ModalLoopTest, ScriptedClickEndsTheLoopWithTheButtonsResult) {
  ModalDialog dialog;
  int clicks = 0;
  dialog.ok->OnClick = [&](TComponent*) { ++clicks; };
  automation::Click("ButtonOK");
  EXPECT_EQ(dialog.form->ShowModal(), mrOk);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(dialog.closes, 1);
  EXPECT_FALSE(dialog.form->Visible());
  EXPECT_FALSE(dialog.form->Modal());
}

TEST_F(ModalLoopTest, RunningOutOfInputClosesAsTheCloseButtonWould) {
  ModalDialog dialog;
  EXPECT_EQ(dialog.form->ShowModal(), mrCancel);
  EXPECT_EQ(dialog.closes, 1);
}

TEST_F(ModalLoopTest, AFormThatRefusesToCloseStillEndsWhenInputRunsOut) {
  ModalDialog dialog;
  int queries = 0;
  dialog.form->OnCloseQuery = [&](TComponent*, bool& canClose) {
    ++queries;
    canClose = false;
  };
  automation::PressCloseButton();
  automation::Click("OK");
  EXPECT_EQ(dialog.form->ShowModal(), mrCancel);
  EXPECT_EQ(queries, 3);  // close button, OK, and the end of input
}

TEST_F(ModalLoopTest, EscapeAndEnterReachTheCancelAndDefaultButtons) {
  {
    ModalDialog dialog;
    automation::PressKey(platform::VK_ESCAPE);
    EXPECT_EQ(dialog.form->ShowModal(), mrCancel);
    EXPECT_EQ(platform::QueuedMessageCount(), 0);
  }
  {
    ModalDialog dialog;
    automation::PressKey(platform::VK_RETURN);
    automation::PressKey(platform::VK_ESCAPE);  // never reached
    EXPECT_EQ(dialog.form->ShowModal(), mrOk);
    EXPECT_EQ(automation::PendingActions(), 1);
  }
}

TEST_F(ModalLoopTest, ClicksFindControlsByCaptionIgnoringAccelerators) {
  ModalDialog dialog;
  automation::Click("copper thickness");
  automation::Click("T&ype");
  automation::Click("chSecond");
  automation::Click("Nothing here");
  automation::Click("OK");
  EXPECT_EQ(dialog.form->ShowModal(), mrOk);
  EXPECT_TRUE(dialog.first->Checked());
  EXPECT_FALSE(dialog.second->Checked());
  ASSERT_EQ(automation::Failures().size(), 1u);
  EXPECT_NE(automation::Failures()[0].find("Nothing here"), std::string::npos);
}

TEST_F(ModalLoopTest, SetCheckedLeavesExactlyTheRequestedState) {
  ModalDialog dialog;
  dialog.first->SetChecked(true);
  automation::SetChecked("chFirst", true);
  automation::SetChecked("chSecond", true);
  automation::SetChecked("chSecond", false);
  automation::Click("OK");
  EXPECT_EQ(dialog.form->ShowModal(), mrOk);
  EXPECT_TRUE(dialog.first->Checked());
  EXPECT_FALSE(dialog.second->Checked());
}

TEST_F(ModalLoopTest, TabWalksTheTabSequenceAndSpaceTogglesTheFocusedBox) {
  ModalDialog dialog;
  // OK has the focus at first; Tab goes to Cancel, then into the panel.
  automation::PressKey(platform::VK_TAB);
  automation::PressKey(platform::VK_TAB);
  automation::PressKey(platform::VK_SPACE);
  automation::PressKey(platform::VK_TAB);
  automation::PressKey(platform::VK_TAB);  // wraps to OK
  automation::PressKey(platform::VK_TAB, /*shift=*/true);
  automation::PressKey(platform::VK_SPACE);  // back on the second box
  automation::PressKey(platform::VK_RETURN);
  EXPECT_EQ(dialog.form->ShowModal(), mrOk);
  EXPECT_TRUE(dialog.first->Checked());
  EXPECT_TRUE(dialog.second->Checked());
}

TEST_F(ModalLoopTest, HandlerErrorsGoToTheApplicationAndTheLoopGoesOn) {
  ModalDialog dialog;
  std::string reported;
  Application().OnException = [&](TComponent*, std::exception_ptr error) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      reported = e.what();
    }
  };
  int caught = 0, handled = 0;
  const int a = Hooks::Get().exceptionCaught.Add([&](std::exception_ptr) { ++caught; });
  const int b = Hooks::Get().exceptionHandled.Add([&] { ++handled; });
  dialog.first->OnClick = [](TComponent*) { throw std::runtime_error("broken handler"); };
  automation::Click("chFirst");
  automation::Click("OK");
  EXPECT_EQ(dialog.form->ShowModal(), mrOk);
  Hooks::Get().exceptionCaught.Remove(a);
  Hooks::Get().exceptionHandled.Remove(b);
  EXPECT_EQ(reported, "broken handler");
  EXPECT_EQ(caught, 1);
  EXPECT_EQ(handled, 1);
}

TEST_F(ModalLoopTest, AVisibleFormCannotBecomeModal) {
  ModalDialog dialog;
  dialog.form->Show();
  EXPECT_THROW(dialog.form->ShowModal(), EInvalidOperation);
}

TEST_F(ModalLoopTest, NestedModalLoopsSendInputToTheInnermostForm) {
  ModalDialog outer;
  ModalDialog inner;
  TModalResult innerResult = mrNone;
  outer.first->OnClick = [&](TComponent*) {
    automation::Click("ButtonCancel");
    innerResult = inner.form->ShowModal();
  };
  automation::Click("chFirst");
  automation::Click("ButtonOK");
  // Actions run in queue order against whichever form takes input then: the
  // OK queued first reaches the inner form, Cancel the outer one.
  EXPECT_EQ(outer.form->ShowModal(), mrCancel);
  EXPECT_EQ(innerResult, mrOk);
}

TEST_F(ModalLoopTest, ActiveWindowComesBackAfterTheLoop) {
  platform::WindowCreateParams params;
  params.className = "Main";
  params.style = platform::WS_VISIBLE;
  const platform::HWND main = platform::CreateWindow(params);
  platform::SetActiveWindow(main);
  {
    ModalDialog dialog;
    EXPECT_EQ(dialog.form->ShowModal(), mrCancel);
  }
  EXPECT_EQ(platform::GetActiveWindow(), main);
  platform::DestroyWindow(main);
}

TEST_F(ModalLoopTest, ClientSizeAndPositionFollowTheFrame) {
  ModalDialog dialog;
  dialog.form->SetClientWidth(523);
  dialog.form->SetClientHeight(226);
  EXPECT_EQ(dialog.form->ClientWidth(), 523);
  EXPECT_EQ(dialog.form->ClientHeight(), 226);
  dialog.form->SetBorderIcons(biSystemMenu | biHelp);
  EXPECT_EQ(dialog.form->ClientWidth(), 523);
  EXPECT_NE(platform::GetWindowExStyle(dialog.form->Handle()) & platform::WS_EX_CONTEXTHELP, 0u);

  // Centred on the primary monitor, whichever the machine reports.
  const platform::Rect screen = PrimaryMonitorBounds();
  dialog.form->SetPosition(TPosition::ScreenCenter);
  dialog.form->ApplyPosition();
  EXPECT_EQ(dialog.form->Left(), screen.left + (screen.width() - dialog.form->Width()) / 2);
  EXPECT_EQ(dialog.form->Top(), screen.top + (screen.height() - dialog.form->Height()) / 2);
  platform::Rect rect;
  ASSERT_TRUE(platform::GetWindowRect(dialog.form->Handle(), &rect));
  EXPECT_EQ(rect.left, dialog.form->Left());
}

}  // namespace
