#include "plugin/RTL/UiHooks.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <functional>
#include <vector>

#include "platform/Machine.h"
#include "platform/Modules.h"
#include "platform/Windows.h"
#include "plugin/RTL/ClientApi.h"
#include "plugin/RTL/ContextHelp.h"
#include "plugin/RTL/ErrorPolicy.h"
#include "plugin/RTL/Messages.h"
#include "plugin/RTL/ServerDialog.h"
#include "plugin/RTL/Translation.h"
#include "toolkit/Application.h"
#include "toolkit/CommonDialogs.h"
#include "toolkit/Hooks.h"
#include "toolkit/MessageDialog.h"

namespace strativue {
namespace {

constexpr uint32_t kJapaneseLocale = 0x0411;

using DisableGhostingFn = void();

// One installed hook: how to take it out again.
struct TInstalledHook {
  std::function<void()> remove;
};

// A standard dialog being centred: the hidden window it was given as parent
// (systems from Vista on), or the monitor remembered when it started.
struct TStandardDialogRun {
  toolkit::TCommonDialog* dialog = nullptr;
  platform::HWND anchor = 0;
  platform::HMONITOR monitor = 0;
};

struct TUiHookState {
  bool installed = false;
  std::vector<TStandardDialogRun> standardDialogs;
  std::vector<TInstalledHook> hooks;  // in installation order
  bool useLuna = false;
  bool changedDefaultCharset = false;
  uint8_t previousDefaultCharset = toolkit::DEFAULT_CHARSET;
};

// Reached through a function so that it exists before the load step uses
// it and outlives the unload step, whatever the order of static objects.
TUiHookState& HookState() {
  static TUiHookState state;
  return state;
}

template <class List, class Callback>
void AddHook(List& list, Callback callback) {
  const int id = list.Add(std::move(callback));
  HookState().hooks.push_back({[&list, id] { list.Remove(id); }});
}

// Message dialogs: the test-mode guard, then centred on the active monitor
// and shown without the toolkit's own positioning.
bool MessageDialogShowing(toolkit::TForm& form, bool visible) {
  if (!visible || dynamic_cast<toolkit::TMessageForm*>(&form) == nullptr) return false;
  if (IsTestMode()) {
    const std::string line = "Running modal dialog " + form.ClassName() + " " + form.Caption() + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    EndTestRun(1);
  }
  CentreOnActiveMonitor(form);
  form.ShowWithoutPositioning();
  return true;
}

// System colours written as 0x80nnnnnn take the toolkit's 0xFFnnnnnn form.
toolkit::TColor SystemColourForm(toolkit::TColor colour) {
  if (colour >= 0x80000000u && colour <= 0x80FFFFFFu) return 0xFF000000u | (colour & 0x00FFFFFFu);
  return colour;
}

// Moves a window so that it is centred on a monitor's full bounds, keeping
// its size.
void CentreWindowOnMonitor(platform::HWND window, platform::HMONITOR monitor) {
  platform::Rect bounds;
  platform::Rect rect;
  if (monitor == 0 || !platform::GetMonitorInfo(monitor, &bounds, nullptr) ||
      !platform::GetWindowRect(window, &rect))
    return;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const int left = static_cast<int>((int64_t{bounds.left} + bounds.right - width) / 2);
  const int top = static_cast<int>((int64_t{bounds.top} + bounds.bottom - height) / 2);
  platform::SetWindowRect(window, {left, top, left + width, top + height});
}

// Standard dialogs open centred on a monitor. From Vista on the dialog gets a
// hidden pop-up window over the active form as its parent and is centred on
// that window's monitor; on earlier systems it is centred on the monitor of
// the window active when it started.
void StandardDialogRuns(toolkit::TCommonDialog& dialog, toolkit::CommonDialogStage stage,
                        platform::HWND& window) {
  auto& runs = HookState().standardDialogs;
  const auto run = std::find_if(runs.begin(), runs.end(), [&](const auto& r) { return r.dialog == &dialog; });
  switch (stage) {
    case toolkit::CommonDialogStage::Executing: {
      TStandardDialogRun started{&dialog, 0, 0};
      if (platform::GetOsVersion().major > 5) {
        platform::WindowCreateParams params;
        params.className = "TStandardDialogAnchor";
        params.style = platform::WS_POPUP;
        if (toolkit::TForm* active = toolkit::Application().InputForm()) {
          params.owner = active->Handle();
          platform::GetWindowRect(params.owner, &params.rect);
        }
        started.anchor = platform::CreateWindow(params);
        if (started.anchor != 0) window = started.anchor;
      } else {
        started.monitor =
            platform::MonitorFromWindow(platform::GetActiveWindow(), platform::MONITOR_DEFAULTTONEAREST);
      }
      runs.push_back(started);
      break;
    }
    case toolkit::CommonDialogStage::Initialized:
      if (run == runs.end()) break;
      if (run->anchor != 0) {
        // The dialog's window is the one the anchor owns, before it in Z order.
        for (const platform::HWND candidate : platform::GetZOrder())
          if (platform::GetWindowOwner(candidate) == run->anchor) {
            CentreWindowOnMonitor(
                candidate, platform::MonitorFromWindow(run->anchor, platform::MONITOR_DEFAULTTONEAREST));
            break;
          }
      } else {
        CentreWindowOnMonitor(window, run->monitor);
      }
      break;
    case toolkit::CommonDialogStage::Closed:
      if (run == runs.end()) break;
      if (run->anchor != 0) platform::DestroyWindow(run->anchor);
      runs.erase(run);
      break;
  }
}

// A control inserted anywhere inside a form with help takes that form's
// fonts: the first such form from the control up through its parents.
void ControlInserted(toolkit::TWinControl&, toolkit::TControl& control) {
  for (toolkit::TControl* at = &control; at != nullptr; at = at->Parent())
    if (auto* form = dynamic_cast<TFormWithHelp*>(at)) {
      form->ApplyFontTree(control);
      return;
    }
}

void InstallToolkitHooks() {
  toolkit::Hooks& hooks = toolkit::Hooks::Get();
  AddHook(hooks.formShowing, MessageDialogShowing);
  AddHook(hooks.controlInserted, ControlInserted);
  AddHook(hooks.commonDialog, StandardDialogRuns);
  AddHook(hooks.componentInserted,
          [](toolkit::TComponent&, toolkit::TComponent& component) { ApplyLocaleFontRule(component); });
  AddHook(hooks.componentReadBegin, [](toolkit::TComponent& root, toolkit::TComponent& component) {
    // An outermost reading starts afresh, even after a reading that failed
    // half-way and never reached its end.
    if (&root == &component) ResetReadingState();
    BeginComponentReading(component);
  });
  AddHook(hooks.textRead, TranslateTextValue);
  AddHook(hooks.componentReadEnd,
          [](toolkit::TComponent&, toolkit::TComponent& component) { EndComponentReading(component); });
  AddHook(hooks.colorToText, SystemColourForm);
  AddHook(hooks.exceptionCaught, SetHostErrorInfo);
  AddHook(hooks.exceptionHandled, ClearHostErrorInfo);
  AddHook(hooks.hintShowing, ShowDynamicHelpForHint);
}

void InstallExceptionHandler() {
  toolkit::TApplication& application = toolkit::Application();
  auto previous = application.OnException;
  application.OnException = HandleApplicationException;
  HookState().hooks.push_back({[previous] { toolkit::Application().OnException = previous; }});
}

}  // namespace

void InstallUiHooks() {
  if (HookState().installed) return;
  HookState().installed = true;
  // Step by step as listed in UiHooks.h; a step that fails leaves its hook
  // absent and the others in place.
  const auto step = [](auto&& body) {
    try {
      body();
    } catch (...) {
    }
  };
  step([] {
    const platform::ModuleHandle user32 = platform::FindLoadedModule("user32.dll");
    if (auto* disable = reinterpret_cast<DisableGhostingFn*>(
            platform::FindFunction(user32, "DisableProcessWindowsGhosting")))
      disable();
  });
  step(InstallToolkitHooks);
  step([] { HookState().useLuna = ClientAPI::GetPrefUseLuna() != 0; });
  step([] {
    toolkit::Application().SetHintWindowClass<TNoShadowHintWindow>();
    // The toolkit outlives this module: it must not keep a hint window
    // factory (or a hint window) whose code goes away with it.
    HookState().hooks.push_back({[] { toolkit::Application().ResetHintWindowClass(); }});
  });
  step(InstallExceptionHandler);
  step([] {
    if (IsWindows2000() && platform::GetSystemDefaultLocaleId() == kJapaneseLocale) {
      HookState().previousDefaultCharset = toolkit::TFont::DefaultFont().Charset();
      HookState().changedDefaultCharset = true;
      toolkit::TFont::DefaultFont().SetCharset(toolkit::SHIFTJIS_CHARSET);
    }
  });
  step(ReadLocaleFontsFlag);
}

void RemoveUiHooks() {
  if (!HookState().installed) return;
  if (HookState().changedDefaultCharset)
    toolkit::TFont::DefaultFont().SetCharset(HookState().previousDefaultCharset);
  for (auto it = HookState().hooks.rbegin(); it != HookState().hooks.rend(); ++it) it->remove();
  for (const TStandardDialogRun& run : HookState().standardDialogs)
    if (run.anchor != 0) platform::DestroyWindow(run.anchor);
  ClearLocaleFontsFlag();
  ReleaseTranslationManager();
  ResetReadingState();
  HookState() = TUiHookState{};
}

int InstalledUiHookCount() { return static_cast<int>(HookState().hooks.size()); }

bool HostUsesLunaLook() { return HookState().useLuna; }

void CentreOnActiveMonitor(toolkit::TForm& form) {
  const platform::HMONITOR monitor =
      platform::MonitorFromWindow(platform::GetActiveWindow(), platform::MONITOR_DEFAULTTONEAREST);
  platform::Rect bounds, work;
  if (monitor == 0 || !platform::GetMonitorInfo(monitor, &bounds, &work)) return;
  form.SetBounds((bounds.left + bounds.right - form.Width()) / 2,
                 (bounds.top + bounds.bottom - form.Height()) / 2, form.Width(), form.Height());
}

}  // namespace strativue
