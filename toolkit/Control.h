// Controls (visible components inside a parent) and windowed controls (those
// with a window of their own in the platform's window table).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Windows.h"
#include "toolkit/Component.h"
#include "toolkit/Graphics.h"

namespace toolkit {

class TWinControl;
class TForm;

// A caption as shown: "&&" becomes "&", a single "&" (the accelerator mark)
// is dropped.
std::string DisplayCaption(const std::string& caption);
// The index in DisplayCaption of the accelerator letter, npos for none.
std::size_t AcceleratorIndex(const std::string& caption);

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;
  TOOLKIT_DECLARE_CLASS()

  TWinControl* Parent() const { return parent_; }
  // Leaves the old parent's children and joins the new one's (nil: none).
  virtual void SetParent(TWinControl* parent);

  int Left() const { return bounds_.Left; }
  int Top() const { return bounds_.Top; }
  int Width() const { return bounds_.Width(); }
  int Height() const { return bounds_.Height(); }
  // Relative to the parent's client area.
  TRect BoundsRect() const { return bounds_; }
  virtual void SetBounds(int left, int top, int width, int height);
  void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
  void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
  void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
  void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
  // Screen position of the control's client area origin.
  virtual platform::Point ClientOrigin() const;
  TRect ScreenRect() const;

  const std::string& Caption() const { return caption_; }
  virtual void SetCaption(std::string caption);
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint) { hint_ = std::move(hint); }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool show) { showHint_ = show; }
  TFont& Font() { return font_; }
  const TFont& Font() const { return font_; }
  TColor Color() const { return color_; }
  void SetColor(TColor color) { color_ = color; }

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  // Visible, and so are all its parents.
  bool Showing() const;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }

  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool tabStop) { tabStop_ = tabStop; }
  // Position in the parent's tab sequence; lower comes first. A control in a
  // parent always has one: a negative order takes the next free position.
  int TabOrder() const { return tabOrder_; }
  void SetTabOrder(int order);

  TNotifyEvent OnClick;
  // What a user's click does; the default runs OnClick.
  virtual void Click();

  // The form the control sits on (itself for a form), or nil.
  TForm* ParentForm() const;

 private:
  friend class TWinControl;
  TWinControl* parent_ = nullptr;
  TRect bounds_;
  std::string caption_;
  std::string hint_;
  bool showHint_ = false;
  TFont font_ = TFont::DefaultFont();
  TColor color_ = clBtnFace;
  bool visible_ = true;
  bool enabled_ = true;
  bool tabStop_ = false;
  int tabOrder_ = -1;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  TOOLKIT_DECLARE_CLASS()

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(static_cast<std::size_t>(index)); }
  // Every control below this one, depth first in child order.
  std::vector<TControl*> AllControls() const;
  // The tab-stop controls below this one in tab sequence, containers
  // expanded in place.
  std::vector<TWinControl*> TabSequence() const;

  // The window, created on first use.
  platform::HWND Handle();
  bool HandleAllocated() const { return handle_ != 0; }
  void DestroyHandle();
  // Destroys the window (if any) and creates it again from CreateParams.
  void RecreateWnd();
  // The toolkit control that owns a window, or nil.
  static TWinControl* FindControl(platform::HWND window);
  // The control of the window, or for a window of no toolkit control (a
  // control's inner child window) that of its nearest ancestor; nil if none.
  static TWinControl* FindControlOrAncestor(platform::HWND window);

  bool Focused() const;
  bool CanFocus() const;
  void SetFocus();

  // A key pressed while this control has the focus; true when handled.
  virtual bool KeyDown(int virtualKey);
  // Whether the control takes typed characters while it has the focus (an
  // edit field does); a letter alone then goes to it rather than to an
  // accelerator.
  virtual bool TakesText() const { return false; }

  void SetBounds(int left, int top, int width, int height) override;
  void SetCaption(std::string caption) override;
  void SetVisible(bool visible) override;

 protected:
  // The window's class, styles, rectangle, parent and owner.
  virtual void CreateParams(platform::WindowCreateParams& params);
  // Moves the window (and those of all children) to the current bounds.
  void UpdateWindowRects();

 private:
  friend class TControl;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);

  std::vector<TControl*> controls_;
  platform::HWND handle_ = 0;
};

}  // namespace toolkit
