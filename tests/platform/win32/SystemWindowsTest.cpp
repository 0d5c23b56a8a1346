// The platform's windows on Windows are the system's: every module of the
// process sees the same windows through user32, and the state the system
// keeps per thread (activation, focus, Z order) through one named section.
#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "platform/Windows.h"
#include "platform/win32/SharedWindowState.h"
#include "platform/win32/SystemWindows.h"
#include "platform/win32/WindowsApi.h"

namespace {

using platform::SystemHandle;

platform::HWND Make(const char* className, platform::HWND parent = 0, platform::HWND owner = 0,
                    const char* caption = "") {
  platform::WindowCreateParams params;
  params.className = className;
  params.caption = caption;
  params.parent = parent;
  params.owner = owner;
  params.style = parent != 0 ? platform::WS_CHILD : platform::WS_POPUP;
  return platform::CreateWindow(params);
}

std::wstring SystemText(platform::HWND window) {
  wchar_t text[256] = {};
  const int length = ::GetWindowTextW(SystemHandle(window), text, 256);
  return std::wstring(text, static_cast<size_t>(length));
}

std::wstring SystemClass(platform::HWND window) {
  wchar_t name[256] = {};
  const int length = ::GetClassNameW(SystemHandle(window), name, 256);
  return std::wstring(name, static_cast<size_t>(length));
}

// The section as another module's copy of the platform opens it: by name.
class OtherModulesView {
 public:
  OtherModulesView() {
    const std::wstring name = platform::SharedWindowStateName(::GetCurrentProcessId());
    section_ = ::OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, name.c_str());
    if (section_ != nullptr)
      state_ = static_cast<platform::SharedWindowState*>(
          ::MapViewOfFile(section_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(platform::SharedWindowState)));
  }
  ~OtherModulesView() {
    if (state_ != nullptr) ::UnmapViewOfFile(state_);
    if (section_ != nullptr) ::CloseHandle(section_);
  }
  OtherModulesView(const OtherModulesView&) = delete;
  OtherModulesView& operator=(const OtherModulesView&) = delete;
  platform::SharedWindowState* operator->() const { return state_; }
  explicit operator bool() const { return state_ != nullptr; }

 private:
  HANDLE section_ = nullptr;
  platform::SharedWindowState* state_ = nullptr;
};

class SystemWindows : public testing::Test {
 protected:
  void SetUp() override { platform::ResetWindows(); }
  void TearDown() override { platform::ResetWindows(); }
};

TEST_F(SystemWindows, WhatTheSystemKnowsAgreesWithThePlatform) {
  const platform::HWND form = Make("TStackForm", 0, 0,
                                   "Stapel \xE2\x80\x93 \xC3\x9C"
                                   "bersicht");
  const platform::HWND button = Make("TStackButton", form, 0, "OK");
  const platform::HWND hint = Make("TStackHint", 0, form);
  ASSERT_NE(form, 0);
  ASSERT_NE(button, 0);
  ASSERT_NE(hint, 0);
  for (const platform::HWND window : {form, button, hint}) {
    EXPECT_TRUE(::IsWindow(SystemHandle(window)));
    EXPECT_TRUE(platform::IsPlatformWindow(SystemHandle(window)));
    EXPECT_EQ(::GetWindowThreadProcessId(SystemHandle(window), nullptr), ::GetCurrentThreadId());
    EXPECT_EQ(platform::GetWindowThread(window), platform::CurrentThreadId());
  }
  EXPECT_EQ(SystemClass(form), L"TStackForm");
  EXPECT_EQ(SystemText(form), L"Stapel \u2013 \u00DCbersicht");
  EXPECT_EQ(::GetParent(SystemHandle(button)), SystemHandle(form));
  EXPECT_EQ(::GetWindow(SystemHandle(hint), GW_OWNER), SystemHandle(form));

  // Text set through the system reads back through the platform, and back.
  ASSERT_TRUE(::SetWindowTextW(SystemHandle(button), L"Abbrechen"));
  EXPECT_EQ(platform::GetWindowText(button), "Abbrechen");
  ASSERT_TRUE(platform::SetWindowText(form, "Legend"));
  EXPECT_EQ(SystemText(form), L"Legend");

  // Shown to the platform, never to the system: nothing is drawn.
  platform::ShowWindow(form, platform::SW_SHOW);
  platform::ShowWindow(button, platform::SW_SHOW);
  EXPECT_TRUE(platform::IsWindowVisible(button));
  EXPECT_FALSE(::IsWindowVisible(SystemHandle(form)));
  EXPECT_FALSE(::IsWindowVisible(SystemHandle(button)));

  // A system window the platform did not make is no platform window.
  const ::HWND foreign = ::CreateWindowExW(0, L"TStackForm", L"", platform::WS_POPUP, 0, 0, 0, 0, nullptr,
                                           nullptr, ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(foreign, nullptr);
  EXPECT_FALSE(platform::IsWindow(platform::PlatformHandle(foreign)));
  EXPECT_EQ(platform::CreateWindow([&] {
              platform::WindowCreateParams params;
              params.className = "TStackButton";
              params.parent = platform::PlatformHandle(foreign);
              return params;
            }()),
            0);
  ::DestroyWindow(foreign);
}

TEST_F(SystemWindows, ClassesAreTheProcesssWhicheverModuleRegisteredThem) {
  // Registered first by someone else in the program's instance, as another
  // module's copy of the platform would.
  WNDCLASSEXW first{};
  first.cbSize = sizeof first;
  first.lpfnWndProc = ::DefWindowProcW;
  first.hInstance = ::GetModuleHandleW(nullptr);
  first.lpszClassName = L"TRegisteredElsewhere";
  ASSERT_NE(::RegisterClassExW(&first), 0);
  const platform::HWND a = Make("TRegisteredElsewhere");
  const platform::HWND b = Make("TRegisteredElsewhere");
  ASSERT_NE(a, 0);
  ASSERT_NE(b, 0);
  EXPECT_EQ(platform::GetClassName(b), "TRegisteredElsewhere");

  // A class the platform registered is there for every later registrant.
  ASSERT_NE(Make("TRegisteredHere"), 0);
  WNDCLASSEXW again = first;
  again.lpszClassName = L"TRegisteredHere";
  EXPECT_EQ(::RegisterClassExW(&again), 0);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
  WNDCLASSEXW found{};
  found.cbSize = sizeof found;
  ASSERT_NE(::GetClassInfoExW(::GetModuleHandleW(nullptr), L"TRegisteredHere", &found), 0);
  EXPECT_EQ(found.hInstance, ::GetModuleHandleW(nullptr));
  EXPECT_EQ(platform::GetClassName(Make("TRegisteredHere")), "TRegisteredHere");
}

TEST_F(SystemWindows, ActivationFocusAndZOrderAreWhatAnotherModuleReads) {
  OtherModulesView other;
  const platform::HWND first = Make("TFirst");
  ASSERT_TRUE(other);
  const platform::HWND second = Make("TSecond");
  const platform::HWND edit = Make("TEdit", first);
  platform::SetFocus(edit);
  // Read as a copy, and changed as another module would, under the lock.
  platform::SharedWindowState& shared = *other.operator->();
  ::AcquireSRWLockExclusive(&shared.lock);
  const auto state = std::make_unique<platform::SharedWindowState>(shared);
  shared.active = second;
  ::ReleaseSRWLockExclusive(&shared.lock);
  EXPECT_EQ(platform::GetActiveWindow(), second);

  EXPECT_EQ(state->active, first);
  EXPECT_EQ(state->focus, edit);
  ASSERT_EQ(state->topLevelCount, 2u);
  EXPECT_EQ(state->zOrder[0], first);
  EXPECT_EQ(state->zOrder[1], second);
  // Each window's own values are there too.
  const platform::WindowRecord* begin = state->windows;
  const platform::WindowRecord* end = begin + state->windowCount;
  const platform::WindowRecord* record =
      std::find_if(begin, end, [&](const platform::WindowRecord& r) { return r.handle == edit; });
  ASSERT_NE(record, end);
  EXPECT_EQ(record->parent, first);
  EXPECT_EQ(record->style, platform::WS_CHILD);
}

TEST_F(SystemWindows, DestroyingTakesChildrenAndOwnedWindowsWithIt) {
  const platform::HWND app = Make("TApp");
  const platform::HWND form = Make("TForm", 0, app);
  const platform::HWND panel = Make("TPanel", form);
  const platform::HWND button = Make("TButton", panel);
  const platform::HWND hint = Make("THint", 0, form);
  const platform::HWND tip = Make("TTip", 0, hint);
  platform::SetFocus(button);
  platform::SetActiveWindow(tip);
  ASSERT_TRUE(platform::DestroyWindow(form));
  for (const platform::HWND gone : {form, panel, button, hint, tip}) {
    EXPECT_FALSE(platform::IsWindow(gone));
    EXPECT_FALSE(::IsWindow(SystemHandle(gone)));
  }
  EXPECT_TRUE(::IsWindow(SystemHandle(app)));
  EXPECT_EQ(platform::GetFocus(), 0);
  EXPECT_EQ(platform::GetActiveWindow(), app);  // the first owner that survives
  EXPECT_EQ(platform::GetZOrder(), std::vector<platform::HWND>{app});
}

// The system lets only a window's thread destroy it: another thread's
// DestroyWindow and ResetWindows make it no platform window, and the system
// window goes when its thread ends.
TEST_F(SystemWindows, AnotherThreadsWindowsAreForgottenAndEndWithTheirThread) {
  std::promise<std::pair<platform::HWND, platform::HWND>> made;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::thread worker([&] {
    const platform::HWND form = Make("TWorkerForm");
    const platform::HWND child = Make("TWorkerChild", form);
    made.set_value({form, child});
    released.wait();
  });
  const auto [form, child] = made.get_future().get();
  EXPECT_EQ(platform::GetWindowThread(form), platform::GetWindowThread(child));
  EXPECT_NE(platform::GetWindowThread(form), platform::CurrentThreadId());
  const platform::HWND mine = Make("TMine", 0, form);
  platform::SetActiveWindow(child);
  EXPECT_EQ(platform::GetActiveWindow(), form);

  EXPECT_TRUE(platform::DestroyWindow(form));
  EXPECT_FALSE(platform::IsWindow(form));
  EXPECT_FALSE(platform::IsWindow(child));
  EXPECT_FALSE(platform::IsWindow(mine));
  EXPECT_FALSE(::IsWindow(SystemHandle(mine)));  // this thread's own went for good
  EXPECT_TRUE(::IsWindow(SystemHandle(form)));
  EXPECT_EQ(platform::GetActiveWindow(), 0);
  EXPECT_TRUE(platform::GetZOrder().empty());
  EXPECT_FALSE(platform::DestroyWindow(form));
  release.set_value();
  worker.join();
  EXPECT_FALSE(::IsWindow(SystemHandle(form)));
  EXPECT_FALSE(::IsWindow(SystemHandle(child)));
}

TEST_F(SystemWindows, WindowsWhoseThreadEndedLeaveTheZOrderAndActivation) {
  const platform::HWND stays = Make("TStays");
  platform::HWND gone = 0;
  std::thread([&] {
    gone = Make("TGone");
    platform::SetFocus(gone);
  }).join();
  EXPECT_FALSE(platform::IsWindow(gone));
  EXPECT_EQ(platform::GetActiveWindow(), 0);
  EXPECT_EQ(platform::GetFocus(), 0);
  EXPECT_EQ(platform::GetZOrder(), std::vector<platform::HWND>{stays});
}

TEST_F(SystemWindows, AFullTableRefusesTheNextWindowCleanly) {
  std::vector<platform::HWND> made;
  for (uint32_t i = 0; i < platform::kMaxWindows; ++i) {
    made.push_back(Make(i % 2 == 0 ? "TMany" : "TManyChild", i % 2 == 0 ? 0 : made.back()));
    ASSERT_NE(made.back(), 0) << "window " << i;
  }
  EXPECT_EQ(Make("TOneTooMany"), 0);
  EXPECT_EQ(Make("TOneTooMany", made.front()), 0);
  EXPECT_EQ(::FindWindowW(L"TOneTooMany", nullptr), nullptr);  // no system window left behind
  const std::vector<platform::HWND> zOrder = platform::GetZOrder();
  EXPECT_EQ(zOrder.size(), platform::kMaxWindows / 2);
  EXPECT_EQ(zOrder.front(), made[made.size() - 2]);
  // Room again once a window goes.
  ASSERT_TRUE(platform::DestroyWindow(made.back()));
  const platform::HWND again = Make("TOneMore");
  EXPECT_NE(again, 0);
  EXPECT_EQ(platform::GetZOrder().front(), again);
  EXPECT_EQ(Make("TOneTooMany"), 0);
}

}  // namespace
