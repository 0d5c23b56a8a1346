#include "toolkit/Form.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/FaultPoints.h"
#include "platform/Keys.h"
#include "platform/Pointer.h"
#include "toolkit/Application.h"
#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Hooks.h"
#include "toolkit/Label.h"

namespace toolkit {

const ClassInfo& TForm::StaticClass() {
  static const ClassInfo info(
      "TForm", &TWinControl::StaticClass(),
      {
          MakeEnumProperty<TForm>(
              "BorderStyle",
              {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"},
              &TForm::BorderStyle, &TForm::SetBorderStyle),
          MakeSetProperty<TForm>("BorderIcons", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"},
                                 &TForm::BorderIcons, &TForm::SetBorderIcons),
          MakeEnumProperty<TForm>(
              "Position",
              {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
               "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"},
              &TForm::Position, &TForm::SetPosition),
          MakeEnumProperty<TForm>("WindowState", {"wsNormal", "wsMinimized", "wsMaximized"},
                                  &TForm::WindowState, &TForm::SetWindowState),
          MakeIntegerProperty("ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth),
          MakeIntegerProperty("ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight),
          MakeEventProperty("OnShow", &TForm::OnShow),
          MakeEventProperty("OnHide", &TForm::OnHide),
      },
      [](TComponent* owner) { return std::make_unique<TForm>(owner); });
  return info;
}

TForm::TForm(TComponent* owner) : TWinControl(owner) {
  TControl::SetVisible(false);
  SetBounds(0, 0, 320, 240);
}

TForm::~TForm() { Application().LeaveModal(this); }

void TForm::SetBorderStyle(TBorderStyle style) {
  if (style == borderStyle_) return;
  borderStyle_ = style;
  RecreateWnd();
}

void TForm::SetBorderIcons(TBorderIcons icons) {
  if (icons == borderIcons_) return;
  borderIcons_ = icons;
  RecreateWnd();
}

TRect TForm::FrameInsets() const {
  uint32_t style = 0, exStyle = 0;
  if (HandleAllocated()) {
    const platform::HWND window = const_cast<TForm*>(this)->Handle();
    style = platform::GetWindowStyle(window);
    exStyle = platform::GetWindowExStyle(window);
  } else {
    // The styles the window will be created with, a subclass's included.
    try {
      platform::WindowCreateParams params;
      const_cast<TForm*>(this)->CreateParams(params);
      style = params.style;
      exStyle = params.exStyle;
    } catch (...) {
      BorderStyles(style, exStyle);
    }
  }
  const platform::Rect frame = platform::WindowFrame(style, exStyle);
  return {frame.left, frame.top, frame.right, frame.bottom};
}

int TForm::ClientWidth() const {
  const TRect frame = FrameInsets();
  return std::max(0, Width() - frame.Left - frame.Right);
}

int TForm::ClientHeight() const {
  const TRect frame = FrameInsets();
  return std::max(0, Height() - frame.Top - frame.Bottom);
}

namespace {

// A client extent within what a form can have: none below 0 (the client
// size never reads negative), and the frame added without overflow.
int OuterExtent(int client, int frameBefore, int frameAfter) {
  const int64_t outer = int64_t{std::max(0, client)} + frameBefore + frameAfter;
  return static_cast<int>(std::min<int64_t>(outer, std::numeric_limits<int>::max()));
}

}  // namespace

// A client size the outer size already gives leaves the outer size alone: an
// outer size within the frame reads as client size 0, and a description
// holding both must read back as it was written.
void TForm::SetClientWidth(int width) {
  width = std::max(0, width);
  if (Loading()) loadedClientWidth_ = width;
  if (width == ClientWidth()) return;
  const TRect frame = FrameInsets();
  SetWidth(OuterExtent(width, frame.Left, frame.Right));
}

void TForm::SetClientHeight(int height) {
  height = std::max(0, height);
  if (Loading()) loadedClientHeight_ = height;
  if (height == ClientHeight()) return;
  const TRect frame = FrameInsets();
  SetHeight(OuterExtent(height, frame.Top, frame.Bottom));
}

void TForm::Loaded() {
  TWinControl::Loaded();
  if (loadedClientWidth_ >= 0) SetClientWidth(loadedClientWidth_);
  if (loadedClientHeight_ >= 0) SetClientHeight(loadedClientHeight_);
  loadedClientWidth_ = loadedClientHeight_ = -1;
}

platform::Point TForm::ClientOrigin() const {
  const TRect frame = FrameInsets();
  return {Left() + frame.Left, Top() + frame.Top};
}

void TForm::BorderStyles(uint32_t& style, uint32_t& exStyle) const {
  style = platform::WS_POPUP;
  exStyle = 0;
  if (borderStyle_ == TBorderStyle::None) return;
  style |= platform::WS_CAPTION;
  if ((borderIcons_ & biSystemMenu) != 0) {
    style |= platform::WS_SYSMENU;
    // Dialogs and tool windows have no minimise or maximise boxes.
    if (borderStyle_ == TBorderStyle::Single || borderStyle_ == TBorderStyle::Sizeable) {
      if ((borderIcons_ & biMinimize) != 0) style |= platform::WS_MINIMIZEBOX;
      if ((borderIcons_ & biMaximize) != 0) style |= platform::WS_MAXIMIZEBOX;
    }
  }
  if (borderStyle_ == TBorderStyle::Sizeable || borderStyle_ == TBorderStyle::SizeToolWin)
    style |= platform::WS_THICKFRAME;
  if (borderStyle_ == TBorderStyle::Dialog) exStyle |= platform::WS_EX_DLGMODALFRAME;
  if (borderStyle_ == TBorderStyle::ToolWindow || borderStyle_ == TBorderStyle::SizeToolWin)
    exStyle |= platform::WS_EX_TOOLWINDOW;
  // The help button shows only without minimise and maximise boxes.
  if ((borderIcons_ & biHelp) != 0 && (style & (platform::WS_MINIMIZEBOX | platform::WS_MAXIMIZEBOX)) == 0)
    exStyle |= platform::WS_EX_CONTEXTHELP;
}

void TForm::CreateParams(platform::WindowCreateParams& params) {
  TWinControl::CreateParams(params);
  BorderStyles(params.style, params.exStyle);
  params.parent = 0;
  params.owner = Application().Handle();
}

void TForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = TCloseAction::Hide;
  if (OnClose) OnClose(this, action);
  if (action == TCloseAction::Hide || action == TCloseAction::Free) Hide();
}

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

bool TForm::CloseModalQuery() {
  if (!CloseQuery()) return false;
  TCloseAction action = TCloseAction::Hide;
  if (OnClose) OnClose(this, action);
  return action != TCloseAction::None;
}

TModalResult TForm::ShowModal() {
  if (const auto failure = platform::faults::Check("toolkit.ShowModal")) throw EOutOfResources(*failure);
  if (modal_ || Visible()) throw EInvalidOperation("Cannot make a visible window modal");
  const platform::HWND previousActive = platform::GetActiveWindow();
  modalResult_ = mrNone;
  modal_ = true;
  Application().EnterModal(this);
  const auto finish = [&] {
    modal_ = false;
    Application().LeaveModal(this);
    if (Visible()) Hide();
    if (previousActive != 0 && platform::IsWindow(previousActive)) platform::SetActiveWindow(previousActive);
  };
  try {
    Show();
    if (HandleAllocated()) platform::SetActiveWindow(Handle());
    while (true) {
      if (modalResult_ != mrNone) {
        if (CloseModalQuery()) break;
        modalResult_ = mrNone;
      }
      if (!Application().ProcessMessage()) {
        // Out of input: close as the close button would, and end even when
        // the form refuses, so that no run can hang.
        modalResult_ = mrCancel;
        CloseModalQuery();
        break;
      }
    }
  } catch (...) {
    const TModalResult result = modalResult_;
    try {
      finish();
    } catch (...) {
    }
    modalResult_ = result;
    throw;
  }
  finish();
  return modalResult_;
}

void TForm::SetVisible(bool visible) {
  if (visible == Visible()) return;
  TControl::SetVisible(visible);
  ShowingChanged(visible);
}

void TForm::ShowingChanged(bool visible) {
  if (Hooks::Get().NotifyFormShowing(*this, visible)) return;
  if (visible) {
    ApplyPosition();
    ShowWithoutPositioning();
  } else {
    if (OnHide) Application().Guard(this, [&] { OnHide(this); });
    if (HandleAllocated()) platform::ShowWindow(Handle(), platform::SW_HIDE);
  }
}

void TForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TForm::ShowWithoutPositioning() {
  Application().Guard(this, [&] { DoShow(); });
  const platform::HWND window = Handle();
  UpdateWindowRects();
  switch (windowState_) {
    case TWindowState::Normal:
      platform::ShowWindow(window, platform::SW_SHOWNORMAL);
      break;
    case TWindowState::Minimized:
      platform::ShowWindow(window, platform::SW_SHOWMINIMIZED);
      break;
    case TWindowState::Maximized:
      platform::ShowWindow(window, platform::SW_SHOWMAXIMIZED);
      break;
  }
  if (ActiveControl() == nullptr) {
    std::vector<TWinControl*> sequence = TabSequence();
    if (TButton* button = DefaultButton()) sequence.insert(sequence.begin(), button);
    for (TWinControl* control : sequence)
      if (control->CanFocus()) {
        control->SetFocus();
        break;
      }
  }
}

void TForm::ApplyPosition() {
  platform::Rect area;
  switch (position_) {
    case TPosition::ScreenCenter:
    case TPosition::DesktopCenter: {
      platform::Rect work;
      if (!platform::GetMonitorInfo(platform::MonitorFromPoint({0, 0}, platform::MONITOR_DEFAULTTOPRIMARY),
                                    &area, &work))
        return;
      break;
    }
    case TPosition::MainFormCenter:
    case TPosition::OwnerFormCenter: {
      const platform::HWND owner = Application().Handle();
      if (owner == 0 || !platform::GetWindowRect(owner, &area)) {
        platform::Rect work;
        if (!platform::GetMonitorInfo(platform::MonitorFromPoint({0, 0}, platform::MONITOR_DEFAULTTOPRIMARY),
                                      &area, &work))
          return;
      }
      break;
    }
    default:
      return;
  }
  SetBounds(area.left + (area.width() - Width()) / 2, area.top + (area.height() - Height()) / 2, Width(),
            Height());
}

bool TForm::CenterOnMonitorOf(platform::HWND window) {
  const platform::HMONITOR monitor = platform::MonitorFromWindow(window, platform::MONITOR_DEFAULTTONEAREST);
  platform::Rect bounds;
  if (monitor == 0 || !platform::GetMonitorInfo(monitor, &bounds, nullptr)) return false;
  // int64 so that far-off monitors cannot overflow the sum.
  const auto centre = [](int64_t low, int64_t high, int64_t size) {
    return static_cast<int>((low + high - size) / 2);
  };
  SetBounds(centre(bounds.left, bounds.right, Width()), centre(bounds.top, bounds.bottom, Height()), Width(),
            Height());
  return true;
}

bool TForm::HandleKey(int virtualKey) {
  TWinControl* focused = ActiveControl();
  bool handled = ChildKey(focused != nullptr ? *focused : *this, virtualKey) || DialogKey(virtualKey) ||
                 (focused != nullptr && focused->KeyDown(virtualKey)) || DialogChar(virtualKey);
  if (virtualKey == platform::VK_F1) {
    THelpInfo info;
    info.window = focused != nullptr ? focused->Handle() : Handle();
    info.mousePos = platform::GetCursorPos();
    handled = HelpRequest(info) || handled;
  }
  return handled;
}

bool TForm::ChildKey(TControl&, int) { return false; }

bool TForm::HelpRequest(const THelpInfo&) { return false; }

bool TForm::DialogKey(int virtualKey) {
  switch (virtualKey) {
    case platform::VK_TAB:
      SelectNext((platform::GetKeyState(platform::VK_SHIFT) & 0x8000) == 0);
      return true;
    case platform::VK_RETURN: {
      TButton* target = dynamic_cast<TButton*>(ActiveControl());
      if (target == nullptr) target = DefaultButton();
      if (target == nullptr || !target->CanFocus()) return false;
      target->Click();
      return true;
    }
    case platform::VK_ESCAPE: {
      TButton* target = CancelButton();
      if (target == nullptr || !target->CanFocus()) return false;
      target->Click();
      return true;
    }
    default:
      return false;
  }
}

namespace {

bool Held(int virtualKey) { return (platform::GetKeyState(virtualKey) & 0x8000) != 0; }

char Folded(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Whether the caption marks `key` (an upper-case letter or a digit) as its
// accelerator.
bool CarriesAccelerator(const TControl& control, char key) {
  const std::size_t index = AcceleratorIndex(control.Caption());
  return index != std::string::npos && Folded(DisplayCaption(control.Caption())[index]) == key;
}

bool EnabledUpToTheForm(const TControl& control) {
  for (const TControl* at = &control; at != nullptr; at = at->Parent())
    if (!at->Enabled()) return false;
  return true;
}

}  // namespace

bool TForm::DialogChar(int virtualKey) {
  const bool letter = virtualKey >= 'A' && virtualKey <= 'Z';
  const bool digit = virtualKey >= '0' && virtualKey <= '9';
  if ((!letter && !digit) || Held(platform::VK_CONTROL)) return false;
  TWinControl* focused = ActiveControl();
  if (!Held(platform::VK_MENU) && focused != nullptr && focused->TakesText()) return false;
  const std::vector<TControl*> controls = AllControls();
  const auto after = std::find(controls.begin(), controls.end(), focused);
  const std::size_t start =
      after == controls.end() ? 0 : static_cast<std::size_t>(after - controls.begin()) + 1;
  const char key = static_cast<char>(virtualKey);
  for (std::size_t step = 0; step < controls.size(); ++step) {
    const std::size_t index = (start + step) % controls.size();
    TControl& control = *controls[index];
    if (!control.Showing() || !EnabledUpToTheForm(control) || !CarriesAccelerator(control, key)) continue;
    if (dynamic_cast<TLabel*>(&control) != nullptr) {
      // The tab stop that follows the label in creation order, wrapping.
      for (std::size_t next = 1; next < controls.size(); ++next) {
        auto* target = dynamic_cast<TWinControl*>(controls[(index + next) % controls.size()]);
        if (target != nullptr && target->TabStop() && target->CanFocus()) {
          target->SetFocus();
          break;
        }
      }
      return true;
    }
    if (dynamic_cast<TButton*>(&control) != nullptr || dynamic_cast<TCheckBox*>(&control) != nullptr) {
      static_cast<TWinControl&>(control).SetFocus();
      control.Click();
      return true;
    }
  }
  return false;
}

void TForm::SelectNext(bool forward) { SelectNextFrom(ActiveControl(), forward); }

TWinControl* TForm::SelectNextFrom(TWinControl* current, bool forward) {
  std::vector<TWinControl*> sequence = TabSequence();
  std::erase_if(sequence, [](TWinControl* control) { return !control->CanFocus(); });
  if (sequence.empty()) return nullptr;
  const auto it = std::find(sequence.begin(), sequence.end(), current);
  std::size_t next = 0;
  if (it == sequence.end()) {
    next = forward ? 0 : sequence.size() - 1;
  } else {
    const std::size_t index = static_cast<std::size_t>(it - sequence.begin());
    next = forward ? (index + 1) % sequence.size() : (index + sequence.size() - 1) % sequence.size();
  }
  sequence[next]->SetFocus();
  return sequence[next];
}

TWinControl* TForm::ActiveControl() const {
  TWinControl* focused = TWinControl::FindControlOrAncestor(platform::GetFocus());
  if (focused == nullptr || focused == this || focused->ParentForm() != this) return nullptr;
  return focused;
}

TButton* TForm::DefaultButton() const {
  for (TControl* control : AllControls())
    if (auto* button = dynamic_cast<TButton*>(control); button != nullptr && button->Default()) return button;
  return nullptr;
}

TButton* TForm::CancelButton() const {
  for (TControl* control : AllControls())
    if (auto* button = dynamic_cast<TButton*>(control); button != nullptr && button->Cancel()) return button;
  return nullptr;
}

}  // namespace toolkit
