#include "plugin/RTL/ServerDialog.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "platform/Keys.h"
#include "platform/Locale.h"
#include "platform/Machine.h"
#include "platform/Pointer.h"
#include "platform/Registry.h"
#include "platform/WideString.h"
#include "plugin/RTL/ClientApi.h"
#include "plugin/RTL/ContextHelp.h"
#include "plugin/RTL/Exceptions.h"
#include "plugin/RTL/HostClient.h"
#include "plugin/RTL/Messages.h"
#include "plugin/RTL/PreferencePaths.h"
#include "plugin/RTL/Translation.h"
#include "toolkit/Application.h"

namespace strativue {
namespace {

using toolkit::TComponent;
using toolkit::TControl;
using toolkit::TWinControl;

struct HostFont {
  bool valid = false;
  std::string name;
  int32_t size = 0;
  uint8_t style = 0;
  int32_t colour = 0;
  uint8_t charset = 0;
};

// The host's interface font (index 0); invalid without a host client.
HostFont QueryHostFont() {
  HostFont font;
  const qvabi::ComPtr<qvabi::IClient> client = GetHostClient();
  if (!client) return font;
  qvabi::ByteBool valid = 0;
  platform::BStr name;
  CheckHost(client->GetGUIFont(0, &valid, name.put(), &font.size, &font.style, &font.colour, &font.charset));
  font.valid = valid != 0;
  font.name = name.utf8();
  return font;
}

// Operating systems from XP on draw windows with visual styles of their own.
bool VisualStylesActive() {
  const platform::OsVersion version = platform::GetOsVersion();
  return version.major > 5 || (version.major == 5 && version.minor >= 1);
}

std::string PlacementKey(const std::string& className) {
  return GetPreferenceRegistryPath() + "\\Forms\\" + className;
}

// Placement values are written as DWORDs holding the 32-bit value, so a left
// or top on a monitor left of or above the primary one reads back negative.
int ReadPlacementValue(const std::string& key, const char* name, int current) {
  const std::optional<uint32_t> value = platform::ReadDword(platform::HKEY_CURRENT_USER, key, name);
  return value ? static_cast<int32_t>(*value) : current;
}

// The first form met walking up from `control` through its parents (the
// control itself included): an embedded form before the dialog holding it.
toolkit::TForm* FirstFormFrom(TControl* control) {
  for (; control != nullptr; control = control->Parent())
    if (auto* form = dynamic_cast<toolkit::TForm*>(control)) return form;
  return nullptr;
}

}  // namespace

// --- TFormWithHelp -----------------------------------------------------------

const toolkit::ClassInfo& TFormWithHelp::StaticClass() {
  static const toolkit::ClassInfo info("TFormWithHelp", &toolkit::TForm::StaticClass(), {});
  return info;
}

TFormWithHelp::TFormWithHelp(TComponent* owner) : toolkit::TForm(owner) {}

TFormWithHelp::~TFormWithHelp() = default;

void TFormWithHelp::Construct() {
  FUsesHostFont = UsesHostFont();
  FUsesSystemLocale = UsesSystemLocale();
  if (FUsesHostFont) LoadHostFont(&FHostFont);
  const std::string_view description = FormDescription();
  if (!description.empty()) toolkit::ReadComponent(*this, description, EventHandlers());
}

void TFormWithHelp::GetHelpKeyName(const TComponent& component, std::string& name) const {
  name = component.Name();
}

int32_t TFormWithHelp::FindHelpTopic(TControl* control, std::string& topic, std::string& helpFile) {
  const bool isForm = dynamic_cast<toolkit::TForm*>(control) != nullptr;
  helpFile = DialogHelpFile();
  if (!isForm) helpFile = ControlPopupHelpFile(helpFile);
  if (control == nullptr) return 0;
  std::string name;
  GetHelpKeyName(*control, name);
  return LookupHostHelpTopic(isForm ? FDialogTopics : FControlTopics, helpFile, "Dlg_" + name, {}, topic);
}

int32_t TFormWithHelp::HasTopic(TControl* control) {
  std::string topic;
  std::string helpFile;
  return FindHelpTopic(control, topic, helpFile);
}

toolkit::TForm* TFormWithHelp::EmbeddedFormWithTopic(TWinControl* parent) {
  if (parent == nullptr) return nullptr;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* embedded = dynamic_cast<toolkit::TForm*>(parent->Controls(i));
    if (embedded == nullptr) continue;
    return HasTopic(embedded) != 0 ? embedded : EmbeddedFormWithTopic(embedded);
  }
  return nullptr;
}

void TFormWithHelp::ShowHelpFor(TControl* control) {
  toolkit::TForm* container = FirstFormFrom(control);
  if (container == nullptr || container == this) container = EmbeddedFormWithTopic(this);
  if (container != nullptr && HasTopic(container) == 0) container = EmbeddedFormWithTopic(container);
  if (container == nullptr) container = this;
  std::string topic;
  std::string helpFile;
  int32_t context = FindHelpTopic(container, topic, helpFile);
  if (context == 0 && container != this) context = FindHelpTopic(this, topic, helpFile);
  if (context != 0) {
    OpenHelpTopic(helpFile, topic, false);
    return;
  }
  ShowHelpPopup(kMasterPopupHelpFile, kMasterPopupContext, platform::GetCursorPos(), Handle());
}

bool TFormWithHelp::ChildKey(TControl& receiver, int virtualKey) {
  if (virtualKey != platform::VK_F1) return toolkit::TForm::ChildKey(receiver, virtualKey);
  FF1Handled = true;
  const bool shift = IsShiftDown();
  const bool ctrl = IsCtrlDown();
  const bool alt = IsAltDown();
  if ((shift || ctrl || alt) && PassShortcutToHost(virtualKey, alt, shift, ctrl)) return true;
  ShowHelpFor(&receiver);
  return true;
}

bool TFormWithHelp::HelpRequest(const toolkit::THelpInfo& info) {
  if (info.contextType != toolkit::THelpInfo::ContextType::Window) return toolkit::TForm::HelpRequest(info);
  if (FF1Handled) {
    FF1Handled = false;
    return true;
  }
  ClearStatusText();
  TControl* control = TWinControl::FindControl(info.window);
  if (control == nullptr) return true;
  std::string helpFile = ControlPopupHelpFile(DialogHelpFile());
  toolkit::TForm* container = FirstFormFrom(control->Parent());
  if (container == nullptr) container = this;
  const std::string& className = container->ClassName();
  const std::string classKey = className.empty() ? className : className.substr(1);
  std::string topic;
  const auto lookup = [&](const std::string& name) {
    int32_t context = LookupHostHelpTopic(FControlTopics, helpFile, name, container->Name(), topic);
    if (context <= 0 && platform::CompareTextIgnoreCase(container->Name(), classKey) != 0)
      context = LookupHostHelpTopic(FControlTopics, helpFile, name, classKey, topic);
    return context;
  };
  int32_t context = lookup(control->Name());
  if (context == 0 && control->Parent() != nullptr && control->Parent() != container)
    context = lookup(control->Parent()->Name());
  ShowHelpPopup(helpFile, static_cast<uint32_t>(context), info.mousePos, Handle());
  return true;
}

bool TFormWithHelp::UsesHostFont() const { return QueryHostFont().valid; }

bool TFormWithHelp::UsesSystemLocale() const { return ClientAPI::GetUseSystemLocaleLanguage() != 0; }

void TFormWithHelp::LoadHostFont(toolkit::TFont* font) const {
  if (font == nullptr) return;
  const HostFont host = QueryHostFont();
  if (!host.valid) return;
  font->SetName(host.name);
  font->SetSize(host.size);
  font->SetStyle(host.style);
  font->SetColor(static_cast<toolkit::TColor>(host.colour));
  font->SetCharset(host.charset);
}

void TFormWithHelp::ApplyFontTree(TComponent& component) {
  if (FUsesHostFont) {
    for (const toolkit::PropertyInfo* property : component.Class().AllProperties()) {
      if (property->type != toolkit::PropertyType::Font) continue;
      if (std::get<const toolkit::TFont*>(property->get(component)) == nullptr) continue;
      property->set(component, toolkit::PropertyValue(&FHostFont));
    }
  }
  if (auto* windowed = dynamic_cast<TWinControl*>(&component))
    for (int i = 0; i < windowed->ControlCount(); ++i) ApplyFontTree(*windowed->Controls(i));
  for (int i = 0; i < component.ComponentCount(); ++i) ApplyFontTree(*component.Component(i));
}

void TFormWithHelp::Loaded() {
  toolkit::TForm::Loaded();
  if (FUsesHostFont) {
    for (const toolkit::PropertyInfo* property : Class().AllProperties())
      if (property->type == toolkit::PropertyType::Font &&
          std::get<const toolkit::TFont*>(property->get(*this)) != nullptr)
        property->set(*this, toolkit::PropertyValue(&FHostFont));
  }
  SetShowHint(true);
}

toolkit::TModalResult TFormWithHelp::ShowModal() {
  if (IsTestMode()) {
    const std::string line = "Running modal dialog " + ClassName() + " " + Caption() + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    EndTestRun(1);
  }
  return toolkit::TForm::ShowModal();
}

// --- TServerDialog -----------------------------------------------------------

const toolkit::ClassInfo& TServerDialog::StaticClass() {
  static const toolkit::ClassInfo info("TServerDialog", &TFormWithHelp::StaticClass(), {});
  return info;
}

TServerDialog::TServerDialog(TComponent* owner) : TFormWithHelp(owner) {
  toolkit::Hooks& hooks = toolkit::Hooks::Get();
  controlHook_ = hooks.controlInserted.Add(
      [this](TWinControl& parent, TControl& control) { ControlInserted(parent, control); });
  componentHook_ = hooks.componentInserted.Add(
      [this](TComponent& owner, TComponent& component) { ComponentInserted(owner, component); });
}

TServerDialog::~TServerDialog() {
  toolkit::Hooks& hooks = toolkit::Hooks::Get();
  hooks.controlInserted.Remove(controlHook_);
  hooks.componentInserted.Remove(componentHook_);
}

void TServerDialog::Construct() {
  TFormWithHelp::Construct();
  // The toolkit's frame painter is only for systems without visual styles of
  // their own; the platform's ordinary frame stands in everywhere.
  CenterOnActiveMonitor();
  if (KeepsPlacement() && Resizable()) RestorePlacement();
}

void TServerDialog::Loaded() {
  TFormWithHelp::Loaded();
  // Keep the designed client area through the frame and caption changes.
  const int clientWidth = ClientWidth();
  const int clientHeight = ClientHeight();
  FResizableFrame = BorderStyle() == toolkit::TBorderStyle::Sizeable;
  if (FResizableFrame) SetBorderStyle(toolkit::TBorderStyle::Dialog);
  RecreateWnd();
  if (VisualStylesActive()) SetColor(toolkit::clBtnFace);
  SetBorderIcons(DialogBorderIcons());
  SetBounds(Left(), Top(), Width() + clientWidth - ClientWidth(), Height() + clientHeight - ClientHeight());
  ApplyFontTree(*this);
}

toolkit::TBorderIcons TServerDialog::DialogBorderIcons() const {
  return toolkit::biSystemMenu | toolkit::biHelp;
}

bool TServerDialog::Resizable() const {
  return FResizableFrame || BorderStyle() == toolkit::TBorderStyle::SizeToolWin;
}

platform::HWND TServerDialog::HostMainWindow() {
  const qvabi::ComPtr<qvabi::IClient> client = GetHostClient();
  if (!client) return 0;
  int32_t window = 0;
  CheckHost(client->GetMainWindowHandle(&window));
  return window;
}

void TServerDialog::CreateParams(platform::WindowCreateParams& params) {
  TFormWithHelp::CreateParams(params);
  if (HasContextHelpButton())
    params.exStyle |= platform::WS_EX_CONTEXTHELP;
  else
    params.exStyle &= ~platform::WS_EX_CONTEXTHELP;
  if (FResizableFrame) params.style |= platform::WS_THICKFRAME;
  if (OwnedByHostWindow()) params.owner = HostMainWindow();
}

void TServerDialog::CenterOnActiveMonitor() {
  const platform::HMONITOR monitor =
      platform::MonitorFromWindow(platform::GetActiveWindow(), platform::MONITOR_DEFAULTTONEAREST);
  platform::Rect bounds;
  platform::Rect work;
  if (monitor == 0 || !platform::GetMonitorInfo(monitor, &bounds, &work)) return;
  SetBounds((bounds.left + bounds.right - Width()) / 2, (bounds.top + bounds.bottom - Height()) / 2, Width(),
            Height());
}

void TServerDialog::RestorePlacement() {
  const std::string key = PlacementKey(ClassName());
  const int width = ReadPlacementValue(key, "Width", Width());
  const int height = ReadPlacementValue(key, "Height", Height());
  const int left = ReadPlacementValue(key, "Left", Left());
  const int top = ReadPlacementValue(key, "Top", Top());
  SetBounds(left, top, width, height);
}

void TServerDialog::StorePlacement() const {
  const std::string key = PlacementKey(ClassName());
  const std::pair<const char*, int> values[] = {
      {"Width", Width()}, {"Height", Height()}, {"Left", Left()}, {"Top", Top()}};
  for (const auto& [name, value] : values)
    if (!platform::WriteDword(platform::HKEY_CURRENT_USER, key, name, static_cast<uint32_t>(value)))
      throw Exception("Cannot store the placement of " + ClassName() + ": " + platform::RegLastError());
}

bool TServerDialog::CloseQuery() {
  if (!TFormWithHelp::CloseQuery()) return false;
  if (KeepsPlacement() && Resizable()) StorePlacement();
  return true;
}

void TServerDialog::DoShow() {
  TFormWithHelp::DoShow();
  std::string topic;
  std::string helpFile;
  if (FindHelpTopic(this, topic, helpFile) != 0) OpenHelpTopic(helpFile, topic, true);
}

void TServerDialog::ShowingChanged(bool visible) {
  if (!visible || Position() == toolkit::TPosition::Designed) {
    TFormWithHelp::ShowingChanged(visible);
    return;
  }
  showing_ = true;
  try {
    ShowWithoutPositioning();
  } catch (...) {
    showing_ = false;
    throw;
  }
  showing_ = false;
}

bool TServerDialog::DialogKey(int virtualKey) {
  if (virtualKey != platform::VK_TAB || IsCtrlDown() || IsAltDown())
    return TFormWithHelp::DialogKey(virtualKey);
  // The focus may sit in a window that is not one of the toolkit's controls
  // (a child window of a control): its nearest ancestor's control counts.
  TWinControl* focused = nullptr;
  for (platform::HWND window = platform::GetFocus(); window != 0 && focused == nullptr;
       window = platform::GetParent(window))
    focused = TWinControl::FindControl(window);
  std::vector<TWinControl*> stops = TabSequence();
  std::erase_if(stops, [](TWinControl* control) { return !control->CanFocus(); });
  if (stops.empty()) return true;
  const bool forward = !IsShiftDown();
  const auto at = std::find(stops.begin(), stops.end(), focused);
  std::size_t next = forward ? 0 : stops.size() - 1;
  if (at != stops.end()) {
    const std::size_t index = static_cast<std::size_t>(at - stops.begin());
    next = forward ? (index + 1) % stops.size() : (index + stops.size() - 1) % stops.size();
  }
  stops[next]->SetFocus();
  return true;
}

void TServerDialog::ControlInserted(TWinControl& parent, TControl& control) {
  if (&parent != this) return;
  ApplyFontTree(control);
  ApplyLocaleFontsToLaterControl(control);
}

void TServerDialog::ComponentInserted(TComponent& owner, TComponent& component) {
  if (&owner != this || Loading() || dynamic_cast<TControl*>(&component) == nullptr) return;
  ApplyFontTree(component);
  ApplyLocaleFontsToLaterControl(component);
}

// The locale-font rule with the answers cached at creation, and only while
// no stored description is being read.
void TServerDialog::ApplyLocaleFontsToLaterControl(TComponent& control) {
  if (LocaleFontsFlag() && FUsesSystemLocale && !FUsesHostFont && ReadingDepth() == 0)
    UpdateLocaleFonts(control);
}

// --- TNoShadowHintWindow -----------------------------------------------------

const toolkit::ClassInfo& TNoShadowHintWindow::StaticClass() {
  static const toolkit::ClassInfo info("TNoShadowHintWindow", &toolkit::THintWindow::StaticClass(), {});
  return info;
}

void TNoShadowHintWindow::CreateParams(platform::WindowCreateParams& params) {
  toolkit::THintWindow::CreateParams(params);
  params.classStyle &= ~platform::CS_DROPSHADOW;
}

}  // namespace strativue
