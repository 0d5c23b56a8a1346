// The window table of the stand-in: every window lives in this process's
// memory, in the one platform library all modules share.
#include <algorithm>
#include <map>
#include <mutex>

#include "platform/Windows.h"

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

void ResetWindows() {
  Locked(0, [&](Table& table) {
    table.windows.clear();
    table.zOrder.clear();
    table.active = 0;
    table.focus = 0;
    return 0;
  });
}

}  // namespace platform
