// The base of every dialog of the plug-in: a form in the host's interface
// font (TFormWithHelp) and a modal dialog that the host's main window owns,
// centred on the monitor the user works on, walking the focus with Tab itself
// and keeping its placement when it is resizable (TServerDialog). Also the
// hint window without drop shadow.
//
// Context help, the translation of stored form texts and the process-wide
// hooks build on these classes: they override the virtual operations named
// here and the toolkit's show step (DoShow).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "plugin/RTL/HelpTopics.h"
#include "toolkit/Form.h"
#include "toolkit/FormDescription.h"
#include "toolkit/HintWindow.h"

namespace strativue {

class TFormWithHelp : public toolkit::TForm {
 public:
  // Creates FHostFont only: the steps that ask virtual operations run in
  // Construct, once the object is complete.
  explicit TFormWithHelp(toolkit::TComponent* owner);
  ~TFormWithHelp() override;
  TOOLKIT_DECLARE_CLASS()

  // The help topic of a control: for a form, "Dlg_" + its key name in the
  // dialog topics (help file: the dialog help file); for any other control,
  // in the control topics (help file: the control popup help file). The
  // help file is set in every case; the answer is the context number, 0
  // when there is no topic (always for no control).
  virtual int32_t FindHelpTopic(toolkit::TControl* control, std::string& topic, std::string& helpFile);
  // The name under which a component's help is looked up; the base answers
  // its component name.
  virtual void GetHelpKeyName(const toolkit::TComponent& component, std::string& name) const;
  // F1 help: the topic of the form holding the control (or of a form embedded
  // in the dialog, or of the dialog itself) opens in the host's help; without
  // one, the master popup at the pointer.
  virtual void ShowHelpFor(toolkit::TControl* control);
  // True when a host client exists and reports a valid interface font.
  virtual bool UsesHostFont() const;
  // The host's setting to use the system locale's language (false when the
  // host lacks it).
  virtual bool UsesSystemLocale() const;
  // Fills `font` from the host's interface font (name, size, style, colour,
  // character set); leaves it as it is when the host has none. Nil: nothing.
  virtual void LoadHostFont(toolkit::TFont* font) const;

  // Gives every published font of `component` that is set a copy of the host
  // font (when the form uses it), then does the same for its child controls
  // and the components it owns, in index order.
  void ApplyFontTree(toolkit::TComponent& component);

  // In test mode writes "Running modal dialog <class> <caption>" and ends the
  // process with exit code 1; otherwise the toolkit's modal loop.
  toolkit::TModalResult ShowModal() override;

  // F1 reaches the form first: with Shift, Ctrl or Alt held it is offered to
  // the host's shortcut handling; a key the host did not handle (or one
  // without modifiers) goes to ShowHelpFor. Handled either way.
  bool ChildKey(toolkit::TControl& receiver, int virtualKey) override;
  // The caption's help button and a click on a control: the control's popup
  // help, looked up by the name of the form holding it (then by that form's
  // class name without its first letter), then by its parent's name. The
  // request that follows an F1 the form handled is ignored once.
  bool HelpRequest(const toolkit::THelpInfo& info) override;

  toolkit::TFont FHostFont;
  bool FUsesHostFont = false;
  bool FUsesSystemLocale = false;
  // Help tables for whole dialogs and for single controls (each with its
  // redirects), loaded on the first lookup that needs them.
  THelpTopicTables FDialogTopics;
  THelpTopicTables FControlTopics;
  // F1 was handled through the key path: the system's help request that
  // follows is ignored once.
  bool FF1Handled = false;

 protected:
  // The construction steps after the object is complete: the form creation
  // (host font and locale answers), then reading the stored description
  // (which ends in Loaded).
  virtual void Construct();
  // The form's stored description (empty for a form built in code) and the
  // event handlers it binds by name.
  virtual std::string_view FormDescription() const { return {}; }
  virtual toolkit::THandlerTable EventHandlers() { return {}; }
  // The form itself takes the host font and shows hints.
  void Loaded() override;

 private:
  // The first form embedded among `parent`'s children (in index order) with
  // a topic, searching inside an embedded form without one; nil if none.
  toolkit::TForm* EmbeddedFormWithTopic(toolkit::TWinControl* parent);
  int32_t HasTopic(toolkit::TControl* control);
};

class TServerDialog : public TFormWithHelp {
 public:
  explicit TServerDialog(toolkit::TComponent* owner);
  ~TServerDialog() override;
  TOOLKIT_DECLARE_CLASS()

  // Builds a complete dialog of class T without an owner component: the form
  // creation, the description with the loaded step, centring on the monitor
  // of the active window and, for a resizable dialog, its kept placement.
  template <class T>
  static std::unique_ptr<T> CreateDialog() {
    std::unique_ptr<T> dialog = std::make_unique<T>(nullptr);
    dialog->Construct();
    return dialog;
  }

  // Caption buttons: system menu and help.
  virtual toolkit::TBorderIcons DialogBorderIcons() const;
  // Size and position are kept for resizable dialogs.
  virtual bool KeepsPlacement() const { return true; }
  // The host's main window owns the dialog's window.
  virtual bool OwnedByHostWindow() const { return true; }
  // The window carries the context-help style.
  virtual bool HasContextHelpButton() const { return true; }

  // Designed with a resizable border: shown with a dialog frame plus a
  // sizing border.
  bool FResizableFrame = false;
  // Set while the dialog shows itself (the showing-changed path).
  bool ShowingItself() const { return showing_; }

  void CreateParams(platform::WindowCreateParams& params) override;
  // Tab without Ctrl and Alt moves the focus among all tab stops of the
  // dialog, nested ones included (back with Shift); other keys go the
  // toolkit's way.
  bool DialogKey(int virtualKey) override;
  // The toolkit's close query; a permitted close of a resizable dialog
  // stores its placement.
  bool CloseQuery() override;

  // Places the dialog in the middle of the monitor nearest to the active
  // window (full bounds, not the work area); nothing without a monitor.
  void CenterOnActiveMonitor();
  // Width, height, left and top under the preference registry path +
  // "\Forms\<class name>".
  void RestorePlacement();
  void StorePlacement() const;
  // Resizable (FResizableFrame) or a sizeable tool window.
  bool Resizable() const;

 protected:
  void Construct() override;
  void Loaded() override;
  // The show event, then the dialog's topic (if any) to the dynamic help.
  void DoShow() override;
  // Showing with any position setting but the designed one keeps the
  // position set at construction: the show step runs (its errors go to the
  // application's error handling) and the window shows in its state.
  void ShowingChanged(bool visible) override;

 private:
  // The owner window: the host's main window, 0 without a host client.
  static platform::HWND HostMainWindow();
  void ControlInserted(toolkit::TWinControl& parent, toolkit::TControl& control);
  void ComponentInserted(toolkit::TComponent& owner, toolkit::TComponent& component);
  void ApplyLocaleFontsToLaterControl(toolkit::TComponent& control);

  bool showing_ = false;
  int controlHook_ = 0;
  int componentHook_ = 0;
};

// A hint window whose window class lacks the drop shadow.
class TNoShadowHintWindow : public toolkit::THintWindow {
 public:
  explicit TNoShadowHintWindow(toolkit::TComponent* owner) : toolkit::THintWindow(owner) {}
  TOOLKIT_DECLARE_CLASS()

 protected:
  void CreateParams(platform::WindowCreateParams& params) override;
};

}  // namespace strativue
