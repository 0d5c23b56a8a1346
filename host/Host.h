// The host stand-in: one per process, reached with Host::Instance(). It owns
// the client the plug-ins get, the GUI manager with its status bar, the
// options store, the documents and views, and the server modules it loaded.
// Tests call Reset() between cases; the client object itself stays the same
// for the whole process, because plug-ins keep a pointer to it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "abi/IClient.h"
#include "abi/IServerModule.h"
#include "abi/Unknown.h"
#include "host/Client.h"
#include "host/Documents.h"
#include "host/GuiManager.h"
#include "host/NavigationService.h"
#include "host/OptionsStore.h"
#include "platform/Modules.h"

namespace quorvex {

// What the flat functions ClientAPI_SetErrorInfo, ClientAPI_ClearErrorInfo
// and ClientAPI_HandleException received, in call order.
struct ErrorReport {
  enum class Kind { SetErrorInfo, ClearErrorInfo, HandleException } kind;
  std::string message;    // SetErrorInfo
  std::string report;     // SetErrorInfo
  uintptr_t address = 0;  // SetErrorInfo
  int32_t value = 0;      // HandleException
};

class Host {
 public:
  static Host& Instance();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // Releases the server modules and unloads their files, closes every
  // document, clears the status bar, the error reports and injected
  // failures.
  void Reset();

  // The client; the host keeps it alive for the whole process.
  qvabi::IClient* GetClient() { return client_.get(); }
  GuiManager& GetGuiManager() { return *guiManager_.get(); }
  OptionsManager& GetOptionsManager() { return *optionsManager_.get(); }
  NavigationService& GetNavigationService() { return *navigationService_.get(); }

  // The application window (IClient slot 9) and the main window (slot 15),
  // created in the platform's window table when first asked for. A test may
  // make slot 9 answer another value.
  int32_t ApplicationWindow();
  int32_t MainWindow();
  void SetApplicationHandleForTesting(std::optional<int32_t> handle) { applicationHandleOverride_ = handle; }

  // Documents and views. A new view becomes the current one.
  // A document of any kind ("SCH", ...) with one view.
  View* OpenDocument(const std::string& kind, const std::string& fileName);
  // One more view of the PCB document (created on first use), for a board.
  View* OpenPcbView(const std::string& boardFileName);
  // Nil: no current view.
  void SetCurrentView(View* view);
  View* CurrentView() const { return currentView_.get(); }
  std::vector<Document*> Documents() const;

  // Server modules: loads a module file, calls its ServerFactory with the
  // client and registers the module under the name it reports. Nil with a
  // one-line reason in *error on failure.
  qvabi::IServerModule* LoadServerModule(const std::string& path, std::string* error);
  // Registers a module created elsewhere (a new reference is taken).
  void AddServerModule(const std::string& name, qvabi::IServerModule* module);
  qvabi::IServerModule* FindServerModule(const std::string& name) const;
  int ServerModuleCount() const { return static_cast<int>(modules_.size()); }
  qvabi::IServerModule* ServerModuleAt(int index) const;
  // Releases every module, the last loaded first, then unloads their files.
  void ReleaseServerModules();

  std::vector<ErrorReport> ErrorReports() const { return errorReports_; }
  void RecordErrorReport(ErrorReport report) { errorReports_.push_back(std::move(report)); }
  int UpdateFontCount() const { return updateFontCount_; }
  void CountUpdateFont() { ++updateFontCount_; }

 private:
  Host();
  ~Host() = default;

  struct LoadedModule {
    std::string name;
    qvabi::ComPtr<qvabi::IServerModule> module;
    platform::ModuleHandle file = nullptr;
  };

  qvabi::ComPtr<Client> client_;
  qvabi::ComPtr<GuiManager> guiManager_;
  qvabi::ComPtr<OptionsManager> optionsManager_;
  qvabi::ComPtr<NavigationService> navigationService_;
  int32_t applicationWindow_ = 0;
  int32_t mainWindow_ = 0;
  std::optional<int32_t> applicationHandleOverride_;
  std::vector<qvabi::ComPtr<View>> views_;
  qvabi::ComPtr<Document> pcbDocument_;
  qvabi::ComPtr<View> currentView_;
  std::vector<LoadedModule> modules_;
  std::vector<ErrorReport> errorReports_;
  int updateFontCount_ = 0;
};

}  // namespace quorvex
