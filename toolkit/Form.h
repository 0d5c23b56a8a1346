// Forms: top-level windows with a frame, caption buttons, a position rule and
// a modal loop.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>

#include "platform/Geometry.h"
#include "toolkit/Control.h"

namespace toolkit {

class TButton;

// The system's help request for a window (the caption's help button and then
// a click on a control, or F1): what it is about and where.
struct THelpInfo {
  enum class ContextType { Window, MenuItem };
  ContextType contextType = ContextType::Window;
  platform::HWND window = 0;       // the window clicked (or focused, for F1)
  int32_t contextId = 0;           // the window's help context id
  platform::Point mousePos{0, 0};  // screen position that came with the request
};

enum class TBorderStyle { None, Single, Sizeable, Dialog, ToolWindow, SizeToolWin };
enum BorderIcon : uint8_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = uint8_t;
enum class TPosition {
  Designed,
  Default,
  DefaultPosOnly,
  DefaultSizeOnly,
  ScreenCenter,
  DesktopCenter,
  MainFormCenter,
  OwnerFormCenter
};
enum class TWindowState { Normal, Minimized, Maximized };
enum class TCloseAction { None, Hide, Free, Minimize };

using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrAll = 8;
inline constexpr TModalResult mrNoToAll = 9;
inline constexpr TModalResult mrYesToAll = 10;

// A control used in a way its state does not allow.
// Raised when the system cannot give a form what it needs (a window, a
// modal loop); the fault points "toolkit.*" raise it.
class EOutOfResources : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class EInvalidOperation : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* owner);
  ~TForm() override;
  TOOLKIT_DECLARE_CLASS()

  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle style);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons icons);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState state) { windowState_ = state; }

  // The frame around the client area (left, top with caption, right, bottom):
  // that of the window's styles once the window exists, before that that of
  // the styles CreateParams would give it (the border style's alone when
  // CreateParams fails).
  TRect FrameInsets() const;
  int ClientWidth() const;
  int ClientHeight() const;
  // Resize the window so that the client area gets this size. While a form
  // description is read the size is also applied again once reading ends,
  // so that it holds for the border style the description finally gives.
  void SetClientWidth(int width);
  void SetClientHeight(int height);
  void Loaded() override;
  platform::Point ClientOrigin() const override;

  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult result) { modalResult_ = result; }
  bool Modal() const { return modal_; }

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  std::function<void(TComponent* sender, bool& canClose)> OnCloseQuery;
  std::function<void(TComponent* sender, TCloseAction& action)> OnClose;

  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // A modal form ends its loop with mrCancel; another form asks CloseQuery
  // and OnClose and hides.
  void Close();
  // Shows the form and runs the modal loop over the thread's message queue
  // until a modal result is set. With no input left the form closes as with
  // its close button, so the loop always ends.
  virtual TModalResult ShowModal();
  // True when the form may close: OnCloseQuery's answer (true without one).
  virtual bool CloseQuery();

  void SetVisible(bool visible) override;
  // The show step: runs OnShow. Errors go to the application's handler.
  virtual void DoShow();
  // Places the form by its position setting (nothing for Designed).
  void ApplyPosition();
  // Centres the form on the monitor nearest to `window` (the primary one for
  // no window), using the monitor's full bounds: left = (monitor left +
  // monitor right - width) / 2, top likewise, dividing towards zero. False,
  // and nothing moves, when there is no monitor.
  bool CenterOnMonitorOf(platform::HWND window);
  // Runs the show step and shows the window in its window state, leaving its
  // position as it is: what a formShowing hook calls to show a form itself.
  void ShowWithoutPositioning();

  // Keys sent to the form: the child-key notification first, then dialog
  // keys (Tab, Enter, Escape), then the focused control, then accelerators.
  // True when something handled the key. F1 is followed by the system's help request for the
  // focused control's window, handled or not, as the system sends one.
  bool HandleKey(int virtualKey);
  // Child-key notification: a key pressed in `receiver` (the focused control,
  // or the form itself) reaches the form before anything else handles it.
  // True when the form handled it.
  virtual bool ChildKey(TControl& receiver, int virtualKey);
  // The system's help request. True when the form handled it; the toolkit's
  // usual path does nothing with it.
  virtual bool HelpRequest(const THelpInfo& info);
  // Tab moves the focus, Enter clicks the default button, Escape the cancel
  // button. True when handled.
  virtual bool DialogKey(int virtualKey);
  // An accelerator: a letter or digit pressed with Alt, or alone while the
  // focused control takes no text, and never with Ctrl. The first control
  // after the focused one (in creation order, wrapping, so that a letter
  // several captions carry goes round them) whose caption marks that
  // character with "&" acts: a button or check box takes the focus and is
  // clicked, a label hands the focus to the next tab stop after it. False
  // when no showing, enabled control carries the character.
  virtual bool DialogChar(int virtualKey);
  // Moves the focus to the next (or previous) tab stop after the focused
  // control, wrapping around.
  void SelectNext(bool forward);
  // The same from `current` (nil or not a tab stop of this form: from the
  // start, or the end going backwards). The chosen control, or nil when the
  // form has no tab stop that can take the focus.
  TWinControl* SelectNextFrom(TWinControl* current, bool forward);
  // The focused control of this form, or nil.
  TWinControl* ActiveControl() const;
  TButton* DefaultButton() const;
  TButton* CancelButton() const;

  // The window's owner when the form is created: the application window.
  void CreateParams(platform::WindowCreateParams& params) override;
  // The styles and extended styles the border style and caption buttons
  // give a form's window.
  void BorderStyles(uint32_t& style, uint32_t& exStyle) const;

 protected:
  // The form became visible or hidden. The hooks come first; then the
  // toolkit positions (when showing), runs the show step and shows.
  virtual void ShowingChanged(bool visible);

 private:
  bool CloseModalQuery();

  TBorderStyle borderStyle_ = TBorderStyle::Sizeable;
  TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TPosition position_ = TPosition::Designed;
  TWindowState windowState_ = TWindowState::Normal;
  TModalResult modalResult_ = mrNone;
  bool modal_ = false;
  int loadedClientWidth_ = -1;
  int loadedClientHeight_ = -1;
};

}  // namespace toolkit
