#include "platform/Windows.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/Machine.h"

namespace platform {
namespace {

struct Window {
  WindowCreateParams params;
  bool visible = false;
  ThreadId thread = 0;
  std::vector<HWND> children;
};

struct Table {
  std::recursive_mutex mutex;
  std::map<HWND, Window> windows;
  std::vector<HWND> zOrder;  // top-level windows, topmost first
  HWND nextHandle = 0x10010;
  HWND active = 0;
  HWND focus = 0;
};

Table& TheTable() {
  static Table table;
  return table;
}

Window* Find(Table& table, HWND window) {
  auto it = table.windows.find(window);
  return it == table.windows.end() ? nullptr : &it->second;
}

HWND TopLevelOf(Table& table, HWND window) {
  while (Window* w = Find(table, window)) {
    if (w->params.parent == 0) return window;
    window = w->params.parent;
  }
  return 0;
}

void RaiseLocked(Table& table, HWND window) {
  auto it = std::find(table.zOrder.begin(), table.zOrder.end(), window);
  if (it == table.zOrder.end()) return;
  table.zOrder.erase(it);
  table.zOrder.insert(table.zOrder.begin(), window);
}

HWND ActivateLocked(Table& table, HWND window) {
  const HWND previous = table.active;
  const HWND top = window == 0 ? 0 : TopLevelOf(table, window);
  table.active = top;
  if (top != 0) RaiseLocked(table, top);
  return previous;
}

void DestroyLocked(Table& table, HWND window) {
  Window* w = Find(table, window);
  if (!w) return;
  const HWND parent = w->params.parent;
  const HWND owner = w->params.owner;
  const std::vector<HWND> children = w->children;
  for (HWND child : children) DestroyLocked(table, child);
  std::vector<HWND> owned;
  for (const auto& [handle, other] : table.windows)
    if (other.params.owner == window) owned.push_back(handle);
  for (HWND handle : owned) DestroyLocked(table, handle);
  if (Window* p = Find(table, parent)) std::erase(p->children, window);
  std::erase(table.zOrder, window);
  table.windows.erase(window);
  if (table.focus == window) table.focus = 0;
  if (table.active == window) table.active = Find(table, owner) ? owner : 0;
}

template <typename T>
T Locked(T fallback, auto&& body) {
  try {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    return body(table);
  } catch (...) {
    return fallback;
  }
}

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

HWND CreateWindow(const WindowCreateParams& params) {
  return Locked<HWND>(0, [&](Table& table) -> HWND {
    if (params.parent != 0 && !Find(table, params.parent)) return 0;
    if (params.owner != 0 && !Find(table, params.owner)) return 0;
    const HWND handle = table.nextHandle;
    table.nextHandle += 2;
    Window window;
    window.params = params;
    window.visible = (params.style & WS_VISIBLE) != 0;
    window.thread = CurrentThreadId();
    table.windows.emplace(handle, std::move(window));
    if (params.parent != 0)
      Find(table, params.parent)->children.push_back(handle);
    else
      table.zOrder.insert(table.zOrder.begin(), handle);
    return handle;
  });
}

bool DestroyWindow(HWND window) {
  return Locked(false, [&](Table& table) {
    if (!Find(table, window)) return false;
    DestroyLocked(table, window);
    return true;
  });
}

bool IsWindow(HWND window) {
  return Locked(false, [&](Table& table) { return Find(table, window) != nullptr; });
}

std::string GetWindowText(HWND window) {
  return Locked<std::string>({}, [&](Table& table) {
    Window* w = Find(table, window);
    return w ? w->params.caption : std::string();
  });
}

bool SetWindowText(HWND window, std::string_view caption) {
  return Locked(false, [&](Table& table) {
    Window* w = Find(table, window);
    if (w) w->params.caption = caption;
    return w != nullptr;
  });
}

std::string GetClassName(HWND window) {
  return Locked<std::string>({}, [&](Table& table) {
    Window* w = Find(table, window);
    return w ? w->params.className : std::string();
  });
}

bool GetWindowRect(HWND window, Rect* rect) {
  return Locked(false, [&](Table& table) {
    Window* w = Find(table, window);
    if (w && rect) *rect = w->params.rect;
    return w != nullptr && rect != nullptr;
  });
}

bool SetWindowRect(HWND window, const Rect& rect) {
  return Locked(false, [&](Table& table) {
    Window* w = Find(table, window);
    if (w) w->params.rect = rect;
    return w != nullptr;
  });
}

uint32_t GetWindowStyle(HWND window) {
  return Locked(0u, [&](Table& table) {
    Window* w = Find(table, window);
    return w ? (w->params.style & ~WS_VISIBLE) | (w->visible ? WS_VISIBLE : 0u) : 0u;
  });
}

bool SetWindowStyle(HWND window, uint32_t style) {
  return Locked(false, [&](Table& table) {
    Window* w = Find(table, window);
    if (!w) return false;
    w->params.style = style;
    w->visible = (style & WS_VISIBLE) != 0;
    return true;
  });
}

uint32_t GetWindowExStyle(HWND window) {
  return Locked(0u, [&](Table& table) {
    Window* w = Find(table, window);
    return w ? w->params.exStyle : 0u;
  });
}

bool SetWindowExStyle(HWND window, uint32_t exStyle) {
  return Locked(false, [&](Table& table) {
    Window* w = Find(table, window);
    if (w) w->params.exStyle = exStyle;
    return w != nullptr;
  });
}

uint32_t GetClassStyle(HWND window) {
  return Locked(0u, [&](Table& table) {
    Window* w = Find(table, window);
    return w ? w->params.classStyle : 0u;
  });
}

bool SetClassStyle(HWND window, uint32_t classStyle) {
  return Locked(false, [&](Table& table) {
    Window* w = Find(table, window);
    if (w) w->params.classStyle = classStyle;
    return w != nullptr;
  });
}

HWND GetParent(HWND window) {
  return Locked<HWND>(0, [&](Table& table) {
    Window* w = Find(table, window);
    return w ? w->params.parent : 0;
  });
}

HWND GetWindowOwner(HWND window) {
  return Locked<HWND>(0, [&](Table& table) {
    Window* w = Find(table, window);
    return w ? w->params.owner : 0;
  });
}

bool SetWindowOwner(HWND window, HWND owner) {
  return Locked(false, [&](Table& table) {
    Window* w = Find(table, window);
    if (!w || (owner != 0 && !Find(table, owner)) || owner == window) return false;
    // An ownership cycle would make DestroyWindow loop.
    for (HWND up = owner; up != 0;) {
      if (up == window) return false;
      Window* o = Find(table, up);
      up = o ? o->params.owner : 0;
    }
    w->params.owner = owner;
    return true;
  });
}

ThreadId GetWindowThread(HWND window) {
  return Locked(ThreadId{0}, [&](Table& table) {
    Window* w = Find(table, window);
    return w ? w->thread : ThreadId{0};
  });
}

std::vector<HWND> GetChildWindows(HWND window) {
  return Locked<std::vector<HWND>>({}, [&](Table& table) {
    Window* w = Find(table, window);
    return w ? w->children : std::vector<HWND>();
  });
}

bool ShowWindow(HWND window, int command) {
  return Locked(false, [&](Table& table) {
    Window* w = Find(table, window);
    if (!w) return false;
    const bool wasVisible = w->visible;
    w->visible = command != SW_HIDE;
    if ((command == SW_SHOW || command == SW_SHOWNORMAL || command == SW_SHOWMAXIMIZED) &&
        w->params.parent == 0)
      ActivateLocked(table, window);
    if (command == SW_HIDE && table.active == window) table.active = 0;
    return wasVisible;
  });
}

bool IsWindowVisible(HWND window) {
  return Locked(false, [&](Table& table) {
    Window* w = Find(table, window);
    if (!w) return false;
    for (; w; w = Find(table, w->params.parent))
      if (!w->visible) return false;
    return true;
  });
}

std::vector<HWND> GetZOrder() {
  return Locked<std::vector<HWND>>({}, [&](Table& table) { return table.zOrder; });
}

bool BringWindowToTop(HWND window) {
  return Locked(false, [&](Table& table) {
    const HWND top = TopLevelOf(table, window);
    if (top == 0) return false;
    RaiseLocked(table, top);
    return true;
  });
}

HWND GetActiveWindow() {
  return Locked<HWND>(0, [&](Table& table) { return table.active; });
}

HWND SetActiveWindow(HWND window) {
  return Locked<HWND>(0, [&](Table& table) -> HWND {
    if (window != 0 && !Find(table, window)) return 0;
    return ActivateLocked(table, window);
  });
}

HWND GetFocus() {
  return Locked<HWND>(0, [&](Table& table) { return table.focus; });
}

HWND SetFocus(HWND window) {
  return Locked<HWND>(0, [&](Table& table) -> HWND {
    if (window != 0 && !Find(table, window)) return 0;
    const HWND previous = table.focus;
    table.focus = window;
    if (window != 0) ActivateLocked(table, window);
    return previous;
  });
}

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
  return Locked(false, [&](Table& table) {
    Window* w = Find(table, window);
    if (!w || !rect) return false;
    const Rect frame = WindowFrame(w->params.style, w->params.exStyle);
    *rect = Rect{0, 0, std::max(0, w->params.rect.width() - frame.left - frame.right),
                 std::max(0, w->params.rect.height() - frame.top - frame.bottom)};
    return true;
  });
}

bool ClientToScreen(HWND window, Point* point) {
  return Locked(false, [&](Table& table) {
    Window* w = Find(table, window);
    if (!w || !point) return false;
    const Rect frame = WindowFrame(w->params.style, w->params.exStyle);
    point->x += w->params.rect.left + frame.left;
    point->y += w->params.rect.top + frame.top;
    return true;
  });
}

bool IsAppThemed() {
  try {
    const OsVersion version = GetOsVersion();
    return version.major > 5 || (version.major == 5 && version.minor >= 1);
  } catch (...) {
    return false;
  }
}

void ResetWindows() {
  Locked(0, [&](Table& table) {
    table.windows.clear();
    table.zOrder.clear();
    table.active = 0;
    table.focus = 0;
    return 0;
  });
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
    return Locked<HMONITOR>(0, [](Table&) { return PrimaryOf(GetMonitors()); });
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
