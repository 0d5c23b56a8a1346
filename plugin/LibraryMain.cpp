// Module-only part of Strativue.so: the two exports and the steps that run
// when the host loads and unloads the module.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <thread>

#include "abi/ServerModule.h"
#include "abi/Types.h"
#include "plugin/RTL/ClientApi.h"
#include "plugin/RTL/HelpNavigation.h"
#include "plugin/RTL/HostClient.h"
#include "plugin/RTL/ModuleFile.h"
#include "plugin/RTL/Parameters.h"
#include "plugin/RTL/PcbApi.h"
#include "plugin/RTL/PreferencePaths.h"
#include "plugin/RTL/ServerDialog.h"
#include "plugin/Strativue.h"
#include "toolkit/Application.h"

namespace {

// Constructed when the module is loaded, destroyed when it is unloaded:
// a static object runs exactly at those two moments on every platform.
class TLibraryLifetime {
 public:
  TLibraryLifetime() {
    strativue::ClientAPI::Resolve();
    abi::IClient* client = nullptr;
    strativue::ClientAPI::GetClientInterface(&client);
    strativue::SetHostClient(client);
    strativue::ResolvePreferenceLocation();
    strativue::PcbApi::Bind();
    toolkit::Application().SetHintWindowClass<strativue::TNoShadowHintWindow>();
  }
  ~TLibraryLifetime() {
    // The toolkit outlives this module: it must not keep a hint window
    // factory (or a hint window) whose code goes away with it.
    toolkit::Application().ResetHintWindowClass();
    strativue::PcbApi::Unbind();
    strativue::FreeProcessParameters();
    strativue::FreePreferencePaths();
    strativue::FreeWorkspaceAccess();
    strativue::SetHostClient(nullptr);
  }
  TLibraryLifetime(const TLibraryLifetime&) = delete;
  TLibraryLifetime& operator=(const TLibraryLifetime&) = delete;
};

const TLibraryLifetime g_libraryLifetime;

}  // namespace

// Creates the server module for the host's client. The caller owns the one
// reference in *module; on failure *module is nil, the status E_UNEXPECTED
// and the error text in the thread's error information.
extern "C" ABI_EXPORT abi::HRESULT STDCALL ServerFactory(abi::IClient* client, abi::IServerModule** module) {
  return strativue::CreateServerModule(client, module);
}

// Crash reporting: composes the report line
//   "<module file>: thread <id>: <message>"
// into `buffer` (cut to fit, always zero-terminated when bufferSize > 0; nil
// buffer or size 0 write nothing) and answers the report's full length
// without the terminator, so that a caller can retry with a larger buffer.
// A nil message reports "(no message)".
extern "C" ABI_EXPORT int32_t STDCALL madTraceProcess(const char* message, char* buffer, int32_t bufferSize) {
  try {
    std::ostringstream report;
    report << strativue::ThisModuleFileName() << ": thread " << std::this_thread::get_id() << ": "
           << (message ? message : "(no message)");
    const std::string text = report.str();
    if (buffer && bufferSize > 0) {
      const std::size_t n = std::min(text.size(), static_cast<std::size_t>(bufferSize) - 1);
      std::memcpy(buffer, text.data(), n);
      buffer[n] = '\0';
    }
    return static_cast<int32_t>(std::min<std::size_t>(text.size(), INT32_MAX));
  } catch (...) {
    if (buffer && bufferSize > 0) buffer[0] = '\0';
    return 0;
  }
}
