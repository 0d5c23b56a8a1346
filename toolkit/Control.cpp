#include "toolkit/Control.h"

#include <algorithm>
#include <map>

#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/Hooks.h"

namespace toolkit {
namespace {

std::map<platform::HWND, TWinControl*>& WindowMap() {
  static std::map<platform::HWND, TWinControl*> map;
  return map;
}

PropertyInfo ColorProperty() {
  PropertyInfo info = MakeIntegerProperty("Color", &TControl::Color, &TControl::SetColor);
  info.idents = ColorIdents();
  return info;
}

// The position after every sibling of `control` in the parent's tab sequence.
int NextTabOrder(const TWinControl& parent, const TControl* control) {
  int order = 0;
  for (int i = 0; i < parent.ControlCount(); ++i) {
    const TControl* sibling = parent.Controls(i);
    if (sibling != control && sibling->TabOrder() >= order) order = sibling->TabOrder() + 1;
  }
  return order;
}

}  // namespace

std::size_t AcceleratorIndex(const std::string& caption) {
  std::size_t shown = 0;
  for (std::size_t i = 0; i < caption.size(); ++i, ++shown) {
    if (caption[i] != '&') continue;
    if (i + 1 >= caption.size()) return std::string::npos;
    if (caption[i + 1] != '&') return shown;
    ++i;
  }
  return std::string::npos;
}

std::string DisplayCaption(const std::string& caption) {
  std::string shown;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') shown += '&', ++i;
      continue;
    }
    shown += caption[i];
  }
  return shown;
}

const ClassInfo& TControl::StaticClass() {
  static const ClassInfo info(
      "TControl", &TComponent::StaticClass(),
      {
          MakeIntegerProperty("Left", &TControl::Left, &TControl::SetLeft),
          MakeIntegerProperty("Top", &TControl::Top, &TControl::SetTop),
          MakeIntegerProperty("Width", &TControl::Width, &TControl::SetWidth),
          MakeIntegerProperty("Height", &TControl::Height, &TControl::SetHeight),
          MakeTextProperty("Caption", &TControl::Caption, &TControl::SetCaption),
          MakeTextProperty("Hint", &TControl::Hint, &TControl::SetHint),
          MakeBooleanProperty("ShowHint", &TControl::ShowHint, &TControl::SetShowHint),
          MakeProperty<TControl>(
              "Font", PropertyType::Font, [](const TControl& c) { return &c.Font(); },
              [](TControl& c, const PropertyValue& v) { c.Font().Assign(FontOf(v)); }),
          ColorProperty(),
          MakeBooleanProperty("Visible", &TControl::Visible, &TControl::SetVisible),
          MakeBooleanProperty("Enabled", &TControl::Enabled, &TControl::SetEnabled),
          MakeBooleanProperty("TabStop", &TControl::TabStop, &TControl::SetTabStop),
          MakeIntegerProperty("TabOrder", &TControl::TabOrder, &TControl::SetTabOrder),
          MakeEventProperty("OnClick", &TControl::OnClick),
      });
  return info;
}

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
  Application().ControlDestroyed(this);
  if (parent_ != nullptr) parent_->RemoveControl(this);
}

void TControl::SetTabOrder(int order) {
  tabOrder_ = order < 0 && parent_ != nullptr ? NextTabOrder(*parent_, this) : order;
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent_ != nullptr) parent_->RemoveControl(this);
  if (parent != nullptr) {
    parent->InsertControl(this);
    Hooks::Get().NotifyControlInserted(*parent, *this);
  }
}

void TControl::SetBounds(int left, int top, int width, int height) {
  bounds_ = TRect{left, top, left + width, top + height};
}

platform::Point TControl::ClientOrigin() const {
  if (parent_ == nullptr) return {Left(), Top()};
  const platform::Point origin = parent_->ClientOrigin();
  return {origin.x + Left(), origin.y + Top()};
}

TRect TControl::ScreenRect() const {
  const platform::Point origin = parent_ != nullptr ? parent_->ClientOrigin() : platform::Point{0, 0};
  return TRect{origin.x + Left(), origin.y + Top(), origin.x + Left() + Width(), origin.y + Top() + Height()};
}

void TControl::SetCaption(std::string caption) { caption_ = std::move(caption); }

void TControl::SetVisible(bool visible) { visible_ = visible; }

bool TControl::Showing() const {
  for (const TControl* control = this; control != nullptr; control = control->parent_)
    if (!control->visible_) return false;
  return true;
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

TForm* TControl::ParentForm() const {
  const TControl* control = this;
  while (control->parent_ != nullptr) control = control->parent_;
  return dynamic_cast<TForm*>(const_cast<TControl*>(control));
}

const ClassInfo& TWinControl::StaticClass() {
  static const ClassInfo info("TWinControl", &TControl::StaticClass(), {});
  return info;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  for (TControl* control : controls_) control->parent_ = nullptr;
  controls_.clear();
  DestroyHandle();
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  control->parent_ = this;
  if (control->tabOrder_ < 0) control->tabOrder_ = NextTabOrder(*this, control);
  if (auto* windowed = dynamic_cast<TWinControl*>(control); windowed != nullptr && HandleAllocated())
    windowed->RecreateWnd();
}

void TWinControl::RemoveControl(TControl* control) {
  const auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it == controls_.end()) return;
  controls_.erase(it);
  control->parent_ = nullptr;
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) windowed->DestroyHandle();
}

std::vector<TControl*> TWinControl::AllControls() const {
  std::vector<TControl*> all;
  for (TControl* control : controls_) {
    all.push_back(control);
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
      const std::vector<TControl*> below = windowed->AllControls();
      all.insert(all.end(), below.begin(), below.end());
    }
  }
  return all;
}

std::vector<TWinControl*> TWinControl::TabSequence() const {
  std::vector<TWinControl*> children;
  for (TControl* control : controls_)
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) children.push_back(windowed);
  std::stable_sort(children.begin(), children.end(),
                   [](const TWinControl* a, const TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
  std::vector<TWinControl*> sequence;
  for (TWinControl* child : children) {
    if (child->TabStop()) sequence.push_back(child);
    const std::vector<TWinControl*> below = child->TabSequence();
    sequence.insert(sequence.end(), below.begin(), below.end());
  }
  return sequence;
}

platform::HWND TWinControl::Handle() {
  if (handle_ == 0) {
    platform::WindowCreateParams params;
    CreateParams(params);
    handle_ = platform::CreateWindow(params);
    if (handle_ != 0) WindowMap()[handle_] = this;
  }
  return handle_;
}

void TWinControl::DestroyHandle() {
  if (handle_ == 0) return;
  for (TControl* control : controls_)
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) windowed->DestroyHandle();
  WindowMap().erase(handle_);
  platform::DestroyWindow(handle_);
  handle_ = 0;
}

void TWinControl::RecreateWnd() {
  if (handle_ == 0) return;
  DestroyHandle();
  Handle();
  for (TControl* control : controls_)
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) windowed->Handle();
}

TWinControl* TWinControl::FindControl(platform::HWND window) {
  const auto it = WindowMap().find(window);
  return it == WindowMap().end() ? nullptr : it->second;
}

TWinControl* TWinControl::FindControlOrAncestor(platform::HWND window) {
  for (; window != 0; window = platform::GetParent(window))
    if (TWinControl* control = FindControl(window)) return control;
  return nullptr;
}

void TWinControl::CreateParams(platform::WindowCreateParams& params) {
  params.className = ClassName();
  params.caption = Caption();
  const TRect rect = ScreenRect();
  params.rect = platform::Rect{rect.Left, rect.Top, rect.Right, rect.Bottom};
  params.style = (Parent() != nullptr ? platform::WS_CHILD : platform::WS_POPUP) |
                 (Visible() ? platform::WS_VISIBLE : 0u) | (TabStop() ? platform::WS_TABSTOP : 0u);
  params.parent = Parent() != nullptr ? Parent()->Handle() : 0;
}

bool TWinControl::Focused() const { return handle_ != 0 && platform::GetFocus() == handle_; }

bool TWinControl::CanFocus() const {
  for (const TControl* control = this; control != nullptr; control = control->Parent())
    if (!control->Visible() || !control->Enabled()) return false;
  return true;
}

void TWinControl::SetFocus() { platform::SetFocus(Handle()); }

bool TWinControl::KeyDown(int) { return false; }

void TWinControl::SetBounds(int left, int top, int width, int height) {
  TControl::SetBounds(left, top, width, height);
  if (handle_ != 0) UpdateWindowRects();
}

void TWinControl::SetCaption(std::string caption) {
  TControl::SetCaption(std::move(caption));
  if (handle_ != 0) platform::SetWindowText(handle_, Caption());
}

void TWinControl::SetVisible(bool visible) {
  TControl::SetVisible(visible);
  if (handle_ != 0) platform::ShowWindow(handle_, visible ? platform::SW_SHOWNOACTIVATE : platform::SW_HIDE);
}

void TWinControl::UpdateWindowRects() {
  if (handle_ != 0) {
    const TRect rect = ScreenRect();
    platform::SetWindowRect(handle_, platform::Rect{rect.Left, rect.Top, rect.Right, rect.Bottom});
  }
  for (TControl* control : controls_)
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) windowed->UpdateWindowRects();
}

}  // namespace toolkit
