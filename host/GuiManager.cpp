#include "host/GuiManager.h"

#include <algorithm>

#include "host/HostSettings.h"
#include "host/HostStatus.h"
#include "platform/WideString.h"

namespace quorvex {

std::map<int32_t, std::string> GuiManager::Panels() const {
  std::lock_guard lock(lock_);
  return panels_;
}

std::vector<StatusBarCall> GuiManager::StatusBarCalls() const {
  std::lock_guard lock(lock_);
  return calls_;
}

std::vector<ShortcutCall> GuiManager::ShortcutCalls() const {
  std::lock_guard lock(lock_);
  return shortcuts_;
}

std::vector<bool> GuiManager::ShortcutResults() const {
  std::lock_guard lock(lock_);
  return results_;
}

int GuiManager::ShortcutHandledCount() const {
  std::lock_guard lock(lock_);
  return shortcutHandled_;
}

void GuiManager::SetHandledKeys(std::vector<int32_t> keys) {
  std::lock_guard lock(lock_);
  handledKeys_ = std::move(keys);
}

void GuiManager::Reset() {
  std::lock_guard lock(lock_);
  panels_.clear();
  calls_.clear();
  shortcuts_.clear();
  results_.clear();
  handledKeys_.clear();
  shortcutHandled_ = 0;
}

qvabi::HRESULT STDCALL GuiManager::ShortcutHandled() {
  std::lock_guard lock(lock_);
  ++shortcutHandled_;
  return qvabi::S_OK;
}

qvabi::HRESULT STDCALL GuiManager::ProcessShortcut(int32_t keyCode, qvabi::BOOL32 alt, qvabi::BOOL32 shift,
                                                   qvabi::BOOL32 ctrl, int32_t* handled) {
  return HostGuard([&] {
    if (!ClearOut(handled)) return Fail("ProcessShortcut: nil out argument");
    std::lock_guard lock(lock_);
    shortcuts_.push_back({keyCode, alt != 0, shift != 0, ctrl != 0});
    const std::vector<int32_t> configured = GetHandledShortcutKeys();
    const bool known = std::find(handledKeys_.begin(), handledKeys_.end(), keyCode) != handledKeys_.end() ||
                       std::find(configured.begin(), configured.end(), keyCode) != configured.end();
    *handled = known ? qvabi::kTrue32 : qvabi::kFalse32;
    results_.push_back(known);
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL GuiManager::SetStatusBarText(int32_t panel, qvabi::BSTR text) {
  return HostGuard([&] {
    if (const auto failure = InjectedFailure(HostCall::SetStatusBarText)) return Fail(*failure);
    std::string utf8 = platform::BStrToUtf8(text);
    std::lock_guard lock(lock_);
    calls_.push_back({panel, utf8});
    panels_[panel] = std::move(utf8);
    return qvabi::S_OK;
  });
}

}  // namespace quorvex
