// Platform windows as system windows. Each window is a hidden window of the
// system, so its handle, class, caption, parent, owner, owner thread and
// lifetime are the same for every module of the process. The system never
// sees the platform's styles or visibility (nothing may be drawn): those and
// the rectangle are window properties holding plain values. The active
// window, the focus and the Z order are in the shared section of
// SharedWindowState.h.
#include "platform/Windows.h"

#include <algorithm>
#include <array>
#include <map>
#include <mutex>
#include <set>

#include "platform/Safely.h"
#include "platform/win32/SharedWindowState.h"
#include "platform/win32/SystemWindows.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

namespace platform {
namespace {

// What the platform keeps per window beside the system's own.
enum Field {
  kStyle,
  kExStyle,
  kClassStyle,
  kVisible,
  kLeft,
  kTop,
  kRight,
  kBottom,
  kSerial,
  kUnnamed,
  kMarker,
  kFieldCount
};

constexpr std::array<const wchar_t*, kFieldCount> kFieldNames = {
    L"Strativue.Style",  L"Strativue.ExStyle", L"Strativue.ClassStyle", L"Strativue.Visible",
    L"Strativue.Left",   L"Strativue.Top",     L"Strativue.Right",      L"Strativue.Bottom",
    L"Strativue.Serial", L"Strativue.Unnamed", kPlatformWindowProperty};

// Properties are named by global atoms taken once per module: a property set
// by its text name takes a new reference to the atom on every call.
const wchar_t* FieldKey(Field field) {
  static const std::array<ATOM, kFieldCount> atoms = [] {
    std::array<ATOM, kFieldCount> taken{};
    for (size_t i = 0; i < kFieldCount; ++i) taken[i] = ::GlobalAddAtomW(kFieldNames[i]);
    return taken;
  }();
  const ATOM atom = atoms[field];
  return atom != 0 ? reinterpret_cast<const wchar_t*>(static_cast<uintptr_t>(atom)) : kFieldNames[field];
}

uint32_t Read(::HWND window, Field field) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(::GetPropW(window, FieldKey(field))));
}

// 0 is an absent property, so a zero value takes no entry.
void Write(::HWND window, Field field, uint32_t value) {
  if (value == 0)
    ::RemovePropW(window, FieldKey(field));
  else
    ::SetPropW(window, FieldKey(field), reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value)));
}

int32_t ReadSigned(::HWND window, Field field) { return static_cast<int32_t>(Read(window, field)); }
void WriteSigned(::HWND window, Field field, int32_t value) {
  Write(window, field, static_cast<uint32_t>(value));
}

// The system window behind a live platform window; nullptr for anything else.
::HWND Live(HWND window) {
  const ::HWND system = SystemHandle(window);
  return window != 0 && IsPlatformWindow(system) ? system : nullptr;
}

HWND PlatformOrZero(::HWND window) { return IsPlatformWindow(window) ? PlatformHandle(window) : 0; }

bool IsChild(::HWND window) {
  return (static_cast<uint32_t>(::GetWindowLongPtrW(window, GWL_STYLE)) & WS_CHILD) != 0;
}

::HWND ParentOf(::HWND window) { return IsChild(window) ? ::GetAncestor(window, GA_PARENT) : nullptr; }

::HWND OwnerOf(::HWND window) { return IsChild(window) ? nullptr : ::GetWindow(window, GW_OWNER); }

::HWND TopLevelOf(::HWND window) {
  const ::HWND root = ::GetAncestor(window, GA_ROOT);
  return IsPlatformWindow(root) ? root : nullptr;
}

std::vector<::HWND> ChildrenOf(::HWND window) {
  std::vector<::HWND> children;
  for (::HWND child = ::GetWindow(window, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT))
    if (IsPlatformWindow(child)) children.push_back(child);
  std::sort(children.begin(), children.end(),
            [](::HWND a, ::HWND b) { return Read(a, kSerial) < Read(b, kSerial); });
  return children;
}

// Windows of this process's platform are made in the program's instance, so
// every module finds the same classes, and with the system's own window
// procedure, so no window points into a module that may unload.
constexpr wchar_t kUnnamedClass[] = L"Strativue.UnnamedWindow";

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

class StateLock {
 public:
  explicit StateLock(SharedWindowState& state) : state_(state) { ::AcquireSRWLockExclusive(&state_.lock); }
  ~StateLock() { ::ReleaseSRWLockExclusive(&state_.lock); }
  StateLock(const StateLock&) = delete;
  StateLock& operator=(const StateLock&) = delete;

 private:
  SharedWindowState& state_;
};

template <typename T>
T Locked(T fallback, auto&& body) {
  return Safely<T>(fallback, [&]() -> T {
    SharedWindowState* state = TheSharedWindowState();
    if (state == nullptr) return fallback;
    StateLock lock(*state);
    return body(*state);
  });
}

int32_t* ZBegin(SharedWindowState& state) { return state.zOrder; }
int32_t* ZEnd(SharedWindowState& state) { return state.zOrder + state.topLevelCount; }

// Windows that ended without the platform (their thread ended, say) leave
// the state.
void Prune(SharedWindowState& state) {
  int32_t* end = std::remove_if(ZBegin(state), ZEnd(state),
                                [](int32_t w) { return !IsPlatformWindow(SystemHandle(w)); });
  state.topLevelCount = static_cast<uint32_t>(end - ZBegin(state));
  if (!IsPlatformWindow(SystemHandle(state.active))) state.active = 0;
  if (!IsPlatformWindow(SystemHandle(state.focus))) state.focus = 0;
}

void Raise(SharedWindowState& state, HWND window) {
  int32_t* found = std::find(ZBegin(state), ZEnd(state), window);
  if (found == ZEnd(state)) return;
  std::rotate(ZBegin(state), found, found + 1);
}

HWND Activate(SharedWindowState& state, ::HWND window) {
  const HWND previous = state.active;
  const ::HWND top = window != nullptr ? TopLevelOf(window) : nullptr;
  state.active = top != nullptr ? PlatformHandle(top) : 0;
  if (top != nullptr) Raise(state, state.active);
  return previous;
}

// Windows that go together, deepest first (children and owned windows before
// the window that takes them), each once.
struct Doomed {
  std::set<::HWND> members;
  std::vector<::HWND> order;
};

// Who owns whom among the top-level windows, read once for a destruction.
std::multimap<::HWND, ::HWND> OwnedWindows(SharedWindowState& state) {
  std::multimap<::HWND, ::HWND> owned;
  for (const int32_t* window = ZBegin(state); window != ZEnd(state); ++window) {
    const ::HWND system = SystemHandle(*window);
    if (const ::HWND owner = OwnerOf(system); owner != nullptr && IsPlatformWindow(system))
      owned.emplace(owner, system);
  }
  return owned;
}

void CollectDoomed(const std::multimap<::HWND, ::HWND>& owned, ::HWND window, Doomed& doomed) {
  if (!doomed.members.insert(window).second) return;
  for (::HWND child : ChildrenOf(window)) CollectDoomed(owned, child, doomed);
  const auto [first, last] = owned.equal_range(window);
  for (auto it = first; it != last; ++it) CollectDoomed(owned, it->second, doomed);
  doomed.order.push_back(window);
}

// Takes the doomed windows out of the state and forgets them as platform
// windows; activation passes to the nearest owner that survives.
void Forget(SharedWindowState& state, const Doomed& doomed) {
  if (state.focus != 0 && doomed.members.contains(SystemHandle(state.focus))) state.focus = 0;
  if (state.active != 0 && doomed.members.contains(SystemHandle(state.active))) {
    ::HWND heir = SystemHandle(state.active);
    while (heir != nullptr && doomed.members.contains(heir)) heir = OwnerOf(heir);
    state.active = heir != nullptr ? PlatformOrZero(heir) : 0;
  }
  int32_t* end = std::remove_if(ZBegin(state), ZEnd(state), [&](int32_t window) {
    return doomed.members.contains(SystemHandle(window));
  });
  state.topLevelCount = static_cast<uint32_t>(end - ZBegin(state));
  for (::HWND window : doomed.order) ::RemovePropW(window, FieldKey(kMarker));
}

// The system lets only a window's own thread destroy it. A window of
// another thread stays behind as a plain system window, no longer the
// platform's, until its thread destroys it or ends.
void DestroyOwn(const Doomed& doomed) {
  const DWORD self = ::GetCurrentThreadId();
  for (::HWND window : doomed.order)
    if (::IsWindow(window) && ::GetWindowThreadProcessId(window, nullptr) == self) ::DestroyWindow(window);
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
    const ::HWND parent = Live(params.parent);
    const ::HWND owner = Live(params.owner);
    if ((params.parent != 0 && parent == nullptr) || (params.owner != 0 && owner == nullptr)) return 0;
    if (TheSharedWindowState() == nullptr) return 0;
    // The system has no window without a class name: such a window gets a
    // class of the platform's, and answers an empty name.
    const std::wstring className = params.className.empty() ? kUnnamedClass : WideText(params.className);
    if (!EnsureClass(className)) return 0;
    // A child gets no parent notifications: the system would send them to
    // the parent's thread and wait for it.
    const ::HWND window =
        ::CreateWindowExW(parent != nullptr ? WS_EX_NOPARENTNOTIFY : 0, className.c_str(),
                          WideText(params.caption).c_str(), parent != nullptr ? WS_CHILD : WS_POPUP, 0, 0, 0,
                          0, parent != nullptr ? parent : owner, nullptr, Instance(), nullptr);
    if (window == nullptr) return 0;
    Write(window, kUnnamed, params.className.empty() ? 1 : 0);
    Write(window, kStyle, params.style);
    Write(window, kExStyle, params.exStyle);
    Write(window, kClassStyle, params.classStyle);
    Write(window, kVisible, (params.style & WS_VISIBLE) != 0 ? 1 : 0);
    WriteSigned(window, kLeft, params.rect.left);
    WriteSigned(window, kTop, params.rect.top);
    WriteSigned(window, kRight, params.rect.right);
    WriteSigned(window, kBottom, params.rect.bottom);
    if (::SetPropW(window, FieldKey(kMarker), reinterpret_cast<HANDLE>(uintptr_t{1})) == 0) {
      ::DestroyWindow(window);
      return 0;
    }
    const HWND handle = PlatformHandle(window);
    const bool placed = Locked(false, [&](SharedWindowState& state) {
      if (parent == nullptr) {
        if (state.topLevelCount == kMaxTopLevelWindows) Prune(state);
        if (state.topLevelCount == kMaxTopLevelWindows) return false;
        std::copy_backward(ZBegin(state), ZEnd(state), ZEnd(state) + 1);
        state.zOrder[0] = handle;
        ++state.topLevelCount;
      }
      Write(window, kSerial, ++state.lastSerial);
      return true;
    });
    if (!placed) {
      ::RemovePropW(window, FieldKey(kMarker));
      ::DestroyWindow(window);
      ::SetLastError(ERROR_NOT_ENOUGH_QUOTA);
      return 0;
    }
    return handle;
  });
}

bool DestroyWindow(HWND window) {
  return Safely(false, [&] {
    Doomed doomed;
    const bool known = Locked(false, [&](SharedWindowState& state) {
      const ::HWND system = Live(window);
      if (system == nullptr) return false;
      CollectDoomed(OwnedWindows(state), system, doomed);
      Forget(state, doomed);
      return true;
    });
    // Outside the lock: destroying sends the windows messages.
    DestroyOwn(doomed);
    return known;
  });
}

bool IsWindow(HWND window) {
  return Safely(false, [&] { return Live(window) != nullptr; });
}

std::string GetWindowText(HWND window) {
  return Safely<std::string>({}, [&] {
    const ::HWND system = Live(window);
    if (system == nullptr) return std::string();
    // The system's default procedure answers directly, where GetWindowTextW
    // would send a message and wait for the window's thread.
    const LRESULT length = ::DefWindowProcW(system, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return std::string();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        ::DefWindowProcW(system, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::max<LRESULT>(0, copied)));
    return NarrowText(text);
  });
}

bool SetWindowText(HWND window, std::string_view caption) {
  return Safely(false, [&] {
    const ::HWND system = Live(window);
    if (system == nullptr) return false;
    const std::wstring text = WideText(caption);
    return ::DefWindowProcW(system, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) != 0;
  });
}

std::string GetClassName(HWND window) {
  return Safely<std::string>({}, [&] {
    const ::HWND system = Live(window);
    if (system == nullptr || Read(system, kUnnamed) != 0) return std::string();
    wchar_t name[257] = {};
    const int length = ::GetClassNameW(system, name, static_cast<int>(std::size(name)));
    return NarrowText(std::wstring_view(name, static_cast<size_t>(std::max(0, length))));
  });
}

bool GetWindowRect(HWND window, Rect* rect) {
  return Safely(false, [&] {
    const ::HWND system = Live(window);
    if (system == nullptr || rect == nullptr) return false;
    *rect = Rect{ReadSigned(system, kLeft), ReadSigned(system, kTop), ReadSigned(system, kRight),
                 ReadSigned(system, kBottom)};
    return true;
  });
}

bool SetWindowRect(HWND window, const Rect& rect) {
  return Safely(false, [&] {
    const ::HWND system = Live(window);
    if (system == nullptr) return false;
    WriteSigned(system, kLeft, rect.left);
    WriteSigned(system, kTop, rect.top);
    WriteSigned(system, kRight, rect.right);
    WriteSigned(system, kBottom, rect.bottom);
    return true;
  });
}

uint32_t GetWindowStyle(HWND window) {
  return Safely(0u, [&] {
    const ::HWND system = Live(window);
    if (system == nullptr) return 0u;
    return (Read(system, kStyle) & ~WS_VISIBLE) | (Read(system, kVisible) != 0 ? WS_VISIBLE : 0u);
  });
}

bool SetWindowStyle(HWND window, uint32_t style) {
  return Safely(false, [&] {
    const ::HWND system = Live(window);
    if (system == nullptr) return false;
    Write(system, kStyle, style);
    Write(system, kVisible, (style & WS_VISIBLE) != 0 ? 1 : 0);
    return true;
  });
}

uint32_t GetWindowExStyle(HWND window) {
  return Safely(0u, [&] {
    const ::HWND system = Live(window);
    return system != nullptr ? Read(system, kExStyle) : 0u;
  });
}

bool SetWindowExStyle(HWND window, uint32_t exStyle) {
  return Safely(false, [&] {
    const ::HWND system = Live(window);
    if (system != nullptr) Write(system, kExStyle, exStyle);
    return system != nullptr;
  });
}

uint32_t GetClassStyle(HWND window) {
  return Safely(0u, [&] {
    const ::HWND system = Live(window);
    return system != nullptr ? Read(system, kClassStyle) : 0u;
  });
}

bool SetClassStyle(HWND window, uint32_t classStyle) {
  return Safely(false, [&] {
    const ::HWND system = Live(window);
    if (system != nullptr) Write(system, kClassStyle, classStyle);
    return system != nullptr;
  });
}

HWND GetParent(HWND window) {
  return Safely<HWND>(0, [&]() -> HWND {
    const ::HWND system = Live(window);
    return system != nullptr ? PlatformOrZero(ParentOf(system)) : 0;
  });
}

HWND GetWindowOwner(HWND window) {
  return Safely<HWND>(0, [&]() -> HWND {
    const ::HWND system = Live(window);
    return system != nullptr ? PlatformOrZero(OwnerOf(system)) : 0;
  });
}

bool SetWindowOwner(HWND window, HWND owner) {
  return Locked(false, [&](SharedWindowState&) {
    const ::HWND system = Live(window);
    const ::HWND newOwner = Live(owner);
    if (system == nullptr || (owner != 0 && newOwner == nullptr) || owner == window || IsChild(system))
      return false;
    // An ownership cycle would make DestroyWindow loop.
    for (::HWND up = newOwner; up != nullptr; up = OwnerOf(up))
      if (up == system) return false;
    ::SetWindowLongPtrW(system, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(newOwner));
    return OwnerOf(system) == newOwner;
  });
}

ThreadId GetWindowThread(HWND window) {
  return Safely(ThreadId{0}, [&] {
    const ::HWND system = Live(window);
    return system != nullptr ? ThreadId{::GetWindowThreadProcessId(system, nullptr)} : ThreadId{0};
  });
}

std::vector<HWND> GetChildWindows(HWND window) {
  return Safely<std::vector<HWND>>({}, [&] {
    std::vector<HWND> children;
    if (const ::HWND system = Live(window))
      for (::HWND child : ChildrenOf(system)) children.push_back(PlatformHandle(child));
    return children;
  });
}

bool ShowWindow(HWND window, int command) {
  return Locked(false, [&](SharedWindowState& state) {
    const ::HWND system = Live(window);
    if (system == nullptr) return false;
    const bool wasVisible = Read(system, kVisible) != 0;
    Write(system, kVisible, command != SW_HIDE ? 1 : 0);
    if ((command == SW_SHOW || command == SW_SHOWNORMAL || command == SW_SHOWMAXIMIZED) && !IsChild(system))
      Activate(state, system);
    if (command == SW_HIDE && state.active == window) state.active = 0;
    return wasVisible;
  });
}

bool IsWindowVisible(HWND window) {
  return Safely(false, [&] {
    ::HWND system = Live(window);
    if (system == nullptr) return false;
    for (; system != nullptr; system = ParentOf(system))
      if (Read(system, kVisible) == 0) return false;
    return true;
  });
}

std::vector<HWND> GetZOrder() {
  return Locked<std::vector<HWND>>({}, [](SharedWindowState& state) {
    Prune(state);
    return std::vector<HWND>(ZBegin(state), ZEnd(state));
  });
}

bool BringWindowToTop(HWND window) {
  return Locked(false, [&](SharedWindowState& state) {
    const ::HWND system = Live(window);
    const ::HWND top = system != nullptr ? TopLevelOf(system) : nullptr;
    if (top == nullptr) return false;
    Raise(state, PlatformHandle(top));
    return true;
  });
}

HWND GetActiveWindow() {
  return Locked<HWND>(
      0, [](SharedWindowState& state) { return Live(state.active) != nullptr ? state.active : 0; });
}

HWND SetActiveWindow(HWND window) {
  return Locked<HWND>(0, [&](SharedWindowState& state) -> HWND {
    const ::HWND system = Live(window);
    if (window != 0 && system == nullptr) return 0;
    return Activate(state, system);
  });
}

HWND GetFocus() {
  return Locked<HWND>(
      0, [](SharedWindowState& state) { return Live(state.focus) != nullptr ? state.focus : 0; });
}

HWND SetFocus(HWND window) {
  return Locked<HWND>(0, [&](SharedWindowState& state) -> HWND {
    const ::HWND system = Live(window);
    if (window != 0 && system == nullptr) return 0;
    const HWND previous = state.focus;
    state.focus = window;
    if (system != nullptr) Activate(state, system);
    return previous;
  });
}

void ResetWindows() {
  Safely(0, [] {
    Doomed doomed;
    Locked(0, [&](SharedWindowState& state) {
      Prune(state);
      const std::multimap<::HWND, ::HWND> owned = OwnedWindows(state);
      for (const int32_t* window = ZBegin(state); window != ZEnd(state); ++window)
        CollectDoomed(owned, SystemHandle(*window), doomed);
      Forget(state, doomed);
      state.topLevelCount = 0;
      state.active = 0;
      state.focus = 0;
      return 0;
    });
    DestroyOwn(doomed);
    return 0;
  });
}

}  // namespace platform
