#include <gtest/gtest.h>

#include "platform/Windows.h"
#include "tests/TestMachine.h"

namespace platform {
namespace {

// Parameters for a window of `className`, everything else zero.
inline platform::WindowCreateParams WindowOf(std::string className, platform::HWND parent = 0,
                                             platform::HWND owner = 0, uint32_t style = 0) {
  platform::WindowCreateParams params;
  params.className = std::move(className);
  params.parent = parent;
  params.owner = owner;
  params.style = style;
  return params;
}

class WindowsTest : public testing::Test {
 protected:
  void SetUp() override { ResetWindows(); }
  void TearDown() override { ResetWindows(); }
  TestMachine machine_;
};

TEST_F(WindowsTest, HandlesAreNeverReused) {
  const HWND a = CreateWindow(WindowOf("TA"));
  ASSERT_NE(a, 0);
  ASSERT_TRUE(DestroyWindow(a));
  EXPECT_FALSE(IsWindow(a));
  EXPECT_FALSE(DestroyWindow(a));
  const HWND b = CreateWindow(WindowOf("TB"));
  EXPECT_NE(b, a);
  EXPECT_EQ(GetClassName(b), "TB");
  EXPECT_EQ(CreateWindow(WindowOf("TC", a)), 0);
  // A class name is not required.
  const HWND unnamed = CreateWindow(WindowOf(""));
  ASSERT_NE(unnamed, 0);
  EXPECT_EQ(GetClassName(unnamed), "");
  EXPECT_TRUE(DestroyWindow(unnamed));
}

TEST_F(WindowsTest, PropertiesAndVisibility) {
  WindowCreateParams params = WindowOf("TForm", 0, 0, WS_CAPTION | WS_SYSMENU);
  params.caption = "Strativue Setup";
  params.rect = {10, 20, 541, 278};
  params.exStyle = WS_EX_CONTEXTHELP;
  params.classStyle = CS_DROPSHADOW;
  const HWND form = CreateWindow(params);
  const HWND button = CreateWindow(WindowOf("TButton", form, 0, WS_CHILD | WS_VISIBLE));
  EXPECT_EQ(GetWindowText(form), "Strativue Setup");
  Rect rect;
  ASSERT_TRUE(GetWindowRect(form, &rect));
  EXPECT_EQ(rect.width(), 531);
  EXPECT_EQ(GetWindowExStyle(form), WS_EX_CONTEXTHELP);
  EXPECT_TRUE(SetClassStyle(form, GetClassStyle(form) & ~CS_DROPSHADOW));
  EXPECT_EQ(GetClassStyle(form), 0u);
  EXPECT_EQ(GetParent(button), form);
  EXPECT_EQ(GetChildWindows(form), std::vector<HWND>{button});

  EXPECT_FALSE(IsWindowVisible(button));  // its parent is hidden
  EXPECT_FALSE(ShowWindow(form, SW_SHOW));
  EXPECT_TRUE(IsWindowVisible(button));
  EXPECT_TRUE(GetWindowStyle(form) & WS_VISIBLE);
  EXPECT_TRUE(ShowWindow(form, SW_HIDE));
  EXPECT_FALSE(IsWindowVisible(form));
}

TEST_F(WindowsTest, ActivationFocusAndDestruction) {
  const HWND app = CreateWindow(WindowOf("TApplication"));
  const HWND dialog = CreateWindow(WindowOf("TDialog", 0, app));
  const HWND child = CreateWindow(WindowOf("TEdit", dialog, 0, WS_CHILD));
  const HWND owned = CreateWindow(WindowOf("THint", 0, dialog));

  EXPECT_EQ(SetActiveWindow(app), 0);
  EXPECT_EQ(GetZOrder().front(), app);
  EXPECT_EQ(SetFocus(child), 0);
  EXPECT_EQ(GetActiveWindow(), dialog);  // focus activates the top-level window
  EXPECT_EQ(GetZOrder().front(), dialog);

  ASSERT_TRUE(DestroyWindow(dialog));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(IsWindow(owned));
  EXPECT_EQ(GetFocus(), 0);
  EXPECT_EQ(GetActiveWindow(), app);  // the owner takes over
  EXPECT_EQ(GetZOrder(), std::vector<HWND>{app});

  EXPECT_FALSE(SetWindowOwner(app, app));
  const HWND other = CreateWindow(WindowOf("TOther", 0, app));
  EXPECT_FALSE(SetWindowOwner(app, other));  // would make a cycle
}

#if !defined(_WIN32)  // monitors and version from machine.ini, which Windows does not read
TEST_F(WindowsTest, MonitorsNearestAndLargestShare) {
  machine_.Write(
      "machine.ini",
      "[Monitor1]\nBounds=0,0,1920,1080\nWorkArea=0,0,1920,1040\n[Monitor2]\nBounds=1920,0,3200,1024\n");
  WindowCreateParams params = WindowOf("T");
  params.rect = {1800, 100, 2200, 300};  // mostly on monitor 2
  const HWND window = CreateWindow(params);
  EXPECT_EQ(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), 2);
  Rect bounds, work;
  ASSERT_TRUE(GetMonitorInfo(2, &bounds, &work));
  EXPECT_EQ(bounds, (Rect{1920, 0, 3200, 1024}));
  ASSERT_TRUE(GetMonitorInfo(1, &bounds, &work));
  EXPECT_EQ(work, (Rect{0, 0, 1920, 1040}));
  EXPECT_FALSE(GetMonitorInfo(3, &bounds, &work));

  const Rect offScreen{5000, 5000, 5100, 5100};
  EXPECT_EQ(MonitorFromRect(offScreen, MONITOR_DEFAULTTONULL), 0);
  EXPECT_EQ(MonitorFromRect(offScreen, MONITOR_DEFAULTTOPRIMARY), 1);
  EXPECT_EQ(MonitorFromRect(offScreen, MONITOR_DEFAULTTONEAREST), 2);
  EXPECT_EQ(MonitorFromRect({-500, 10, -400, 20}, MONITOR_DEFAULTTONEAREST), 1);
  EXPECT_EQ(MonitorFromPoint({2000, 10}, MONITOR_DEFAULTTONULL), 2);
  EXPECT_EQ(MonitorFromWindow(0, MONITOR_DEFAULTTONULL), 0);
  EXPECT_EQ(MonitorFromWindow(0, MONITOR_DEFAULTTONEAREST), 1);
}
#endif

TEST_F(WindowsTest, FrameMetricsFollowTheStyles) {
  // A fixed dialog: fixed frame on every side, a caption on top.
  const uint32_t dialog = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  EXPECT_EQ(WindowFrame(dialog, WS_EX_DLGMODALFRAME),
            (Rect{kFixedFrame, kFixedFrame + kCaptionHeight, kFixedFrame, kFixedFrame}));
  // A sizing border replaces the fixed frame; a tool window has the small caption.
  EXPECT_EQ(WindowFrame(dialog | WS_THICKFRAME, WS_EX_DLGMODALFRAME).left, kSizingFrame);
  EXPECT_EQ(WindowFrame(dialog, WS_EX_TOOLWINDOW).top, kFixedFrame + kSmallCaptionHeight);
  // A thin border has no caption; a plain child window has no frame at all.
  EXPECT_EQ(WindowFrame(WS_CHILD | WS_BORDER, 0), (Rect{1, 1, 1, 1}));
  EXPECT_EQ(WindowFrame(WS_CHILD, 0), (Rect{}));

  // A 523 x 226 client area makes a 531 x 258 dialog: 4 + 523 + 4 and 4 + 24 + 226 + 4.
  Rect rect{100, 50, 623, 276};
  AdjustWindowRectEx(&rect, dialog, WS_EX_DLGMODALFRAME);
  EXPECT_EQ(rect, (Rect{96, 22, 627, 280}));
  WindowCreateParams params = WindowOf("TDialog", 0, 0, dialog);
  params.exStyle = WS_EX_DLGMODALFRAME;
  params.rect = rect;
  const HWND window = CreateWindow(params);
  Rect client;
  ASSERT_TRUE(GetClientRect(window, &client));
  EXPECT_EQ(client, (Rect{0, 0, 523, 226}));
  Point origin{10, 5};
  ASSERT_TRUE(ClientToScreen(window, &origin));
  EXPECT_EQ(origin, (Point{110, 55}));
  // A style change changes the client area, not the window.
  SetWindowStyle(window, dialog | WS_THICKFRAME);
  ASSERT_TRUE(GetClientRect(window, &client));
  EXPECT_EQ(client, (Rect{0, 0, 531 - 16, 258 - 24 - 16}));
  EXPECT_FALSE(GetClientRect(0, &client));
}

#if !defined(_WIN32)  // monitors and version from machine.ini, which Windows does not read
TEST_F(WindowsTest, VisualStylesFromWindowsXpOn) {
  EXPECT_TRUE(IsAppThemed());  // the default machine runs 10.0
  machine_.Write("machine.ini", "[Windows]\nVersion=5.0\n");
  EXPECT_FALSE(IsAppThemed());
  machine_.Write("machine.ini", "[Windows]\nVersion=5.1\n\n");  // another size: seen as changed
  EXPECT_TRUE(IsAppThemed());
}
#endif

}  // namespace
}  // namespace platform
