// Process-wide hook points. A framework installs its behaviour by adding
// callbacks and removes it by removing them again (by the id Add returned).
// Callbacks run in the order they were added, on the UI thread.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Windows.h"
#include "toolkit/Graphics.h"

namespace toolkit {

class TComponent;
class TControl;
class TWinControl;
class TForm;
class TCommonDialog;

// When a standard dialog's commonDialog hooks run.
enum class CommonDialogStage {
  Executing,    // before its window exists; the window is the parent, which a hook may replace
  Initialized,  // its window exists and it is initialised; the window is the dialog's
  Closed,       // it has ended; the window is the one the dialog had, already destroyed
};

template <class Signature>
class HookList {
 public:
  using Callback = std::function<Signature>;

  int Add(Callback callback) {
    entries_.emplace_back(++lastId_, std::move(callback));
    return lastId_;
  }
  // False when no hook has that id (already removed).
  bool Remove(int id) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it)
      if (it->first == id) {
        entries_.erase(it);
        return true;
      }
    return false;
  }
  bool Empty() const { return entries_.empty(); }
  std::size_t Size() const { return entries_.size(); }
  // A copy, so a callback may add or remove hooks while the list runs.
  std::vector<Callback> Snapshot() const {
    std::vector<Callback> callbacks;
    for (const auto& entry : entries_) callbacks.push_back(entry.second);
    return callbacks;
  }

 private:
  int lastId_ = 0;
  std::vector<std::pair<int, Callback>> entries_;
};

// What a form-description reader is doing when it reads a text value.
struct TextReadContext {
  TComponent* root = nullptr;       // the form being read
  TComponent* component = nullptr;  // the component whose property is read
  std::string propertyName;         // "Caption", "Hint", "Font.Name", ...
  bool wide = false;                // a wide-text value (else narrow text)
};

class Hooks {
 public:
  static Hooks& Get();

  // A form becomes visible (true) or hidden (false). The first callback that
  // answers true has shown or hidden the form itself; the toolkit then skips
  // its own positioning and showing.
  HookList<bool(TForm& form, bool visible)> formShowing;
  // After `control` was inserted into `parent`'s children.
  HookList<void(TWinControl& parent, TControl& control)> controlInserted;
  // After `component` was inserted into `owner`'s components.
  HookList<void(TComponent& owner, TComponent& component)> componentInserted;
  // Each text value a form description gives a property, before it is set.
  HookList<void(const TextReadContext& context, std::string& value)> textRead;
  // Start and end of each component a form description creates or updates.
  HookList<void(TComponent& root, TComponent& component)> componentReadBegin;
  HookList<void(TComponent& root, TComponent& component)> componentReadEnd;
  // Rewrites a colour before it is turned into text.
  HookList<TColor(TColor color)> colorToText;
  // An exception reached one of the toolkit's catch-all handlers; runs before
  // that handler does anything with it.
  HookList<void(std::exception_ptr error)> exceptionCaught;
  // A catch-all handler has finished with its exception.
  HookList<void()> exceptionHandled;
  // The application's tooltip event: a tooltip for `control` (the control
  // under the pointer) is about to appear.
  HookList<void(TControl& control)> hintShowing;
  // A standard (common) dialog runs.
  HookList<void(TCommonDialog& dialog, CommonDialogStage stage, platform::HWND& window)> commonDialog;

  TColor RewriteColor(TColor color) const;
  bool NotifyFormShowing(TForm& form, bool visible) const;
  void NotifyControlInserted(TWinControl& parent, TControl& control) const;
  void NotifyComponentInserted(TComponent& owner, TComponent& component) const;
  void NotifyComponentReadBegin(TComponent& root, TComponent& component) const;
  void NotifyComponentReadEnd(TComponent& root, TComponent& component) const;
  void NotifyTextRead(const TextReadContext& context, std::string& value) const;
  void NotifyExceptionCaught(std::exception_ptr error) const;
  void NotifyExceptionHandled() const;
  void NotifyHintShowing(TControl& control) const;
  void NotifyCommonDialog(TCommonDialog& dialog, CommonDialogStage stage, platform::HWND& window) const;
};

}  // namespace toolkit
