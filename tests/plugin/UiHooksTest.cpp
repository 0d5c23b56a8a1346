// What the hooks installed at load do to standard dialogs and to controls
// inserted deep inside a dialog.
#include <gtest/gtest.h>

#include <string>

#include "DialogTestSupport.h"
#include "host/HostSettings.h"
#include "plugin/RTL/ClientApi.h"
#include "plugin/RTL/ServerDialog.h"
#include "plugin/RTL/UiHooks.h"
#include "plugin/SetupDialog.h"
#include "toolkit/CommonDialogs.h"
#include "toolkit/Label.h"
#include "toolkit/Panel.h"

namespace strativue {
namespace {

namespace automation = toolkit::automation;

class UiHooksTest : public dialogtest::DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    ClientAPI::Resolve();
    InstallUiHooks();
  }
  void TearDown() override {
    RemoveUiHooks();
    ClientAPI::ResolveFrom(nullptr);
    DialogTest::TearDown();
  }
  // Two monitors; the second is (1920, 0)-(3200, 1024).
  void TwoMonitors(const std::string& windowsVersion) const {
    WriteMachineFacts("[Windows]\nVersion=" + windowsVersion +
                      "\n[Monitor1]\nBounds=0,0,1920,1080\n[Monitor2]\nBounds=1920,0,3200,1024\n");
  }
  static platform::HWND ActiveWindowAt(const platform::Rect& rect) {
    platform::WindowCreateParams params;
    params.className = "TEditorWindow";
    params.rect = rect;
    params.style = platform::WS_CAPTION | platform::WS_VISIBLE;
    const platform::HWND window = platform::CreateWindow(params);
    platform::SetActiveWindow(window);
    return window;
  }
  // Runs a file dialog; the rectangle its window had once it was initialised.
  static platform::Rect FileDialogRect() {
    platform::Rect rect{};
    const int watch = toolkit::Hooks::Get().commonDialog.Add(
        [&rect](toolkit::TCommonDialog& dialog, toolkit::CommonDialogStage stage, platform::HWND&) {
          if (stage == toolkit::CommonDialogStage::Initialized)
            platform::GetWindowRect(dialog.Handle(), &rect);
        });
    toolkit::TOpenDialog dialog(nullptr);
    EXPECT_FALSE(dialog.Execute());
    toolkit::Hooks::Get().commonDialog.Remove(watch);
    return rect;
  }
};

// The file dialog's middle is the middle of the monitor the form taking
// input is on, whichever way the system centres it.
TEST_F(UiHooksTest, AStandardDialogOpensCentredOnTheMonitorOfTheActiveForm) {
#if defined(_WIN32)
  // The system's own monitors and version: the form on the primary monitor.
  platform::Rect monitor = platform::GetMonitors().front().bounds;
  for (const platform::MonitorInfo& info : platform::GetMonitors())
    if (info.primary) monitor = info.bounds;
#else
  TwoMonitors("10.0");
  const platform::Rect monitor{1920, 0, 3200, 1024};
#endif
  const int middleX = (monitor.left + monitor.right) / 2;
  const int middleY = (monitor.top + monitor.bottom) / 2;
  const platform::Rect centred{
      middleX - toolkit::kFileDialogWidth / 2, middleY - toolkit::kFileDialogHeight / 2,
      middleX + toolkit::kFileDialogWidth / 2, middleY + toolkit::kFileDialogHeight / 2};
  // From Vista on, over the form that receives input, by a hidden window.
  platform::Rect seen{};
  automation::Inspect([&seen, &monitor](toolkit::TForm& form) {
    form.SetBounds(monitor.left + 180, monitor.top + 300, form.Width(), form.Height());
    seen = FileDialogRect();
  });
  TLegendOptions options;
  ShowSetupDialog(options);
  EXPECT_EQ(seen, centred);
  for (const platform::HWND window : platform::GetZOrder())
    EXPECT_NE(platform::GetClassName(window), "TStandardDialogAnchor");

#if !defined(_WIN32)
  // Earlier systems: on the monitor of the active window.
  TwoMonitors("5.1");
  ActiveWindowAt({2000, 100, 2600, 500});
  EXPECT_EQ(FileDialogRect(), centred);
#endif
}

// A label inserted into the setup dialog's panel (not into the dialog
// itself) takes the host font of the dialog around it.
TEST_F(UiHooksTest, AControlInsertedDeepInsideADialogTakesItsHostFont) {
  ASSERT_TRUE(platform::CreateDirectories(quorvex::HostPreferenceFolder()));
  ASSERT_TRUE(platform::WriteFile(quorvex::HostSettingsPath(), "[Font]\r\nName=Tahoma\r\nSize=9\r\n"));
  const auto dialog = TServerDialog::CreateDialog<TLegendSetupDialog>();
  auto* panel = dynamic_cast<toolkit::TWinControl*>(dialog->FindComponent("TeThemeTabControl1"));
  ASSERT_NE(panel, nullptr);
  toolkit::TLabel label(nullptr);
  ASSERT_NE(label.Font(), dialog->FHostFont);
  label.SetParent(panel);
  EXPECT_EQ(label.Font(), dialog->FHostFont);

  // Outside any form with help nothing changes.
  toolkit::TForm plain(nullptr);
  toolkit::TPanel outside(nullptr);
  outside.SetParent(&plain);
  toolkit::TLabel other(nullptr);
  other.SetParent(&outside);
  EXPECT_EQ(other.Font(), toolkit::TFont::DefaultFont());
  label.SetParent(nullptr);
}

}  // namespace
}  // namespace strativue
