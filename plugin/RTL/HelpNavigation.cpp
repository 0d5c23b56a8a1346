#include "plugin/RTL/HelpNavigation.h"

#include <charconv>

#include "abi/IClient.h"
#include "abi/ModuleFiles.h"
#include "abi/Navigation.h"
#include "platform/Dde.h"
#include "platform/Machine.h"
#include "platform/Modules.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/WideString.h"
#include "platform/Windows.h"
#include "plugin/RTL/AsciiCase.h"
#include "plugin/RTL/ClientApi.h"
#include "plugin/RTL/Exceptions.h"
#include "plugin/RTL/HostClient.h"
#include "plugin/RTL/Messages.h"
#include "plugin/RTL/PreferencePaths.h"
#include "plugin/RTL/ReaderVersionWarning.h"

namespace strativue {
namespace {

constexpr std::string_view kPageMark = "#PAGE=";
constexpr const char* kWorkspaceLibrary = qvabi::kWorkspaceModuleFile;

// WorkspaceManager.so is the host's own library: it is looked up among the
// loaded modules on each use until found, and never loaded by us.
struct WorkspaceAccess {
  platform::ModuleHandle module = nullptr;
  qvabi::GetWorkspace_t* getWorkspace = nullptr;
};
WorkspaceAccess g_workspace;

// Position of `needle` (upper-case ASCII) in `text`, ignoring ASCII case.
std::size_t FindIgnoringAsciiCase(std::string_view text, std::string_view needle) {
  if (needle.size() > text.size()) return std::string_view::npos;
  for (std::size_t i = 0; i + needle.size() <= text.size(); ++i) {
    std::size_t j = 0;
    while (j < needle.size() && UpperAscii(text[i + j]) == needle[j]) ++j;
    if (j == needle.size()) return i;
  }
  return std::string_view::npos;
}

std::string FileNameOf(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/:");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ExtensionOf(std::string_view path) {
  const std::string name = FileNameOf(path);
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

std::string Narrow(const platform::BStr& text) { return text.utf8(); }

platform::BStr Wide(std::string_view text) { return platform::BStr::FromUtf8(text); }

qvabi::ComPtr<qvabi::INavigationService> NavigationService(qvabi::IClient* client) {
  qvabi::ComPtr<qvabi::INavigationService> service;
  CheckHost(client->GetNavigationService(service.put()));
  if (!service) throw Exception("The host has no navigation service");
  return service;
}

// Step 2: web addresses go to the system's browser when the host wants that.
bool OpenInExternalBrowser(qvabi::INavigationService* service, const std::string& address) {
  if (!ClientAPI::GetUseExternalWebBrowser()) return false;
  platform::BStr protocol, part1, part2;
  CheckHost(service->ParseAddress(Wide(address).get(), protocol.put(), part1.put(), part2.put()));
  const std::string name = Narrow(protocol);
  if (!IsSameText(name, "http") && !IsSameText(name, "ftp") && !IsSameText(name, "https")) return false;
  platform::ShellExecute("open", address, "", "", platform::SW_SHOWNORMAL);
  return true;
}

// Step 4: a browser document in the current view shows the address itself.
bool ShowInCurrentDocument(qvabi::IClient* client, const std::string& address) {
  qvabi::ComPtr<qvabi::IServerView> view;
  CheckHost(client->GetCurrentView(view.put()));
  if (!view) return false;
  qvabi::ComPtr<qvabi::IServerDocument> document;
  CheckHost(view->GetOwnerDocument(document.put()));
  const auto navigable = qvabi::QueryAs<qvabi::INavigableDocument>(document.get());
  if (!navigable) return false;
  if (const auto addressable = qvabi::QueryAs<qvabi::IAddressableDocument>(document.get())) {
    platform::BStr current;
    CheckHost(addressable->GetAddress(current.put()));
    if (IsSameText(Narrow(current), address)) return true;
  }
  qvabi::BOOL32 success = qvabi::kFalse32;
  CheckHost(navigable->Navigate(Wide(address).get(), &success));
  return true;
}

// Step 5.
bool ShowOpenView(qvabi::IClient* client, const std::string& address) {
  const auto view = FindOpenView(address);
  if (!view) return false;
  qvabi::ComPtr<qvabi::IServerDocument> document;
  CheckHost(view->GetOwnerDocument(document.put()));
  CheckHost(client->ShowDocument(document.get()));
  if (const auto activatable = qvabi::QueryAs<qvabi::IActivatableView>(view.get()))
    CheckHost(activatable->Activate());
  return true;
}

// Step 6.
bool OpenHostFile(qvabi::INavigationService* service, std::u16string_view target,
                  const std::string& address) {
  platform::BStr file(target);
  if (!ClientAPI::VFS_FileExists(file.get())) return false;
  platform::BStr opened = Wide(address);
  qvabi::BSTR inOut = opened.release();
  qvabi::ComPtr<qvabi::IServerDocument> document;
  qvabi::BOOL32 success = qvabi::kFalse32;
  const qvabi::HRESULT status = service->OpenAddress(0, &inOut, document.put(), &success);
  opened = platform::BStr::Adopt(inOut);
  CheckHost(status);
  return true;
}

qvabi::GetWorkspace_t* WorkspaceFunction() {
  if (!g_workspace.module) {
    g_workspace.module = platform::FindLoadedModule(kWorkspaceLibrary);
    if (g_workspace.module)
      g_workspace.getWorkspace = reinterpret_cast<qvabi::GetWorkspace_t*>(
          platform::FindFunction(g_workspace.module, "GetWorkspace"));
  }
  return g_workspace.getWorkspace;
}

// Step 7: the host's task server shows the address.
void ShowInTaskServer(qvabi::IClient* client, const std::string& address) {
  qvabi::GetWorkspace_t* getWorkspace = WorkspaceFunction();
  if (!getWorkspace) return;
  qvabi::ComPtr<qvabi::IWorkspace> workspace;
  CheckHost(getWorkspace(workspace.put()));
  if (!workspace) return;
  platform::BStr target;
  CheckHost(workspace->GetServerTarget(Wide("PickATask").get(), target.put()));
  if (target.view().empty()) return;
  qvabi::ComPtr<qvabi::IServerModule> module;
  CheckHost(client->GetServerModuleForTarget(target.get(), module.put()));
  const auto navigable = qvabi::QueryAs<qvabi::INavigableDocument>(module.get());
  if (!navigable) return;
  qvabi::BOOL32 success = qvabi::kFalse32;
  CheckHost(navigable->Navigate(Wide(address).get(), &success));
}

bool ViewMatches(qvabi::IServerDocument* document, qvabi::IServerView* view, const std::string& address) {
  if (const auto addressable = qvabi::QueryAs<qvabi::IAddressableDocument>(document)) {
    qvabi::ByteBool matches = 0;
    CheckHost(addressable->MatchesAddress(Wide(address).get(), &matches));
    return matches != 0;
  }
  return IsSameText(address, ViewAddress(document, view));
}

std::string RegistryDefault(std::string_view key) {
  return platform::ReadString(platform::HKEY_CLASSES_ROOT, key, "").value_or("");
}

// The executable a command line names: the text in quotes at its start, or
// the whole command.
std::string ExecutableOf(std::string command) {
  const auto first = command.find_first_not_of(' ');
  command.erase(0, first == std::string::npos ? command.size() : first);
  while (!command.empty() && command.back() == ' ') command.pop_back();
  if (!command.empty() && command.front() == '"') {
    const std::size_t close = command.find('"', 1);
    return command.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  }
  return command;
}

platform::HDDEDATA STDCALL IgnoreDdeTransaction(uint32_t, uint32_t, platform::HCONV, platform::HSZ,
                                                platform::HSZ, platform::HDDEDATA, uintptr_t, uintptr_t) {
  return 0;
}

}  // namespace

void RunHostProcess(std::string_view processName, const char* parameters, int32_t parameterSize,
                    int32_t value) {
  const auto client = GetHostClient();
  if (!client) return;
  const auto launcher = qvabi::QueryAs<qvabi::IProcessLauncher>(client.get());
  if (!launcher) throw Exception("The host offers no process launcher");
  const std::string name(processName);
  CheckHost(launcher->RunProcess(name.c_str(), parameters, parameterSize, value));
}

bool SplitPdfPageAddress(std::string_view address, PdfPageAddress* result) {
  const std::size_t mark = FindIgnoringAsciiCase(address, kPageMark);
  if (mark == std::string_view::npos) return false;
  result->file = std::string(address.substr(0, mark));
  std::string_view digits = address.substr(mark + kPageMark.size());
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  int32_t page = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), page);
  result->page = (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) ? -1 : page;
  return true;
}

void NavigateHelpTarget(std::u16string_view target) {
  const auto client = GetHostClient();
  if (!client) return;
  const auto service = NavigationService(client.get());
  platform::BStr resolved;
  CheckHost(service->ResolveAddress(platform::BStr(target).get(), resolved.put()));
  const std::string address = Narrow(resolved);

  if (OpenInExternalBrowser(service.get(), address)) return;
  PdfPageAddress pdf;
  if (SplitPdfPageAddress(address, &pdf) && IsSameText(ExtensionOf(pdf.file), ".PDF")) {
    OpenPdfAtPage(ResolveHelpFile(pdf.file), pdf.page);
    return;
  }
  if (ShowInCurrentDocument(client.get(), address)) return;
  if (ShowOpenView(client.get(), address)) return;
  if (OpenHostFile(service.get(), target, address)) return;
  if (OpenInExternalBrowser(service.get(), address)) return;
  ShowInTaskServer(client.get(), address);
}

std::string ViewAddress(qvabi::IServerDocument* document, qvabi::IServerView* view) {
  platform::BStr fileName;
  CheckHost(document->GetFileName(fileName.put()));
  std::string address = Narrow(fileName);
  int32_t viewCount = 0;
  CheckHost(document->GetViewCount(&viewCount));
  const bool named = viewCount > 1;
  if (named) {
    platform::BStr name;
    CheckHost(view->GetViewName(name.put()));
    address += "?ViewName=" + Narrow(name);
  }
  platform::BStr parameters;
  CheckHost(view->GetParameters(parameters.put()));
  const std::string text = ReplaceAll(Narrow(parameters), "|", ";");
  if (!text.empty()) address += (named ? ";" : "?") + text;
  return address;
}

qvabi::ComPtr<qvabi::IServerView> FindOpenView(std::string_view address) {
  const auto client = GetHostClient();
  if (!client) return {};
  const std::string wanted(address);
  int32_t moduleCount = 0;
  CheckHost(client->GetServerModuleCount(&moduleCount));
  for (int32_t m = 0; m < moduleCount; ++m) {
    qvabi::ComPtr<qvabi::IServerModule> module;
    CheckHost(client->GetServerModuleAt(m, module.put()));
    if (!module) continue;
    int32_t documentCount = 0;
    CheckHost(module->GetDocumentCount(&documentCount));
    for (int32_t d = 0; d < documentCount; ++d) {
      qvabi::ComPtr<qvabi::IServerDocument> document;
      CheckHost(module->GetDocument(d, document.put()));
      if (!document) continue;
      int32_t viewCount = 0;
      CheckHost(document->GetViewCount(&viewCount));
      for (int32_t v = 0; v < viewCount; ++v) {
        qvabi::ComPtr<qvabi::IServerView> view;
        CheckHost(document->GetView(v, view.put()));
        if (view && ViewMatches(document.get(), view.get(), wanted)) return view;
      }
    }
  }
  return {};
}

std::string GetPdfReaderCommand() {
  std::string command = RegistryDefault("acrobat\\Shell\\Open\\Command");
  if (command.empty()) {
    const std::string pdfClass = RegistryDefault(".PDF");
    if (!pdfClass.empty()) command = RegistryDefault(pdfClass + "\\Shell\\Open\\Command");
  }
  command = ReplaceAll(command, "\"%1\"", "");
  command = ReplaceAll(command, "%1", "");
  return ReplaceAll(command, "/u", "");
}

int32_t GetPdfReaderVersion(const std::string& command) {
  using platform::HKEY_CLASSES_ROOT;
  if (platform::KeyExists(HKEY_CLASSES_ROOT, "AcroPDF.PDF.1")) return 7;
  if (platform::KeyExists(HKEY_CLASSES_ROOT, "PDF.PdfCtrl.1")) return 4;
  for (int32_t n = 2; n <= 10; ++n)
    if (platform::KeyExists(HKEY_CLASSES_ROOT, "PDF.PdfCtrl." + std::to_string(n))) return n;
  const std::string executable = ExecutableOf(command);
  platform::FileVersion version;
  const int32_t status = platform::GetFileVersion(executable, &version);
  if (status == platform::ERROR_RESOURCE_TYPE_NOT_FOUND) return 4;
  if (status != 0)
    throw Exception("Cannot read the version of the PDF reader \"" + executable + "\" (system error " +
                    std::to_string(status) + ")");
  return version.major == 0 ? 4 : version.major;
}

bool OpenPdfAtPage(const std::string& fileName, int32_t page) {
  std::string file = fileName;
  if (!platform::FileExists(file)) {
    file = GetApplicationHelpFolder() + FileNameOf(fileName);
    if (!platform::FileExists(file)) return false;
  }
  const std::string command = GetPdfReaderCommand();
  const int32_t version = GetPdfReaderVersion(command);
  if (version < 6) {
    if (page != 1) ShowReaderVersionWarning();
    return platform::StartProgram(command + " \"" + file + "\"", platform::SW_SHOWNORMAL) >= 32;
  }
  // A page the address did not give as a number cannot be asked for; the
  // reader then opens the document at its start.
  if (page < 1) return platform::StartProgram(command + " \"" + file + "\"", platform::SW_SHOWNORMAL) >= 32;
  const std::string line =
      command + " /a pagemode=bookmarks&page=" + std::to_string(page) + " \"" + file + "\"";
  if (platform::StartProgram(line, platform::SW_SHOWNORMAL) < 32) return false;
  DdeExecute("acroview", "control", "[DocGoTo(NULL, " + std::to_string(page - 1) + ")]");
  return true;
}

void DdeExecute(const std::string& service, const std::string& topic, const std::string& command) {
  uint32_t instance = 0;
  if (platform::DdeInitialize(&instance, &IgnoreDdeTransaction, 0) != platform::DMLERR_NO_ERROR) return;
  const platform::HSZ serviceHandle =
      platform::DdeCreateStringHandle(instance, service, platform::CP_WINANSI);
  const platform::HSZ topicHandle = platform::DdeCreateStringHandle(instance, topic, platform::CP_WINANSI);
  platform::CONVCONTEXT context{};
  context.cb = sizeof context;
  context.iCodePage = platform::CP_WINANSI;
  if (const platform::HCONV conversation =
          platform::DdeConnect(instance, serviceHandle, topicHandle, &context)) {
    uint32_t result = 0;
    platform::DdeClientTransaction(command.data(), static_cast<uint32_t>(command.size()), conversation, 0,
                                   platform::CF_TEXT, platform::XTYP_EXECUTE, platform::TIMEOUT_ASYNC,
                                   &result);
    platform::DdeDisconnect(conversation);
  }
  platform::DdeFreeStringHandle(instance, serviceHandle);
  platform::DdeFreeStringHandle(instance, topicHandle);
  platform::DdeUninitialize(instance);
}

void FreeWorkspaceAccess() { g_workspace = {}; }

}  // namespace strativue
