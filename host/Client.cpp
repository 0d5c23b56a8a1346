#include "host/Client.h"

#include "host/Host.h"
#include "host/HostSettings.h"
#include "host/HostStatus.h"
#include "platform/Journal.h"
#include "platform/WideString.h"

namespace quorvex {
namespace {

template <typename I>
I* Shared(I* item) {
  if (item) item->AddRef();
  return item;
}

}  // namespace

qvabi::HRESULT STDCALL Client::GetApplicationHandle(int32_t* handle) {
  return HostGuard([&] {
    if (!ClearOut(handle)) return Fail("GetApplicationHandle: nil out argument");
    if (const auto failure = InjectedFailure(HostCall::GetApplicationHandle)) return Fail(*failure);
    *handle = host_.ApplicationWindow();
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL Client::GetServerModuleCount(int32_t* count) {
  return HostGuard([&] {
    if (!ClearOut(count)) return Fail("GetServerModuleCount: nil out argument");
    *count = host_.ServerModuleCount();
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL Client::GetCurrentView(qvabi::IServerView** view) {
  return HostGuard([&] {
    if (!ClearOut(view)) return Fail("GetCurrentView: nil out argument");
    if (const auto failure = InjectedFailure(HostCall::GetCurrentView)) return Fail(*failure);
    *view = Shared<qvabi::IServerView>(host_.CurrentView());
    return qvabi::S_OK;
  });
}

// A target names a server module: the module registered under that name.
qvabi::HRESULT STDCALL Client::GetServerModuleForTarget(qvabi::BSTR target, qvabi::IServerModule** module) {
  return HostGuard([&] {
    if (!ClearOut(module)) return Fail("GetServerModuleForTarget: nil out argument");
    *module = Shared(host_.FindServerModule(platform::BStrToUtf8(target)));
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL Client::GetMainWindowHandle(int32_t* handle) {
  return HostGuard([&] {
    if (!ClearOut(handle)) return Fail("GetMainWindowHandle: nil out argument");
    *handle = host_.MainWindow();
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL Client::GetGUIManager(qvabi::IGUIManager** manager) {
  return HostGuard([&] {
    if (!ClearOut(manager)) return Fail("GetGUIManager: nil out argument");
    if (const auto failure = InjectedFailure(HostCall::GetGUIManager)) return Fail(*failure);
    *manager = Shared<qvabi::IGUIManager>(&host_.GetGuiManager());
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL Client::GetServerModuleAt(int32_t index, qvabi::IServerModule** module) {
  return HostGuard([&] {
    if (!ClearOut(module)) return Fail("GetServerModuleAt: nil out argument");
    qvabi::IServerModule* found = host_.ServerModuleAt(index);
    if (!found) return Fail("GetServerModuleAt: no server module " + std::to_string(index));
    *module = Shared(found);
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL Client::GetServerModuleByName(qvabi::BSTR name, qvabi::IServerModule** module) {
  return HostGuard([&] {
    if (!ClearOut(module)) return Fail("GetServerModuleByName: nil out argument");
    *module = Shared(host_.FindServerModule(platform::BStrToUtf8(name)));
    return qvabi::S_OK;
  });
}

// The host's own documents get their first view made current; documents
// of a registered server module are shown where that module shows them. Each
// showing is a "navigate" journal entry ("show <file name>").
qvabi::HRESULT STDCALL Client::ShowDocument(qvabi::IServerDocument* document) {
  return HostGuard([&] {
    if (!document) return Fail("ShowDocument: no document");
    platform::BStr fileName;
    if (qvabi::Failed(document->GetFileName(fileName.put())))
      return Fail("ShowDocument: the document has no name");
    for (Document* open : host_.Documents()) {
      if (static_cast<qvabi::IServerDocument*>(open) != document || open->ViewCount() == 0) continue;
      host_.SetCurrentView(open->ViewAt(0));
      platform::JournalAppend("navigate", "show " + fileName.utf8());
      return qvabi::S_OK;
    }
    for (int m = 0; m < host_.ServerModuleCount(); ++m) {
      qvabi::IServerModule* module = host_.ServerModuleAt(m);
      int32_t count = 0;
      if (!module || qvabi::Failed(module->GetDocumentCount(&count))) continue;
      for (int32_t d = 0; d < count; ++d) {
        qvabi::ComPtr<qvabi::IServerDocument> served;
        if (qvabi::Succeeded(module->GetDocument(d, served.put())) && served.get() == document) {
          platform::JournalAppend("navigate", "show " + fileName.utf8());
          return qvabi::S_OK;
        }
      }
    }
    return Fail("ShowDocument: the document is not open");
  });
}

// The server is the redirect's text before its first ":"; the module is
// the one the host settings name for it ([HelpRedirects]), or empty.
qvabi::HRESULT STDCALL Client::GetModuleForRedirect(qvabi::BSTR redirect, qvabi::BSTR* moduleFileName) {
  return HostGuard([&] {
    if (!ClearOut(moduleFileName)) return Fail("GetModuleForRedirect: nil out argument");
    if (const auto failure = InjectedFailure(HostCall::GetModuleForRedirect)) return Fail(*failure);
    const std::string text = platform::BStrToUtf8(redirect);
    const auto colon = text.find(':');
    const std::string module =
        colon == std::string::npos ? std::string() : GetHelpRedirectModule(text.substr(0, colon));
    platform::JournalAppend("host", "redirect " + text + " -> " + (module.empty() ? "(none)" : module));
    *moduleFileName = platform::BStr::FromUtf8(module).release();
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL Client::GetGUIFont(int32_t, qvabi::ByteBool* valid, qvabi::BSTR* name, int32_t* size,
                                          uint8_t* style, int32_t* colour, uint8_t* charset) {
  return HostGuard([&] {
    if (!ClearOut(valid) || !ClearOut(name) || !ClearOut(size) || !ClearOut(style) || !ClearOut(colour) ||
        !ClearOut(charset))
      return Fail("GetGUIFont: nil out argument");
    const auto font = GetGuiFont();
    if (!font) return qvabi::S_OK;
    *valid = 1;
    *name = platform::BStr::FromUtf8(font->name).release();
    *size = font->size;
    *style = font->style;
    *colour = font->colour;
    *charset = font->charset;
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL Client::GetNavigationService(qvabi::INavigationService** service) {
  return HostGuard([&] {
    if (!ClearOut(service)) return Fail("GetNavigationService: nil out argument");
    *service = Shared<qvabi::INavigationService>(&host_.GetNavigationService());
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL Client::GetOptionsManager(qvabi::IOptionsManager** manager) {
  return HostGuard([&] {
    if (!ClearOut(manager)) return Fail("GetOptionsManager: nil out argument");
    if (const auto failure = InjectedFailure(HostCall::GetOptionsManager)) return Fail(*failure);
    *manager = Shared<qvabi::IOptionsManager>(&host_.GetOptionsManager());
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL Client::RunProcess(const char* processName, const char* parameters,
                                          int32_t parameterSize, int32_t value) {
  return HostGuard([&] {
    if (!processName || !*processName) return Fail("RunProcess: no process name");
    std::string text = processName;
    if (parameters && *parameters) text += std::string(" ") + parameters;
    text += " (size " + std::to_string(parameterSize) + ", value " + std::to_string(value) + ")";
    platform::JournalAppend("process", text);
    return qvabi::S_OK;
  });
}

}  // namespace quorvex
