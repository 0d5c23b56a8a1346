// Platform windows as system windows. Each window is a hidden window of the
// system, so its handle, class, caption, owner, owner thread and lifetime
// are the same for every module of the process. The system never sees the
// platform's styles or visibility (nothing may be drawn): those, the
// rectangle and the parent are kept with the active window, the focus and
// the Z order in the shared section of SharedWindowState.h, where reading
// them costs no call to the system.
#include <algorithm>
#include <map>
#include <mutex>
#include <set>

#include "platform/Safely.h"
#include "platform/Windows.h"
#include "platform/win32/SharedWindowState.h"
#include "platform/win32/SystemWindows.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

namespace platform {
namespace {

constexpr uint32_t kVisibleFlag = 1;
constexpr uint32_t kUnnamedFlag = 2;  // made without a class name

constexpr wchar_t kUnnamedClass[] = L"Strativue.UnnamedWindow";

// Windows of the platform are made in the program's instance, so every
// module finds the same classes, and with the system's own window
// procedure, so no window points into a module that may unload.
HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }

bool EnsureClass(const std::wstring& name) {
  static std::mutex mutex;
  static std::set<std::wstring> known;
  std::lock_guard lock(mutex);
  if (known.contains(name)) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.hInstance = Instance();
  windowClass.lpszClassName = name.c_str();
  // Already there: made by another module's copy, or one of the system's.
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (::RegisterClassExW(&windowClass) == 0 && ::GetClassInfoExW(Instance(), name.c_str(), &existing) == 0)
    return false;
  known.insert(name);
  return true;
}

// Readers share the lock; whoever changes the state holds it alone.
class StateLock {
 public:
  StateLock(SharedWindowState& state, bool exclusive) : state_(state), exclusive_(exclusive) {
    if (exclusive_)
      ::AcquireSRWLockExclusive(&state_.lock);
    else
      ::AcquireSRWLockShared(&state_.lock);
  }
  ~StateLock() {
    if (exclusive_)
      ::ReleaseSRWLockExclusive(&state_.lock);
    else
      ::ReleaseSRWLockShared(&state_.lock);
  }
  StateLock(const StateLock&) = delete;
  StateLock& operator=(const StateLock&) = delete;

 private:
  SharedWindowState& state_;
  bool exclusive_;
};

template <typename T>
T WithState(bool exclusive, T fallback, auto&& body) {
  return Safely<T>(fallback, [&]() -> T {
    SharedWindowState* state = TheSharedWindowState();
    if (state == nullptr) return fallback;
    StateLock lock(*state, exclusive);
    return body(*state);
  });
}

template <typename T>
T Reading(T fallback, auto&& body) {
  return WithState<T>(false, fallback, body);
}

template <typename T>
T Changing(T fallback, auto&& body) {
  return WithState<T>(true, fallback, body);
}

WindowRecord* RecordsBegin(SharedWindowState& state) { return state.windows; }
WindowRecord* RecordsEnd(SharedWindowState& state) { return state.windows + state.windowCount; }
int32_t* ZBegin(SharedWindowState& state) { return state.zOrder; }
int32_t* ZEnd(SharedWindowState& state) { return state.zOrder + state.topLevelCount; }

// The record's window is still the one it was made for: a window that the
// system destroyed without the platform (its thread ended) leaves a stale
// record behind.
bool Alive(const WindowRecord& record) {
  const ::HWND window = SystemHandle(record.handle);
  DWORD process = 0;
  return ::GetWindowThreadProcessId(window, &process) != 0 && process == ::GetCurrentProcessId() &&
         static_cast<uint32_t>(::GetWindowLongPtrW(window, GWLP_USERDATA)) == record.serial;
}

WindowRecord* Live(SharedWindowState& state, HWND window) {
  if (window == 0) return nullptr;
  WindowRecord* found =
      std::find_if(RecordsBegin(state), RecordsEnd(state),
                   [window](const WindowRecord& record) { return record.handle == window; });
  return found != RecordsEnd(state) && Alive(*found) ? found : nullptr;
}

HWND LiveOrZero(SharedWindowState& state, HWND window) { return Live(state, window) != nullptr ? window : 0; }

HWND OwnerOf(SharedWindowState& state, const WindowRecord& record) {
  if (record.parent != 0) return 0;
  return LiveOrZero(state, PlatformHandle(::GetWindow(SystemHandle(record.handle), GW_OWNER)));
}

HWND TopLevelOf(SharedWindowState& state, HWND window) {
  for (WindowRecord* record = Live(state, window); record != nullptr; record = Live(state, record->parent))
    if (record->parent == 0) return record->handle;
  return 0;
}

std::vector<HWND> ChildrenOf(SharedWindowState& state, HWND window) {
  std::vector<const WindowRecord*> children;
  for (const WindowRecord* record = RecordsBegin(state); record != RecordsEnd(state); ++record)
    if (record->parent == window && Alive(*record)) children.push_back(record);
  std::sort(children.begin(), children.end(),
            [](const WindowRecord* a, const WindowRecord* b) { return a->serial < b->serial; });
  std::vector<HWND> handles;
  for (const WindowRecord* child : children) handles.push_back(child->handle);
  return handles;
}

void Raise(SharedWindowState& state, HWND window) {
  int32_t* found = std::find(ZBegin(state), ZEnd(state), window);
  if (found != ZEnd(state)) std::rotate(ZBegin(state), found, found + 1);
}

HWND Activate(SharedWindowState& state, HWND window) {
  const HWND previous = state.active;
  state.active = window != 0 ? TopLevelOf(state, window) : 0;
  if (state.active != 0) Raise(state, state.active);
  return previous;
}

// Takes these windows out of the state; the active window passes to the
// nearest owner that stays.
void RemoveRecords(SharedWindowState& state, const std::set<HWND>& gone) {
  if (gone.contains(state.focus)) state.focus = 0;
  if (gone.contains(state.active)) {
    HWND heir = state.active;
    while (heir != 0 && gone.contains(heir)) {
      const WindowRecord* record = Live(state, heir);
      heir = record != nullptr ? OwnerOf(state, *record) : 0;
    }
    state.active = heir;
  }
  int32_t* zEnd = std::remove_if(ZBegin(state), ZEnd(state), [&](int32_t w) { return gone.contains(w); });
  state.topLevelCount = static_cast<uint32_t>(zEnd - ZBegin(state));
  WindowRecord* end = std::remove_if(RecordsBegin(state), RecordsEnd(state), [&](const WindowRecord& record) {
    return gone.contains(record.handle);
  });
  state.windowCount = static_cast<uint32_t>(end - RecordsBegin(state));
}

// Forgets the records whose windows ended without the platform.
void Prune(SharedWindowState& state) {
  std::set<HWND> stale;
  for (const WindowRecord* record = RecordsBegin(state); record != RecordsEnd(state); ++record)
    if (!Alive(*record)) stale.insert(record->handle);
  if (!stale.empty()) RemoveRecords(state, stale);
}

// Windows that go together, deepest first (children and owned windows
// before the window that takes them), each once.
struct Doomed {
  std::set<HWND> members;
  std::vector<HWND> order;
};

// Who owns whom among the top-level windows, read once for a destruction.
std::multimap<HWND, HWND> OwnedWindows(SharedWindowState& state) {
  std::multimap<HWND, HWND> owned;
  for (const WindowRecord* record = RecordsBegin(state); record != RecordsEnd(state); ++record)
    if (const HWND owner = Alive(*record) ? OwnerOf(state, *record) : 0; owner != 0)
      owned.emplace(owner, record->handle);
  return owned;
}

void CollectDoomed(SharedWindowState& state, const std::multimap<HWND, HWND>& owned, HWND window,
                   Doomed& doomed) {
  if (!doomed.members.insert(window).second) return;
  for (const HWND child : ChildrenOf(state, window)) CollectDoomed(state, owned, child, doomed);
  const auto [first, last] = owned.equal_range(window);
  for (auto it = first; it != last; ++it) CollectDoomed(state, owned, it->second, doomed);
  doomed.order.push_back(window);
}

// Outside the lock, since destroying sends the windows messages. The
// system lets only a window's own thread destroy it: a window of another
// thread stays behind as a plain system window, no longer the platform's,
// until its thread destroys it or ends.
void DestroyForgotten(const Doomed& doomed) {
  const DWORD self = ::GetCurrentThreadId();
  for (const HWND handle : doomed.order) {
    const ::HWND window = SystemHandle(handle);
    ::RemovePropW(window, kPlatformWindowProperty);
    if (::IsWindow(window) && ::GetWindowThreadProcessId(window, nullptr) == self) ::DestroyWindow(window);
  }
}

WindowRecord* Inserted(SharedWindowState& state, ::HWND window, const WindowCreateParams& params) {
  if (state.windowCount == kMaxWindows) Prune(state);
  if (state.windowCount == kMaxWindows) return nullptr;
  if (params.parent != 0 && Live(state, params.parent) == nullptr) return nullptr;
  if (params.owner != 0 && Live(state, params.owner) == nullptr) return nullptr;
  WindowRecord& record = state.windows[state.windowCount++];
  record = WindowRecord{};
  record.handle = PlatformHandle(window);
  record.parent = params.parent;
  record.serial = ++state.lastSerial;
  record.style = params.style;
  record.exStyle = params.exStyle;
  record.classStyle = params.classStyle;
  record.flags =
      ((params.style & WS_VISIBLE) != 0 ? kVisibleFlag : 0) | (params.className.empty() ? kUnnamedFlag : 0);
  record.rect = params.rect;
  ::SetWindowLongPtrW(window, GWLP_USERDATA, static_cast<LONG_PTR>(record.serial));
  if (params.parent == 0) {
    std::copy_backward(ZBegin(state), ZEnd(state), ZEnd(state) + 1);
    state.zOrder[0] = record.handle;
    ++state.topLevelCount;
  }
  return &record;
}

// A window's record read or changed under the lock; `fallback` for no window.
template <typename T>
T Read(HWND window, T fallback, auto&& body) {
  return Reading<T>(fallback, [&](SharedWindowState& state) -> T {
    const WindowRecord* record = Live(state, window);
    return record != nullptr ? body(*record) : fallback;
  });
}

bool Change(HWND window, auto&& body) {
  return Changing(false, [&](SharedWindowState& state) {
    WindowRecord* record = Live(state, window);
    if (record != nullptr) body(*record);
    return record != nullptr;
  });
}

}  // namespace

std::wstring SharedWindowStateName(DWORD process) {
  return L"Local\\Strativue.Windows." + std::to_wstring(process);
}

SharedWindowState* TheSharedWindowState() {
  static SharedWindowState* const state = []() -> SharedWindowState* {
    const std::wstring name = SharedWindowStateName(::GetCurrentProcessId());
    const HANDLE section = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                sizeof(SharedWindowState), name.c_str());
    if (section == nullptr) return nullptr;
    // The handle stays open: the system drops the name with the last handle,
    // and a module opening it after that would make a section of its own.
    return static_cast<SharedWindowState*>(
        ::MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedWindowState)));
  }();
  return state;
}

HWND CreateWindow(const WindowCreateParams& params) {
  return Safely<HWND>(0, [&]() -> HWND {
    const bool related = Reading(false, [&](SharedWindowState& state) {
      return (params.parent == 0 || Live(state, params.parent) != nullptr) &&
             (params.owner == 0 || Live(state, params.owner) != nullptr);
    });
    if (!related) return 0;
    // The system has no window without a class name: such a window gets a
    // class of the platform's, and answers an empty name.
    const std::wstring className = params.className.empty() ? kUnnamedClass : WideText(params.className);
    if (!EnsureClass(className)) return 0;
    // A child gets no parent notifications: the system would send them to
    // the parent's thread and wait for it. A child has no owner.
    const bool child = params.parent != 0;
    const ::HWND window =
        ::CreateWindowExW(child ? WS_EX_NOPARENTNOTIFY : 0, className.c_str(),
                          WideText(params.caption).c_str(), child ? WS_CHILD : WS_POPUP, 0, 0, 0, 0,
                          SystemHandle(child ? params.parent : params.owner), nullptr, Instance(), nullptr);
    if (window == nullptr) return 0;
    if (::SetPropW(window, kPlatformWindowProperty, reinterpret_cast<HANDLE>(uintptr_t{1})) == 0 ||
        !Changing(false,
                  [&](SharedWindowState& state) { return Inserted(state, window, params) != nullptr; })) {
      ::DestroyWindow(window);
      ::SetLastError(ERROR_NOT_ENOUGH_QUOTA);
      return 0;
    }
    return PlatformHandle(window);
  });
}

bool DestroyWindow(HWND window) {
  return Safely(false, [&] {
    Doomed doomed;
    const bool known = Changing(false, [&](SharedWindowState& state) {
      if (Live(state, window) == nullptr) return false;
      CollectDoomed(state, OwnedWindows(state), window, doomed);
      RemoveRecords(state, doomed.members);
      return true;
    });
    DestroyForgotten(doomed);
    return known;
  });
}

bool IsWindow(HWND window) {
  return Reading(false, [&](SharedWindowState& state) { return Live(state, window) != nullptr; });
}

std::string GetWindowText(HWND window) {
  return Read<std::string>(window, {}, [&](const WindowRecord&) {
    // The system's default procedure answers directly, where GetWindowTextW
    // would send a message and wait for the window's thread.
    const ::HWND system = SystemHandle(window);
    const LRESULT length = ::DefWindowProcW(system, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return std::string();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        ::DefWindowProcW(system, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::clamp<LRESULT>(copied, 0, length)));
    return NarrowText(text);
  });
}

bool SetWindowText(HWND window, std::string_view caption) {
  const std::wstring text = Safely<std::wstring>({}, [&] { return WideText(caption); });
  return Read(window, false, [&](const WindowRecord&) {
    return ::DefWindowProcW(SystemHandle(window), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) != 0;
  });
}

std::string GetClassName(HWND window) {
  return Read<std::string>(window, {}, [&](const WindowRecord& record) {
    if ((record.flags & kUnnamedFlag) != 0) return std::string();
    wchar_t name[257] = {};
    const int length = ::GetClassNameW(SystemHandle(window), name, static_cast<int>(std::size(name)));
    return NarrowText(std::wstring_view(name, static_cast<size_t>(std::max(0, length))));
  });
}

bool GetWindowRect(HWND window, Rect* rect) {
  return rect != nullptr && Read(window, false, [&](const WindowRecord& record) {
           *rect = record.rect;
           return true;
         });
}

bool SetWindowRect(HWND window, const Rect& rect) {
  return Change(window, [&](WindowRecord& record) { record.rect = rect; });
}

uint32_t GetWindowStyle(HWND window) {
  return Read(window, 0u, [](const WindowRecord& record) {
    return (record.style & ~WS_VISIBLE) | ((record.flags & kVisibleFlag) != 0 ? WS_VISIBLE : 0u);
  });
}

bool SetWindowStyle(HWND window, uint32_t style) {
  return Change(window, [&](WindowRecord& record) {
    record.style = style;
    record.flags = (record.flags & ~kVisibleFlag) | ((style & WS_VISIBLE) != 0 ? kVisibleFlag : 0);
  });
}

uint32_t GetWindowExStyle(HWND window) {
  return Read(window, 0u, [](const WindowRecord& record) { return record.exStyle; });
}

bool SetWindowExStyle(HWND window, uint32_t exStyle) {
  return Change(window, [&](WindowRecord& record) { record.exStyle = exStyle; });
}

uint32_t GetClassStyle(HWND window) {
  return Read(window, 0u, [](const WindowRecord& record) { return record.classStyle; });
}

bool SetClassStyle(HWND window, uint32_t classStyle) {
  return Change(window, [&](WindowRecord& record) { record.classStyle = classStyle; });
}

HWND GetParent(HWND window) {
  return Reading<HWND>(0, [&](SharedWindowState& state) -> HWND {
    const WindowRecord* record = Live(state, window);
    return record != nullptr ? LiveOrZero(state, record->parent) : 0;
  });
}

HWND GetWindowOwner(HWND window) {
  return Reading<HWND>(0, [&](SharedWindowState& state) -> HWND {
    const WindowRecord* record = Live(state, window);
    return record != nullptr ? OwnerOf(state, *record) : 0;
  });
}

bool SetWindowOwner(HWND window, HWND owner) {
  return Changing(false, [&](SharedWindowState& state) {
    const WindowRecord* record = Live(state, window);
    if (record == nullptr || record->parent != 0 || owner == window || (owner != 0 && !Live(state, owner)))
      return false;
    // An ownership cycle would make DestroyWindow loop.
    for (HWND up = owner; up != 0;) {
      if (up == window) return false;
      const WindowRecord* above = Live(state, up);
      up = above != nullptr ? OwnerOf(state, *above) : 0;
    }
    ::SetWindowLongPtrW(SystemHandle(window), GWLP_HWNDPARENT,
                        reinterpret_cast<LONG_PTR>(SystemHandle(owner)));
    return OwnerOf(state, *record) == owner;
  });
}

ThreadId GetWindowThread(HWND window) {
  return Read(window, ThreadId{0}, [&](const WindowRecord&) {
    return ThreadId{::GetWindowThreadProcessId(SystemHandle(window), nullptr)};
  });
}

std::vector<HWND> GetChildWindows(HWND window) {
  return Reading<std::vector<HWND>>({}, [&](SharedWindowState& state) {
    return Live(state, window) != nullptr ? ChildrenOf(state, window) : std::vector<HWND>();
  });
}

bool ShowWindow(HWND window, int command) {
  return Changing(false, [&](SharedWindowState& state) {
    WindowRecord* record = Live(state, window);
    if (record == nullptr) return false;
    const bool wasVisible = (record->flags & kVisibleFlag) != 0;
    record->flags = (record->flags & ~kVisibleFlag) | (command != SW_HIDE ? kVisibleFlag : 0);
    if ((command == SW_SHOW || command == SW_SHOWNORMAL || command == SW_SHOWMAXIMIZED) &&
        record->parent == 0)
      Activate(state, window);
    if (command == SW_HIDE && state.active == window) state.active = 0;
    return wasVisible;
  });
}

bool IsWindowVisible(HWND window) {
  return Reading(false, [&](SharedWindowState& state) {
    const WindowRecord* record = Live(state, window);
    if (record == nullptr) return false;
    for (; record != nullptr; record = Live(state, record->parent))
      if ((record->flags & kVisibleFlag) == 0) return false;
    return true;
  });
}

std::vector<HWND> GetZOrder() {
  return Changing<std::vector<HWND>>({}, [](SharedWindowState& state) {
    Prune(state);
    return std::vector<HWND>(ZBegin(state), ZEnd(state));
  });
}

bool BringWindowToTop(HWND window) {
  return Changing(false, [&](SharedWindowState& state) {
    const HWND top = TopLevelOf(state, window);
    if (top != 0) Raise(state, top);
    return top != 0;
  });
}

HWND GetActiveWindow() {
  return Reading<HWND>(0, [](SharedWindowState& state) { return LiveOrZero(state, state.active); });
}

HWND SetActiveWindow(HWND window) {
  return Changing<HWND>(0, [&](SharedWindowState& state) -> HWND {
    if (window != 0 && Live(state, window) == nullptr) return 0;
    return Activate(state, window);
  });
}

HWND GetFocus() {
  return Reading<HWND>(0, [](SharedWindowState& state) { return LiveOrZero(state, state.focus); });
}

HWND SetFocus(HWND window) {
  return Changing<HWND>(0, [&](SharedWindowState& state) -> HWND {
    if (window != 0 && Live(state, window) == nullptr) return 0;
    const HWND previous = state.focus;
    state.focus = window;
    if (window != 0) Activate(state, window);
    return previous;
  });
}

void ResetWindows() {
  Safely(0, [] {
    Doomed doomed;
    Changing(0, [&](SharedWindowState& state) {
      Prune(state);
      const std::multimap<HWND, HWND> owned = OwnedWindows(state);
      for (const WindowRecord* record = RecordsBegin(state); record != RecordsEnd(state); ++record)
        CollectDoomed(state, owned, record->handle, doomed);
      state.windowCount = 0;
      state.topLevelCount = 0;
      state.active = 0;
      state.focus = 0;
      return 0;
    });
    DestroyForgotten(doomed);
    return 0;
  });
}

}  // namespace platform
