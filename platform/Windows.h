// The window table and the monitors: windows with a handle (never reused),
// class name, caption, rectangle, parent, owner, styles, visibility, Z order
// and owner thread; the active window and the focus. Process-wide and
// thread-safe; nothing is drawn. No function here throws.
//
// On Windows each window is a hidden system window, the same for every
// module of the process, with the system's handle, class, caption, parent,
// owner and thread. What differs there:
// - the system lets only a window's own thread destroy it. DestroyWindow and
//   ResetWindows called on another thread make that thread's windows no
//   platform windows at once (IsWindow answers false, they leave the Z
//   order, the activation and the focus); the system windows stay until
//   their thread destroys them or ends;
// - a window goes with its thread: when the thread ends, the system
//   destroys it and the platform forgets it;
// - a child window (one with a parent) has no owner: CreateWindow ignores
//   `owner` when `parent` is given, and SetWindowOwner refuses a child;
// - a class name the system cannot register (longer than 255 characters,
//   say) gives no window;
// - the process holds a bounded number of windows at once (a thousand and
//   more); CreateWindow answers 0 beyond it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Geometry.h"
#include "platform/Threads.h"

namespace platform {

using HWND = int32_t;      // 0 is "no window"
using HMONITOR = int32_t;  // 1-based index into GetMonitors(); 0 is "none"

// Window styles.
inline constexpr uint32_t WS_OVERLAPPED = 0x00000000u;
inline constexpr uint32_t WS_POPUP = 0x80000000u;
inline constexpr uint32_t WS_CHILD = 0x40000000u;
inline constexpr uint32_t WS_VISIBLE = 0x10000000u;
inline constexpr uint32_t WS_DISABLED = 0x08000000u;
inline constexpr uint32_t WS_CAPTION = 0x00C00000u;
inline constexpr uint32_t WS_BORDER = 0x00800000u;
inline constexpr uint32_t WS_DLGFRAME = 0x00400000u;
inline constexpr uint32_t WS_SYSMENU = 0x00080000u;
inline constexpr uint32_t WS_THICKFRAME = 0x00040000u;
// The same bits mean a group start / tab stop on child windows and the
// minimise / maximise boxes on top-level ones.
inline constexpr uint32_t WS_GROUP = 0x00020000u;
inline constexpr uint32_t WS_TABSTOP = 0x00010000u;
inline constexpr uint32_t WS_MINIMIZEBOX = 0x00020000u;
inline constexpr uint32_t WS_MAXIMIZEBOX = 0x00010000u;
// Extended styles.
inline constexpr uint32_t WS_EX_DLGMODALFRAME = 0x00000001u;
inline constexpr uint32_t WS_EX_TOPMOST = 0x00000008u;
inline constexpr uint32_t WS_EX_TOOLWINDOW = 0x00000080u;
inline constexpr uint32_t WS_EX_CONTEXTHELP = 0x00000400u;
inline constexpr uint32_t WS_EX_APPWINDOW = 0x00040000u;
// Window-class styles.
inline constexpr uint32_t CS_DROPSHADOW = 0x00020000u;

// ShowWindow commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;

// Monitor lookup fallbacks.
inline constexpr uint32_t MONITOR_DEFAULTTONULL = 0;
inline constexpr uint32_t MONITOR_DEFAULTTOPRIMARY = 1;
inline constexpr uint32_t MONITOR_DEFAULTTONEAREST = 2;

struct WindowCreateParams {
  std::string className;
  std::string caption;
  Rect rect;  // screen coordinates
  uint32_t style = 0;
  uint32_t exStyle = 0;
  uint32_t classStyle = 0;
  HWND parent = 0;  // a child window (WS_CHILD) lives inside its parent
  HWND owner = 0;   // a top-level window may be owned by another
};

// A new window on top of the Z order, owned by the calling thread; visible
// when the style has WS_VISIBLE. 0 when parent or owner is not a window.
HWND CreateWindow(const WindowCreateParams& params);
// Destroys the window, its children and the windows it owns. An active or
// focused window that goes away leaves no active window / no focus (the
// owner becomes active when it still exists).
bool DestroyWindow(HWND window);
bool IsWindow(HWND window);

std::string GetWindowText(HWND window);  // the caption; empty for no window
bool SetWindowText(HWND window, std::string_view caption);
std::string GetClassName(HWND window);
bool GetWindowRect(HWND window, Rect* rect);
bool SetWindowRect(HWND window, const Rect& rect);
uint32_t GetWindowStyle(HWND window);
bool SetWindowStyle(HWND window, uint32_t style);
uint32_t GetWindowExStyle(HWND window);
bool SetWindowExStyle(HWND window, uint32_t exStyle);
uint32_t GetClassStyle(HWND window);
bool SetClassStyle(HWND window, uint32_t classStyle);
HWND GetParent(HWND window);
HWND GetWindowOwner(HWND window);
bool SetWindowOwner(HWND window, HWND owner);
// The thread that created the window; 0 for no window.
ThreadId GetWindowThread(HWND window);
// Direct children, in creation order.
std::vector<HWND> GetChildWindows(HWND window);

// Shows or hides (SW_HIDE); answers whether the window was visible before.
// SW_SHOW and SW_SHOWNORMAL also activate a top-level window.
bool ShowWindow(HWND window, int command);
// Visible when the window and all its parents are.
bool IsWindowVisible(HWND window);

// Top-level windows, topmost first.
std::vector<HWND> GetZOrder();
bool BringWindowToTop(HWND window);

HWND GetActiveWindow();
// Makes a top-level window active (and topmost); answers the previous one.
// 0 clears. A child window activates its top-level ancestor.
HWND SetActiveWindow(HWND window);
HWND GetFocus();
// Any window or 0; answers the previous focus. Its top-level window becomes
// the active one.
HWND SetFocus(HWND window);

// Frame metrics at 96 dpi: a caption bar (a smaller one for tool windows)
// and a border that is thin (WS_BORDER alone), fixed (dialog frame, or a
// caption) or sizing (WS_THICKFRAME).
inline constexpr int kCaptionHeight = 24;
inline constexpr int kSmallCaptionHeight = 20;
inline constexpr int kThinBorder = 1;
inline constexpr int kFixedFrame = 4;
inline constexpr int kSizingFrame = 8;

// The frame a window of these styles has around its client area: the
// insets left, top (with the caption), right and bottom, as a Rect.
Rect WindowFrame(uint32_t style, uint32_t exStyle);
// Grows a client rectangle to the window rectangle of these styles.
void AdjustWindowRectEx(Rect* rect, uint32_t style, uint32_t exStyle);
// The client area of a window, at (0, 0); false for no window.
bool GetClientRect(HWND window, Rect* rect);
// The screen position of the window's client area origin.
bool ClientToScreen(HWND window, Point* point);

// Whether windows are drawn with the system's visual styles: true from
// Windows XP (5.1) on, by the machine's Windows version.
bool IsAppThemed();

// Forgets every window (tests). On Windows the calling thread's windows are
// destroyed and other threads' are forgotten, as DestroyWindow does.
void ResetWindows();

// Monitors. The monitor that shares the most area with the window's (or the
// rectangle's) rectangle; with none sharing, `flags` decides: the nearest,
// the primary or 0.
HMONITOR MonitorFromWindow(HWND window, uint32_t flags);
HMONITOR MonitorFromRect(const Rect& rect, uint32_t flags);
HMONITOR MonitorFromPoint(Point point, uint32_t flags);
// Bounds and work area; false for an unknown handle.
bool GetMonitorInfo(HMONITOR monitor, Rect* bounds, Rect* workArea);

}  // namespace platform
