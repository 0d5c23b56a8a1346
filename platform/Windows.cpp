// What both backends compute the same way over the window functions: frame
// metrics, the client area, visual styles and the monitors.
#include "platform/Windows.h"

#include <algorithm>

#include "platform/Machine.h"

namespace platform {
namespace {

int64_t Overlap(const Rect& a, const Rect& b) {
  const int64_t w = std::min<int64_t>(a.right, b.right) - std::max<int64_t>(a.left, b.left);
  const int64_t h = std::min<int64_t>(a.bottom, b.bottom) - std::max<int64_t>(a.top, b.top);
  return w > 0 && h > 0 ? w * h : 0;
}

// Squared distance between two rectangles (0 when they touch or overlap).
int64_t Distance(const Rect& a, const Rect& b) {
  const int64_t dx = std::max<int64_t>({0, int64_t{b.left} - a.right, int64_t{a.left} - b.right});
  const int64_t dy = std::max<int64_t>({0, int64_t{b.top} - a.bottom, int64_t{a.top} - b.bottom});
  return dx * dx + dy * dy;
}

HMONITOR PrimaryOf(const std::vector<MonitorInfo>& monitors) {
  for (size_t i = 0; i < monitors.size(); ++i)
    if (monitors[i].primary) return static_cast<HMONITOR>(i + 1);
  return monitors.empty() ? 0 : 1;
}

}  // namespace

Rect WindowFrame(uint32_t style, uint32_t exStyle) {
  int border = 0;
  if ((style & WS_THICKFRAME) != 0)
    border = kSizingFrame;
  else if ((style & WS_DLGFRAME) != 0 || (exStyle & WS_EX_DLGMODALFRAME) != 0)
    border = kFixedFrame;
  else if ((style & WS_BORDER) != 0)
    border = kThinBorder;
  int caption = 0;
  if ((style & WS_CAPTION) == WS_CAPTION)
    caption = (exStyle & WS_EX_TOOLWINDOW) != 0 ? kSmallCaptionHeight : kCaptionHeight;
  return Rect{border, border + caption, border, border};
}

void AdjustWindowRectEx(Rect* rect, uint32_t style, uint32_t exStyle) {
  if (rect == nullptr) return;
  const Rect frame = WindowFrame(style, exStyle);
  rect->left -= frame.left;
  rect->top -= frame.top;
  rect->right += frame.right;
  rect->bottom += frame.bottom;
}

bool GetClientRect(HWND window, Rect* rect) {
  Rect bounds;
  if (rect == nullptr || !GetWindowRect(window, &bounds)) return false;
  const Rect frame = WindowFrame(GetWindowStyle(window), GetWindowExStyle(window));
  *rect = Rect{0, 0, std::max(0, bounds.width() - frame.left - frame.right),
               std::max(0, bounds.height() - frame.top - frame.bottom)};
  return true;
}

bool ClientToScreen(HWND window, Point* point) {
  Rect bounds;
  if (point == nullptr || !GetWindowRect(window, &bounds)) return false;
  const Rect frame = WindowFrame(GetWindowStyle(window), GetWindowExStyle(window));
  point->x += bounds.left + frame.left;
  point->y += bounds.top + frame.top;
  return true;
}

bool IsAppThemed() {
  try {
    const OsVersion version = GetOsVersion();
    return version.major > 5 || (version.major == 5 && version.minor >= 1);
  } catch (...) {
    return false;
  }
}

HMONITOR MonitorFromRect(const Rect& rect, uint32_t flags) {
  try {
    const std::vector<MonitorInfo> monitors = GetMonitors();
    HMONITOR best = 0;
    int64_t bestOverlap = 0;
    for (size_t i = 0; i < monitors.size(); ++i) {
      const int64_t overlap = Overlap(rect, monitors[i].bounds);
      if (overlap > bestOverlap) bestOverlap = overlap, best = static_cast<HMONITOR>(i + 1);
    }
    if (best != 0) return best;
    if (flags == MONITOR_DEFAULTTOPRIMARY) return PrimaryOf(monitors);
    if (flags != MONITOR_DEFAULTTONEAREST) return 0;
    int64_t bestDistance = INT64_MAX;
    for (size_t i = 0; i < monitors.size(); ++i) {
      const int64_t distance = Distance(rect, monitors[i].bounds);
      if (distance < bestDistance) bestDistance = distance, best = static_cast<HMONITOR>(i + 1);
    }
    return best;
  } catch (...) {
    return 0;
  }
}

HMONITOR MonitorFromPoint(Point point, uint32_t flags) {
  return MonitorFromRect({point.x, point.y, point.x + 1, point.y + 1}, flags);
}

HMONITOR MonitorFromWindow(HWND window, uint32_t flags) {
  Rect rect;
  if (!GetWindowRect(window, &rect)) {
    if (flags == MONITOR_DEFAULTTONULL) return 0;
    try {
      return PrimaryOf(GetMonitors());
    } catch (...) {
      return 0;
    }
  }
  // A zero-size window still lies on the monitor that holds its corner.
  if (rect.empty()) return MonitorFromPoint({rect.left, rect.top}, flags);
  return MonitorFromRect(rect, flags);
}

bool GetMonitorInfo(HMONITOR monitor, Rect* bounds, Rect* workArea) {
  try {
    const std::vector<MonitorInfo> monitors = GetMonitors();
    if (monitor < 1 || static_cast<size_t>(monitor) > monitors.size()) return false;
    if (bounds) *bounds = monitors[static_cast<size_t>(monitor - 1)].bounds;
    if (workArea) *workArea = monitors[static_cast<size_t>(monitor - 1)].workArea;
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace platform
