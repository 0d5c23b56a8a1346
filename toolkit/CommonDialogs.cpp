#include "toolkit/CommonDialogs.h"

#include <algorithm>
#include <vector>

#include "platform/Machine.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/Hooks.h"

namespace toolkit {
namespace {

// Dialogs running on the UI thread, innermost last.
std::vector<TCommonDialog*>& RunningDialogs() {
  static std::vector<TCommonDialog*> dialogs;
  return dialogs;
}

bool HasFolder(const std::string& path) { return path.find_first_of("\\/:") != std::string::npos; }

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool HasExtension(const std::string& path) {
  const auto dot = path.rfind('.');
  return dot != std::string::npos && dot > path.find_last_of("\\/") + 1;
}

}  // namespace

const ClassInfo& TCommonDialog::StaticClass() {
  static const ClassInfo info("TCommonDialog", &TComponent::StaticClass(), {});
  return info;
}

TCommonDialog::TCommonDialog(TComponent* owner) : TComponent(owner) {}

TCommonDialog::~TCommonDialog() {
  std::erase(RunningDialogs(), this);
  if (handle_ != 0) platform::DestroyWindow(handle_);
}

TCommonDialog* TCommonDialog::Running() {
  return RunningDialogs().empty() ? nullptr : RunningDialogs().back();
}

bool TCommonDialog::Execute() {
  // The application window only while it exists (a host may have closed it).
  platform::HWND parent = platform::IsWindow(Application().Handle()) ? Application().Handle() : 0;
  if (TForm* form = Application().InputForm()) parent = form->Handle();
  const Hooks& hooks = Hooks::Get();
  hooks.NotifyCommonDialog(*this, CommonDialogStage::Executing, parent);

  // The system opens the dialog at the top left of the primary monitor's
  // work area; whoever wants it elsewhere moves it once it is initialised.
  const std::vector<platform::MonitorInfo> monitors = platform::GetMonitors();
  const platform::Rect area = monitors.front().workArea;
  platform::WindowCreateParams params;
  params.className = kFileDialogClass;
  params.caption = title_;
  params.rect = {area.left, area.top, area.left + kFileDialogWidth, area.top + kFileDialogHeight};
  params.style = platform::WS_POPUP | platform::WS_CAPTION | platform::WS_SYSMENU | platform::WS_VISIBLE;
  params.owner = parent;
  handle_ = platform::CreateWindow(params);
  if (handle_ == 0) throw EOutOfResources("The system cannot create the window of a standard dialog");

  state_ = State::Running;
  RunningDialogs().push_back(this);
  struct End {
    TCommonDialog& dialog;
    ~End() {
      std::erase(RunningDialogs(), &dialog);
      platform::HWND window = dialog.handle_;
      platform::DestroyWindow(window);
      dialog.handle_ = 0;
      Hooks::Get().NotifyCommonDialog(dialog, CommonDialogStage::Closed, window);
    }
  } end{*this};
  platform::HWND window = handle_;
  hooks.NotifyCommonDialog(*this, CommonDialogStage::Initialized, window);
  while (state_ == State::Running)
    if (!Application().ProcessMessage()) state_ = State::Cancelled;
  return state_ == State::Chosen;
}

bool TCommonDialog::Choose(const std::string& answer) {
  if (state_ != State::Running || !Accept(answer)) return false;
  state_ = State::Chosen;
  return true;
}

void TCommonDialog::Cancel() {
  if (state_ == State::Running) state_ = State::Cancelled;
}

const ClassInfo& TOpenDialog::StaticClass() {
  static const ClassInfo info("TOpenDialog", &TCommonDialog::StaticClass(), {},
                              [](TComponent* owner) { return std::make_unique<TOpenDialog>(owner); });
  return info;
}

TOpenDialog::TOpenDialog(TComponent* owner, TFileDialogKind kind) : TCommonDialog(owner), kind_(kind) {}

bool TOpenDialog::Accept(const std::string& answer) {
  if (answer.empty()) return false;
  std::string path = answer;
  if (!HasFolder(path) && !initialDir_.empty())
    path = initialDir_ + (initialDir_.ends_with('\\') ? "" : "\\") + path;
  if (!HasExtension(path) && !defaultExt_.empty()) path += "." + defaultExt_;
  const bool acceptable =
      kind_ == TFileDialogKind::Open ? platform::FileExists(path) : platform::DirectoryExists(FolderOf(path));
  if (!acceptable) return false;
  fileName_ = path;
  return true;
}

const ClassInfo& TSaveDialog::StaticClass() {
  static const ClassInfo info("TSaveDialog", &TOpenDialog::StaticClass(), {},
                              [](TComponent* owner) { return std::make_unique<TSaveDialog>(owner); });
  return info;
}

}  // namespace toolkit
