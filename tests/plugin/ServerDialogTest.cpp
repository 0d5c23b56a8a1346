// The server dialog base: where a dialog opens, what its window looks like,
// which font it takes, how Tab walks it and where a resizable one keeps its
// placement.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "PluginModuleSession.h"
#include "host/HostSettings.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"
#include "plugin/RTL/PreferencePaths.h"
#include "plugin/RTL/ServerDialog.h"
#include "plugin/SetupDialog.h"
#include "toolkit/Automation.h"
#include "toolkit/Button.h"
#include "toolkit/HintWindow.h"
#include "toolkit/Label.h"

namespace strativue {
namespace {

namespace automation = toolkit::automation;
using dialogtest::DialogTest;

// A dialog designed with a resizable border.
class TResizableTestDialog : public TServerDialog {
 public:
  using TServerDialog::TServerDialog;
  TOOLKIT_DECLARE_CLASS()

 protected:
  std::string_view FormDescription() const override {
    return "object ResizableTestDialog: TResizableTestDialog\n"
           "  BorderStyle = bsSizeable\n"
           "  Caption = 'Resizable'\n"
           "  ClientWidth = 300\n"
           "  ClientHeight = 200\n"
           "  Position = poScreenCenter\n"
           "end\n";
  }
};

const toolkit::ClassInfo& TResizableTestDialog::StaticClass() {
  static const toolkit::ClassInfo info("TResizableTestDialog", &TServerDialog::StaticClass(), {});
  return info;
}

class ServerDialogTest : public DialogTest {
 protected:
  // Two monitors side by side and an active window on the second one.
  void ActiveWindowOnSecondMonitor() {
    WriteMachineFacts(
        "[Monitor1]\nBounds=0,0,1920,1080\nWorkArea=0,0,1920,1040\n"
        "[Monitor2]\nBounds=1920,0,3200,1024\nWorkArea=1920,0,3200,984\n");
    ActivateWindowAt({2000, 100, 2600, 500});
  }
  static void ActivateWindowAt(const platform::Rect& rect) {
    platform::WindowCreateParams params;
    params.className = "TEditorWindow";
    params.rect = rect;
    params.style = platform::WS_CAPTION | platform::WS_VISIBLE;
    const platform::HWND window = platform::CreateWindow(params);
    ASSERT_NE(window, 0);
    platform::SetActiveWindow(window);
  }
  std::string PlacementKey(const std::string& className) const {
    return GetPreferenceRegistryPath() + "\\Forms\\" + className;
  }
};

TEST_F(ServerDialogTest, ADialogIsCentredOnTheFullBoundsOfTheActiveWindowsMonitor) {
#if defined(_WIN32)
  // The system's own monitors: the active window on the primary one.
  platform::Rect first = platform::GetMonitors().front().bounds;
  for (const platform::MonitorInfo& monitor : platform::GetMonitors())
    if (monitor.primary) first = monitor.bounds;
  const platform::Rect second = first;
  ActivateWindowAt({first.left + 80, first.top + 100, first.left + 680, first.top + 500});
#else
  ActiveWindowOnSecondMonitor();
  const platform::Rect first{0, 0, 1920, 1080};
  const platform::Rect second{1920, 0, 3200, 1024};
#endif
  const auto bare = TServerDialog::CreateDialog<TServerDialog>();
  bare->SetBounds(0, 0, 531, 258);
  bare->CenterOnActiveMonitor();
  // On the second monitor: (1920 + 3200 - 531) / 2 = 2294.5 and
  // (0 + 1024 - 258) / 2 = 383, truncated.
  EXPECT_EQ(bare->Left(), (second.left + second.right - 531) / 2);
  EXPECT_EQ(bare->Top(), (second.top + second.bottom - 258) / 2);

  // The setup dialog keeps its designed client area whatever frame it gets,
  // and opens there too, whatever its designed place says.
  const auto setup = TServerDialog::CreateDialog<TLegendSetupDialog>();
  EXPECT_EQ(setup->ClientWidth(), 523);
  EXPECT_EQ(setup->ClientHeight(), 226);
  EXPECT_EQ(setup->Left(), (second.left + second.right - setup->Width()) / 2);
  EXPECT_EQ(setup->Top(), (second.top + second.bottom - setup->Height()) / 2);
  // Showing keeps that place (the toolkit's "centred on screen" would take
  // the primary monitor).
  const toolkit::TRect placed = setup->BoundsRect();
  setup->Show();
  EXPECT_EQ(setup->BoundsRect(), placed);
  setup->Hide();
  setup->SetBounds(5, 5, setup->Width(), setup->Height());

  // Moved last time, it opens centred again, now on the first monitor.
  ActivateWindowAt({first.left + 100, first.top + 100, first.left + 300, first.top + 300});
  const auto again = TServerDialog::CreateDialog<TLegendSetupDialog>();
  EXPECT_EQ(again->Left(), (first.left + first.right - again->Width()) / 2);
  EXPECT_EQ(again->Top(), (first.top + first.bottom - again->Height()) / 2);
}

TEST_F(ServerDialogTest, TheHostsMainWindowOwnsTheDialogWithCloseAndHelpInItsCaption) {
  const auto dialog = TServerDialog::CreateDialog<TLegendSetupDialog>();
  EXPECT_EQ(dialog->BorderStyle(), toolkit::TBorderStyle::Dialog);
  EXPECT_EQ(dialog->BorderIcons(), toolkit::biSystemMenu | toolkit::biHelp);
  EXPECT_FALSE(dialog->FResizableFrame);
  EXPECT_TRUE(dialog->ShowHint());
  const platform::HWND window = dialog->Handle();
  EXPECT_EQ(platform::GetWindowOwner(window), quorvex::Host::Instance().MainWindow());
  EXPECT_NE(platform::GetWindowExStyle(window) & platform::WS_EX_CONTEXTHELP, 0u);
  EXPECT_EQ(platform::GetWindowStyle(window) & platform::WS_THICKFRAME, 0u);
  EXPECT_EQ(platform::GetWindowText(window), "Strativue Setup");

  // Without a host client there is no owner and the designed font stays.
  SetHostClient(nullptr);
  const auto alone = TServerDialog::CreateDialog<TLegendSetupDialog>();
  EXPECT_EQ(platform::GetWindowOwner(alone->Handle()), 0);
  EXPECT_FALSE(alone->FUsesHostFont);
  EXPECT_EQ(alone->CheckBox("chType").Font().Name(), "MS Sans Serif");
}

TEST_F(ServerDialogTest, TheHostFontReplacesTheDesignedFontOnTheFormAndEveryControl) {
  {
    const auto designed = TServerDialog::CreateDialog<TLegendSetupDialog>();
    EXPECT_FALSE(designed->FUsesHostFont);
    EXPECT_EQ(designed->Font().Name(), "MS Sans Serif");
    EXPECT_EQ(designed->Font().Height(), -11);
  }
  ASSERT_TRUE(platform::CreateDirectories(quorvex::HostPreferenceFolder()));
  ASSERT_TRUE(
      platform::WriteFile(quorvex::HostSettingsPath(),
                          "[Font]\r\nName=Tahoma\r\nSize=9\r\nStyle=1\r\nColour=255\r\nCharset=0\r\n"));
  const auto dialog = TServerDialog::CreateDialog<TLegendSetupDialog>();
  EXPECT_TRUE(dialog->FUsesHostFont);
  // 9 points at 96 pixels per inch: 9 * 96 / 72 = 12 pixels.
  toolkit::TFont host;
  host.SetName("Tahoma");
  host.SetHeight(-12);
  host.SetStyle(toolkit::fsBold);
  host.SetColor(255);
  host.SetCharset(0);
  EXPECT_EQ(dialog->FHostFont, host);
  EXPECT_EQ(dialog->Font(), host);
  for (const char* name : {"ButtonOK", "TeThemeTabControl1", "lbLayerDisplay", "chConstant"}) {
    auto* control = dynamic_cast<toolkit::TControl*>(dialog->FindComponent(name));
    ASSERT_NE(control, nullptr) << name;
    EXPECT_EQ(control->Font(), host) << name;
  }
  // A control added later takes the host font too.
  auto* later = dialog->Create<toolkit::TLabel>();
  later->SetParent(dialog.get());
  EXPECT_EQ(later->Font(), host);
}

// OK and Cancel first, then the panel's check boxes by their own tab order,
// and round again; Shift+Tab walks back.
TEST_F(ServerDialogTest, TabWalksOkCancelThenTheCheckBoxesAndWraps) {
  std::vector<std::string> walk;
  const auto note = [&walk] {
    automation::Inspect([&walk](toolkit::TForm& form) {
      auto* focused = toolkit::TWinControl::FindControl(platform::GetFocus());
      walk.push_back(focused != nullptr && focused->ParentForm() == &form ? focused->Name() : "?");
    });
  };
  note();
  for (int i = 0; i < 10; ++i) {
    automation::PressKey(platform::VK_TAB);
    note();
  }
  automation::PressKey(platform::VK_TAB, /*shift=*/true);
  note();
  automation::PressKey(platform::VK_TAB, /*shift=*/true);
  note();
  automation::Click("ButtonCancel");
  TLegendOptions options;
  EXPECT_FALSE(ShowSetupDialog(options));
  EXPECT_EQ(walk,
            (std::vector<std::string>{"ButtonOK", "ButtonCancel", "chXtDielectrics", "chCopperThickness",
                                      "chGerberExtension", "chType", "chMaterial", "chHeight", "chConstant",
                                      "ButtonOK", "ButtonCancel", "ButtonOK", "chConstant"}));
}

// The focus may sit in a window of a control that is not a control itself.
TEST_F(ServerDialogTest, TabFromAForeignChildWindowStartsAtItsControl) {
  const auto dialog = TServerDialog::CreateDialog<TLegendSetupDialog>();
  dialog->Show();
  platform::WindowCreateParams params;
  params.className = "Edit";
  params.style = platform::WS_CHILD | platform::WS_VISIBLE;
  params.parent = dialog->CheckBox("chType").Handle();
  const platform::HWND inner = platform::CreateWindow(params);
  ASSERT_NE(inner, 0);
  platform::SetFocus(inner);
  EXPECT_TRUE(dialog->DialogKey(platform::VK_TAB));
  EXPECT_TRUE(dialog->CheckBox("chMaterial").Focused());
}

TEST_F(ServerDialogTest, AResizableDialogKeepsItsPlacementAndTheSetupDialogNever) {
#if defined(_WIN32)
  // The monitors are the system's there; the active window is on the first.
  ActivateWindowAt({100, 100, 700, 500});
#else
  ActiveWindowOnSecondMonitor();
#endif
  platform::Rect monitor;
  platform::Rect work;
  ASSERT_TRUE(platform::GetMonitorInfo(
      platform::MonitorFromWindow(platform::GetActiveWindow(), platform::MONITOR_DEFAULTTONEAREST), &monitor,
      &work));
  {
    const auto first = TServerDialog::CreateDialog<TResizableTestDialog>();
    EXPECT_TRUE(first->FResizableFrame);
    EXPECT_EQ(first->BorderStyle(), toolkit::TBorderStyle::Dialog);
    EXPECT_NE(platform::GetWindowStyle(first->Handle()) & platform::WS_THICKFRAME, 0u);
    // Nothing stored yet: the designed size, centred.
    EXPECT_EQ(first->ClientWidth(), 300);
    EXPECT_EQ(first->ClientHeight(), 200);
    EXPECT_EQ(first->Left(), (monitor.left + monitor.right - first->Width()) / 2);
    first->SetBounds(-40, 30, 450, 320);
    EXPECT_TRUE(first->CloseQuery());
  }
  const std::string key = PlacementKey("TResizableTestDialog");
  EXPECT_EQ(platform::ReadDword(platform::HKEY_CURRENT_USER, key, "Width"), 450u);
  const auto second = TServerDialog::CreateDialog<TResizableTestDialog>();
  EXPECT_EQ(second->BoundsRect(), (toolkit::TRect{-40, 30, 410, 350}));

  const auto setup = TServerDialog::CreateDialog<TLegendSetupDialog>();
  EXPECT_TRUE(setup->CloseQuery());
  EXPECT_FALSE(platform::KeyExists(platform::HKEY_CURRENT_USER, PlacementKey("TLegendSetupDialog")));
}

TEST_F(ServerDialogTest, TheNoShadowHintWindowDropsOnlyTheShadowClassStyle) {
  toolkit::THintWindow plain(nullptr);
  TNoShadowHintWindow flat(nullptr);
  plain.ActivateHint({0, 0, 50, 20}, "hint");
  flat.ActivateHint({0, 0, 50, 20}, "hint");
  const uint32_t plainStyle = platform::GetClassStyle(plain.Handle());
  EXPECT_NE(plainStyle & platform::CS_DROPSHADOW, 0u);
  EXPECT_EQ(platform::GetClassStyle(flat.Handle()), plainStyle & ~platform::CS_DROPSHADOW);
}

class HintWindowClassTest : public moduletest::PluginModuleTest {
 protected:
  // The window class and class style of the tooltip shown for a control.
  static std::pair<std::string, uint32_t> ShownHint() {
    toolkit::TForm form(nullptr);
    auto* button = form.Create<toolkit::TButton>();
    button->SetParent(&form);
    button->SetHint("Close the dialog");
    button->SetShowHint(true);
    toolkit::Application().ActivateHint(*button);
    const platform::HWND window = toolkit::Application().HintWindow()->Handle();
    std::pair<std::string, uint32_t> shown{platform::GetClassName(window), platform::GetClassStyle(window)};
    toolkit::Application().CancelHint();
    return shown;
  }
};

// While the module is loaded its tooltips have no shadow; once it is
// unloaded the toolkit draws its own again instead of calling code that is
// gone.
TEST_F(HintWindowClassTest, TheModuleSetsItsHintWindowAndGivesTheToolkitsBackAtUnload) {
#if defined(_WIN32)
  GTEST_SKIP() << "Strativue.dll sets the hint window of its own static copy of the toolkit, which this "
                  "program cannot see";
#endif
  const auto loaded = ShownHint();
  EXPECT_EQ(loaded.first, "TNoShadowHintWindow");
  EXPECT_EQ(loaded.second & platform::CS_DROPSHADOW, 0u);
  platform::UnloadModule(module_);
  module_ = nullptr;
  const auto unloaded = ShownHint();
  EXPECT_EQ(unloaded.first, "THintWindow");
  EXPECT_NE(unloaded.second & platform::CS_DROPSHADOW, 0u);
}

}  // namespace
}  // namespace strativue
