#include "host/Host.h"

#include <algorithm>

#include "host/HostStatus.h"
#include "platform/Locale.h"
#include "platform/WideString.h"
#include "platform/Windows.h"

namespace quorvex {
namespace {

std::string FileNameOf(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

int32_t EnsureWindow(int32_t& window, const char* className, const char* caption, uint32_t style,
                     int32_t owner) {
  if (window != 0 && platform::IsWindow(window)) return window;
  platform::WindowCreateParams params;
  params.className = className;
  params.caption = caption;
  params.rect = {0, 0, 1280, 800};
  params.style = style;
  params.owner = owner;
  window = platform::CreateWindow(params);
  return window;
}

}  // namespace

Host& Host::Instance() {
  // Never destroyed: plug-ins keep the client's address until the process ends.
  static Host* host = new Host();
  return *host;
}

Host::Host()
    : client_(new Client(*this)),
      guiManager_(new GuiManager()),
      optionsManager_(new OptionsManager()),
      navigationService_(new NavigationService()) {
  client_->AddRef();
  guiManager_->AddRef();
  optionsManager_->AddRef();
  navigationService_->AddRef();
}

void Host::Reset() {
  ReleaseServerModules();
  currentView_.reset();
  views_.clear();
  pcbDocument_.reset();
  guiManager_->Reset();
  errorReports_.clear();
  updateFontCount_ = 0;
  applicationHandleOverride_.reset();
  ClearInjectedFailures();
}

int32_t Host::ApplicationWindow() {
  if (applicationHandleOverride_) return *applicationHandleOverride_;
  return EnsureWindow(applicationWindow_, "TApplication", "Quorvex", 0, 0);
}

int32_t Host::MainWindow() {
  const int32_t owner = applicationHandleOverride_ ? 0 : ApplicationWindow();
  return EnsureWindow(mainWindow_, "TQuorvexMainForm", "Quorvex", platform::WS_CAPTION | platform::WS_VISIBLE,
                      owner);
}

View* Host::OpenDocument(const std::string& kind, const std::string& fileName) {
  qvabi::ComPtr<Document> document(new Document(kind, fileName));
  document->AddRef();
  qvabi::ComPtr<View> view(new View(document.get(), fileName));
  view->AddRef();
  views_.push_back(view);
  currentView_ = view;
  return view.get();
}

View* Host::OpenPcbView(const std::string& boardFileName) {
  if (!pcbDocument_) {
    pcbDocument_ = qvabi::ComPtr<Document>(new Document("PCB", boardFileName));
    pcbDocument_->AddRef();
  }
  qvabi::ComPtr<View> view(new View(pcbDocument_.get(), boardFileName));
  view->AddRef();
  views_.push_back(view);
  currentView_ = view;
  return view.get();
}

void Host::SetCurrentView(View* view) { currentView_ = qvabi::ComPtr<View>::Share(view); }

std::vector<Document*> Host::Documents() const {
  std::vector<Document*> result;
  for (const auto& view : views_)
    if (std::find(result.begin(), result.end(), view->OwnerDocument()) == result.end())
      result.push_back(view->OwnerDocument());
  return result;
}

qvabi::IServerModule* Host::LoadServerModule(const std::string& path, std::string* error) {
  std::string reason;
  platform::ModuleHandle file = platform::LoadModule(path, &reason);
  if (!file) {
    if (error) *error = "cannot load " + path + ": " + reason;
    return nullptr;
  }
  auto* factory = reinterpret_cast<qvabi::ServerFactory_t*>(platform::FindFunction(file, "ServerFactory"));
  if (!factory) {
    if (error) *error = FileNameOf(path) + " does not export ServerFactory";
    platform::UnloadModule(file);
    return nullptr;
  }
  qvabi::ComPtr<qvabi::IServerModule> module;
  const qvabi::HRESULT status = factory(GetClient(), module.put());
  if (qvabi::Failed(status) || !module) {
    const ThreadError thrown = TakeThreadError();
    if (error)
      *error = "ServerFactory of " + FileNameOf(path) + " failed" +
               (thrown.description.empty() ? std::string() : ": " + thrown.description);
    module.reset();
    platform::UnloadModule(file);
    return nullptr;
  }
  platform::BStr name;
  std::string moduleName = FileNameOf(path);
  if (qvabi::Succeeded(module->GetModuleName(name.put())) && !name.view().empty()) moduleName = name.utf8();
  modules_.push_back({moduleName, module, file});
  return module.get();
}

void Host::AddServerModule(const std::string& name, qvabi::IServerModule* module) {
  if (!module) return;
  modules_.push_back({name, qvabi::ComPtr<qvabi::IServerModule>::Share(module), nullptr});
}

qvabi::IServerModule* Host::FindServerModule(const std::string& name) const {
  for (const auto& loaded : modules_)
    if (platform::CompareTextIgnoreCase(loaded.name, name) == 0) return loaded.module.get();
  return nullptr;
}

qvabi::IServerModule* Host::ServerModuleAt(int index) const {
  if (index < 0 || index >= ServerModuleCount()) return nullptr;
  return modules_[static_cast<std::size_t>(index)].module.get();
}

void Host::ReleaseServerModules() {
  std::vector<platform::ModuleHandle> files;
  while (!modules_.empty()) {
    LoadedModule last = std::move(modules_.back());
    modules_.pop_back();
    last.module.reset();
    if (last.file) files.push_back(last.file);
  }
  for (platform::ModuleHandle file : files) platform::UnloadModule(file);
}

}  // namespace quorvex
