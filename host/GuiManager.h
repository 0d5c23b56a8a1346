// The host's GUI manager: the status bar (panels kept as texts) and the
// shortcut hand-over.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "abi/IClient.h"
#include "abi/Unknown.h"

namespace quorvex {

struct StatusBarCall {
  int32_t panel;
  std::string text;  // UTF-8
  friend bool operator==(const StatusBarCall&, const StatusBarCall&) = default;
};

struct ShortcutCall {
  int32_t keyCode;
  bool alt, shift, ctrl;
  friend bool operator==(const ShortcutCall&, const ShortcutCall&) = default;
};

class GuiManager final : public qvabi::Implements<qvabi::IGUIManager> {
 public:
  // Every panel set so far, by index, with its last text (empty included).
  std::map<int32_t, std::string> Panels() const;
  // Every SetStatusBarText call, oldest first.
  std::vector<StatusBarCall> StatusBarCalls() const;
  std::vector<ShortcutCall> ShortcutCalls() const;
  // What ProcessShortcut answered to each call, in the same order.
  std::vector<bool> ShortcutResults() const;
  int ShortcutHandledCount() const;
  // Which keys ProcessShortcut reports as handled, besides those the host
  // settings name ([Shortcuts] Handled); none by default.
  void SetHandledKeys(std::vector<int32_t> keys);
  void Reset();

  qvabi::HRESULT STDCALL ShortcutHandled() override;
  qvabi::HRESULT STDCALL ProcessShortcut(int32_t keyCode, qvabi::BOOL32 alt, qvabi::BOOL32 shift,
                                         qvabi::BOOL32 ctrl, int32_t* handled) override;
  qvabi::HRESULT STDCALL SetStatusBarText(int32_t panel, qvabi::BSTR text) override;

 private:
  mutable std::mutex lock_;
  std::map<int32_t, std::string> panels_;
  std::vector<StatusBarCall> calls_;
  std::vector<ShortcutCall> shortcuts_;
  std::vector<bool> results_;
  std::vector<int32_t> handledKeys_;
  int shortcutHandled_ = 0;
};

}  // namespace quorvex
