// The standard file dialog: its window, its parent, its hooks, and the
// simulated user's answers.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ToolkitFixture.h"
#include "toolkit/CommonDialogs.h"
#include "toolkit/Form.h"

using namespace toolkit;
namespace automation = toolkit::automation;

namespace {

class CommonDialogTest : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    ASSERT_TRUE(platform::CreateDirectories("C:\\Boards"));
    ASSERT_TRUE(platform::WriteFile("C:\\Boards\\node.board.json", "{}"));
  }
  void TearDown() override {
    for (const int id : hooks_) Hooks::Get().commonDialog.Remove(id);
    platform::ResetWindows();
    ToolkitTest::TearDown();
  }
  void Watch(std::function<void(TCommonDialog&, CommonDialogStage, platform::HWND&)> hook) {
    hooks_.push_back(Hooks::Get().commonDialog.Add(std::move(hook)));
  }
  std::vector<int> hooks_;
};

TEST_F(CommonDialogTest, AnOpenDialogTakesAnExistingFileInItsFolderAndRefusesAMissingOne) {
  TOpenDialog dialog(nullptr);
  dialog.SetInitialDir("C:\\Boards");
  automation::ChooseFile("missing.board.json");
  automation::ChooseFile("node.board.json");
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName(), "C:\\Boards\\node.board.json");
  EXPECT_EQ(automation::Failures(),
            std::vector<std::string>{"the standard dialog refused \"missing.board.json\""});
  EXPECT_EQ(dialog.Handle(), 0);
  EXPECT_EQ(TCommonDialog::Running(), nullptr);
}

TEST_F(CommonDialogTest, ASaveDialogNeedsAnExistingFolderAndAddsTheDefaultExtension) {
  TSaveDialog dialog(nullptr);
  dialog.SetDefaultExt("svg");
  automation::ChooseFile("C:\\Nowhere\\out");
  automation::ChooseFile("C:\\Boards\\out");
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName(), "C:\\Boards\\out.svg");
  EXPECT_EQ(automation::Failures().size(), 1u);
}

TEST_F(CommonDialogTest, TheCloseButtonOrRunningOutOfInputCancels) {
  TOpenDialog dialog(nullptr);
  dialog.SetFileName("C:\\Boards\\node.board.json");
  automation::PressCloseButton();
  EXPECT_FALSE(dialog.Execute());
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.FileName(), "C:\\Boards\\node.board.json");
  // With no dialog running an answer finds nothing to answer.
  automation::ChooseFile("node.board.json");
  Application().ProcessMessages();
  EXPECT_EQ(automation::Failures(),
            std::vector<std::string>{"no standard dialog to take \"node.board.json\""});
}

// A host that closed its main window leaves a stale application window: the
// dialog then has no parent instead of failing.
TEST_F(CommonDialogTest, AClosedApplicationWindowIsNoParent) {
  platform::WindowCreateParams params;
  params.className = "Host";
  const platform::HWND host = platform::CreateWindow(params);
  Application().SetHandle(host);
  platform::DestroyWindow(host);
  platform::HWND owning = 1;
  Watch([&owning](TCommonDialog& running, CommonDialogStage stage, platform::HWND&) {
    if (stage == CommonDialogStage::Initialized) owning = platform::GetWindowOwner(running.Handle());
  });
  TOpenDialog dialog(nullptr);
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(owning, 0);
}

// The hooks see the parent before the window exists and may replace it, the
// dialog's own window once it is initialised, and the same window at the end.
TEST_F(CommonDialogTest, HooksChooseTheParentAndSeeTheDialogsWindow) {
  TForm owner(nullptr);
  owner.SetCaption("Owner");
  Application().SetHandle(owner.Handle());
  platform::WindowCreateParams params;
  params.className = "Anchor";
  params.style = platform::WS_POPUP;
  const platform::HWND anchor = platform::CreateWindow(params);
  std::vector<CommonDialogStage> stages;
  platform::HWND offered = 0;
  platform::HWND initialised = 0;
  platform::HWND closed = 0;
  Watch([&](TCommonDialog&, CommonDialogStage stage, platform::HWND& window) {
    stages.push_back(stage);
    if (stage == CommonDialogStage::Executing) {
      offered = window;
      window = anchor;
    }
    if (stage == CommonDialogStage::Initialized) initialised = window;
    if (stage == CommonDialogStage::Closed) closed = window;
  });
  platform::HWND owning = 0;
  std::string className;
  automation::PressCloseButton();
  TOpenDialog dialog(nullptr);
  dialog.SetTitle("Open board");
  Watch([&](TCommonDialog& running, CommonDialogStage stage, platform::HWND&) {
    if (stage != CommonDialogStage::Initialized) return;
    owning = platform::GetWindowOwner(running.Handle());
    className = platform::GetClassName(running.Handle());
  });
  EXPECT_FALSE(dialog.Execute());

  EXPECT_EQ(stages,
            (std::vector<CommonDialogStage>{CommonDialogStage::Executing, CommonDialogStage::Initialized,
                                            CommonDialogStage::Closed}));
  EXPECT_EQ(offered, owner.Handle());
  EXPECT_EQ(owning, anchor);
  EXPECT_EQ(className, kFileDialogClass);
  EXPECT_NE(initialised, 0);
  EXPECT_EQ(closed, initialised);
  EXPECT_FALSE(platform::IsWindow(initialised));
}

}  // namespace
