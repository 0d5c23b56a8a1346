#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <regex>
#include <vector>

#include "ToolkitFixture.h"
#include "platform/Keys.h"
#include "toolkit/FormDescription.h"
#include "toolkit/FormSvg.h"
#include "toolkit/TextMetrics.h"
#include "toolkit/ThemedControls.h"

using namespace toolkit;

namespace {

// A dialog laid out like a setup dialog: two buttons on the form, check
// boxes on a panel created in another order than their tab order.
constexpr const char* kDialog = R"(object Dialog: TForm
  BorderIcons = [biSystemMenu, biMinimize, biMaximize]
  BorderStyle = bsDialog
  Caption = 'Setup'
  ClientHeight = 226
  ClientWidth = 523
  object ButtonOK: TXPBitBtn
    Left = 360
    Top = 193
    Width = 74
    Height = 24
    Caption = 'OK'
    Default = True
    TabOrder = 0
  end
  object ButtonCancel: TXPBitBtn
    Left = 439
    Top = 193
    Width = 74
    Height = 24
    Caption = 'Cancel'
    Cancel = True
    ModalResult = 2
    TabOrder = 1
  end
  object Panel: TXPExtPanel
    Left = 8
    Top = 8
    Width = 505
    Height = 177
    TabOrder = 2
    object lbLayerDisplay: TLabel
      Left = 11
      Top = 14
      Width = 63
      Height = 13
      Caption = 'Layer Display'
    end
    object Bevel3: TBevel
      Left = 82
      Top = 20
      Width = 156
      Height = 5
      Shape = bsTopLine
    end
    object chSecond: TXPCheckBox
      Left = 274
      Top = 35
      Width = 223
      Height = 16
      Caption = '&Second'
      TabOrder = 1
    end
    object chThird: TXPCheckBox
      Left = 18
      Top = 103
      Width = 97
      Height = 17
      Caption = 'T&ype'
      Checked = True
      TabOrder = 2
    end
    object chFirst: TXPCheckBox
      Left = 18
      Top = 35
      Width = 105
      Height = 17
      Caption = 'Co&pper thickness'
      TabOrder = 0
    end
  end
end
)";

class DialogWindowTest : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    ReadComponent(form, kDialog);
  }
  TWinControl* Control(const char* name) { return dynamic_cast<TWinControl*>(form.FindComponent(name)); }

  TForm form{nullptr};
};

TEST_F(DialogWindowTest, DialogFrameAndCaptionButtonsKeepTheClientArea) {
  // Fixed frame 4 on each side, caption 24: 523 + 8 by 226 + 32.
  EXPECT_EQ(form.Width(), 531);
  EXPECT_EQ(form.Height(), 258);
  const platform::HWND window = form.Handle();
  platform::Rect client;
  ASSERT_TRUE(platform::GetClientRect(window, &client));
  EXPECT_EQ(client, (platform::Rect{0, 0, 523, 226}));
  // A dialog frame shows no minimise or maximise box, so the help button can show.
  EXPECT_EQ(platform::GetWindowStyle(window) & (platform::WS_MINIMIZEBOX | platform::WS_MAXIMIZEBOX), 0u);

  form.SetBorderIcons(biSystemMenu | biHelp);
  const platform::HWND recreated = form.Handle();
  EXPECT_EQ(form.ClientWidth(), 523);
  EXPECT_EQ(form.ClientHeight(), 226);
  ASSERT_TRUE(platform::GetClientRect(recreated, &client));
  EXPECT_EQ(client, (platform::Rect{0, 0, 523, 226}));
  EXPECT_NE(platform::GetWindowStyle(recreated) & platform::WS_SYSMENU, 0u);
  EXPECT_NE(platform::GetWindowExStyle(recreated) & platform::WS_EX_CONTEXTHELP, 0u);
  EXPECT_NE(platform::GetWindowExStyle(recreated) & platform::WS_EX_DLGMODALFRAME, 0u);

  // A sizeable window has the wider sizing frame, so the same window holds
  // a smaller client area; the window's own styles decide once it exists.
  form.SetBorderStyle(TBorderStyle::Sizeable);
  EXPECT_EQ(form.ClientWidth(), 531 - 16);
  EXPECT_EQ(form.ClientHeight(), 258 - 16 - 24);
  EXPECT_NE(platform::GetWindowStyle(form.Handle()) & platform::WS_THICKFRAME, 0u);
  // There the boxes show, and then the help button cannot.
  form.SetBorderIcons(biSystemMenu | biMaximize | biHelp);
  EXPECT_NE(platform::GetWindowStyle(form.Handle()) & platform::WS_MAXIMIZEBOX, 0u);
  EXPECT_EQ(platform::GetWindowExStyle(form.Handle()) & platform::WS_EX_CONTEXTHELP, 0u);
}

TEST_F(DialogWindowTest, CentresOnTheMonitorOfAWindow) {
#if !defined(_WIN32)
  // Three monitors, the primary one on the left; on Windows the monitors are
  // the system's own, however many it has.
  std::ofstream(std::filesystem::path(platform::MachineRoot()) / "machine.ini")
      << "[Monitor1]\nBounds=-1280,-1,0,1024\n[Monitor2]\nBounds=0,0,1920,1080\n[Monitor3]\n"
         "Bounds=1920,0,3200,1024\n";
#endif
  const std::vector<platform::MonitorInfo> monitors = platform::GetMonitors();
  const auto centredOn = [this](const platform::Rect& bounds) {
    // Within half a pixel of the monitor's middle, both ways.
    return std::abs(2 * form.Left() + form.Width() - (bounds.left + bounds.right)) <= 1 &&
           std::abs(2 * form.Top() + form.Height() - (bounds.top + bounds.bottom)) <= 1;
  };
  platform::WindowCreateParams params;
  const platform::HWND active = platform::CreateWindow(params);
  for (const platform::MonitorInfo& monitor : monitors) {
    const platform::Rect& at = monitor.bounds;
    platform::SetWindowRect(active, {at.left + 10, at.top + 10, at.left + 110, at.top + 60});
    ASSERT_TRUE(form.CenterOnMonitorOf(active));
    EXPECT_TRUE(centredOn(at)) << form.Left() << "," << form.Top() << " on " << at.left << "," << at.top;
    EXPECT_EQ(form.Width(), 531);
  }
  // Without a window: the primary monitor.
  ASSERT_TRUE(form.CenterOnMonitorOf(0));
  for (const platform::MonitorInfo& monitor : monitors) {
    if (monitor.primary) {
      EXPECT_TRUE(centredOn(monitor.bounds));
    }
  }
#if !defined(_WIN32)
  // Halves are cut towards zero: (1920 + 3200 - 531) / 2 = 2294.5 and
  // (0 + 1024 - 258) / 2 = 383.
  platform::SetWindowRect(active, {2500, 100, 2900, 400});
  ASSERT_TRUE(form.CenterOnMonitorOf(active));
  EXPECT_EQ(form.Left(), 2294);
  EXPECT_EQ(form.Top(), 383);
  // On the left monitor the sums are negative: -1811 / 2 goes to -905, not -906.
  platform::SetWindowRect(active, {-900, 10, -800, 20});
  ASSERT_TRUE(form.CenterOnMonitorOf(active));
  EXPECT_EQ(form.Left(), -905);
  EXPECT_EQ(form.Top(), (-1 + 1024 - 258) / 2);
#endif
  platform::DestroyWindow(active);
}

TEST_F(DialogWindowTest, TabWalksTheTabStopsInTabOrderAndWraps) {
  form.Show();
  // The default button takes the focus first.
  ASSERT_EQ(form.ActiveControl(), Control("ButtonOK"));
  const std::vector<std::string> forward = {"ButtonCancel", "chFirst", "chSecond", "chThird", "ButtonOK"};
  for (const std::string& name : forward) {
    ASSERT_TRUE(form.HandleKey(platform::VK_TAB));
    ASSERT_NE(form.ActiveControl(), nullptr);
    EXPECT_EQ(form.ActiveControl()->Name(), name);
  }
  platform::SetKeyState(platform::VK_SHIFT, true);
  for (auto it = forward.rbegin() + 1; it != forward.rend(); ++it) {
    ASSERT_TRUE(form.HandleKey(platform::VK_TAB));
    EXPECT_EQ(form.ActiveControl()->Name(), *it);
  }
  ASSERT_TRUE(form.HandleKey(platform::VK_TAB));
  EXPECT_EQ(form.ActiveControl()->Name(), "ButtonOK");
  platform::SetKeyState(platform::VK_SHIFT, false);

  // The focus in a control's own child window counts as that control's.
  platform::WindowCreateParams inner;
  inner.parent = Control("chSecond")->Handle();
  inner.style = platform::WS_CHILD | platform::WS_VISIBLE;
  platform::SetFocus(platform::CreateWindow(inner));
  EXPECT_EQ(form.ActiveControl(), Control("chSecond"));
  EXPECT_EQ(form.SelectNextFrom(TWinControl::FindControlOrAncestor(platform::GetFocus()), true),
            Control("chThird"));

  // Disabled and hidden controls are passed over.
  Control("chFirst")->SetEnabled(false);
  Control("ButtonCancel")->SetVisible(false);
  EXPECT_EQ(form.SelectNextFrom(Control("ButtonOK"), true), Control("chSecond"));
}

// Reads an attribute of the element with this id.
int Attribute(const std::string& svg, const std::string& id, const std::string& name) {
  const std::regex element("<[a-z]+ id=\"" + id + "\"[^>]*>");
  std::smatch match;
  if (!std::regex_search(svg, match, element)) return -1000000;
  const std::regex attribute(" " + name + "=\"(-?[0-9]+)\"");
  const std::string tag = match.str();
  std::smatch value;
  if (!std::regex_search(tag, value, attribute)) return -1000000;
  return std::stoi(value[1].str());
}

TEST_F(DialogWindowTest, DrawingPlacesEveryControlWhereTheDescriptionDoes) {
  form.SetBorderIcons(biSystemMenu | biHelp);
  const std::string svg = DrawFormSvg(form);
  const TRect frame = form.FrameInsets();
  EXPECT_EQ(Attribute(svg, "frame", "width"), 531);
  EXPECT_EQ(Attribute(svg, "client", "x"), frame.Left);
  EXPECT_EQ(Attribute(svg, "client", "y"), frame.Top);
  EXPECT_EQ(Attribute(svg, "client", "width"), 523);
  // Form controls at client origin + their position; panel children at the
  // panel's origin too.
  EXPECT_EQ(Attribute(svg, "ButtonOK", "x"), frame.Left + 360);
  EXPECT_EQ(Attribute(svg, "ButtonOK", "y"), frame.Top + 193);
  EXPECT_EQ(Attribute(svg, "ButtonCancel", "width"), 74);
  EXPECT_EQ(Attribute(svg, "Panel", "x"), frame.Left + 8);
  EXPECT_EQ(Attribute(svg, "chThird", "x"), frame.Left + 8 + 18);
  EXPECT_EQ(Attribute(svg, "chThird", "y"), frame.Top + 8 + 103);
  EXPECT_EQ(Attribute(svg, "chSecond", "width"), 223);
  // The rule of "Layer Display" starts 6 pixels after the caption's
  // measured width, past its designed left.
  const TControl* title = dynamic_cast<const TControl*>(form.FindComponent("lbLayerDisplay"));
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(Attribute(svg, "Bevel3", "x1"),
            frame.Left + 8 + 11 + TextWidth("Layer Display", title->Font()) + 6);
  EXPECT_EQ(Attribute(svg, "Bevel3", "x2"), frame.Left + 8 + 82 + 156);
  EXPECT_EQ(Attribute(svg, "Bevel3", "y1"), frame.Top + 8 + 20);
  EXPECT_NE(svg.find("id=\"help\""), std::string::npos);
  EXPECT_NE(svg.find("id=\"close\""), std::string::npos);
  // Captions are drawn as shown, starting 17 pixels into the check box (after
  // the box itself); each accelerator letter is underlined within the run.
  EXPECT_EQ(svg.find("&amp;"), std::string::npos);
  const std::regex caption(
      R"re(<text x="(\d+)" y="(\d+)"[^>]*>(T?)<tspan class="accelerator" text-decoration="underline">)re"
      R"re(([yS])</tspan>(pe|econd)</text>)re");
  int underlined = 0;
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), caption); it != std::sregex_iterator(); ++it) {
    const std::string shown = (*it)[3].str() + (*it)[4].str() + (*it)[5].str();
    SCOPED_TRACE(shown);
    const int boxLeft = frame.Left + 8 + (shown == "Second" ? 274 : 18);
    EXPECT_EQ(std::stoi((*it)[1].str()), boxLeft + 17);
    ++underlined;
  }
  EXPECT_EQ(underlined, 2);
  EXPECT_EQ(AcceleratorIndex("Fish && &Chips"), 7u);
  EXPECT_EQ(AcceleratorIndex("No && mark&"), std::string::npos);
}

}  // namespace
