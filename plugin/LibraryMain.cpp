// Module-only part of Strativue.so: the two exports and the steps that run
// when the host loads and unloads the module.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

#include "abi/IServerModule.h"
#include "abi/Types.h"
#include "platform/Boundary.h"
#include "plugin/RTL/ClientApi.h"
#include "plugin/RTL/CrashReport.h"
#include "plugin/RTL/HelpNavigation.h"
#include "plugin/RTL/HostClient.h"
#include "plugin/RTL/ModuleFile.h"
#include "plugin/RTL/Parameters.h"
#include "plugin/RTL/PcbApi.h"
#include "plugin/RTL/PreferencePaths.h"
#include "plugin/RTL/UiHooks.h"
#include "plugin/Strativue.h"

namespace {

// Constructed when the module is loaded, destroyed when it is unloaded:
// a static object runs exactly at those two moments on every platform.
class TLibraryLifetime {
 public:
  TLibraryLifetime() {
    strativue::ClientAPI::Resolve();
    qvabi::IClient* client = nullptr;
    strativue::ClientAPI::GetClientInterface(&client);
    strativue::SetHostClient(client);
    strativue::ResolvePreferenceLocation();
    strativue::PcbApi::Bind();
    strativue::InstallUiHooks();
  }
  ~TLibraryLifetime() {
    strativue::RemoveUiHooks();
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
extern "C" ABI_EXPORT qvabi::HRESULT STDCALL ServerFactory(qvabi::IClient* client,
                                                           qvabi::IServerModule** module) noexcept {
  return strativue::CreateServerModule(client, module);
}

// Crash reporting: writes the crash report of the calling thread, headed by
// `message` ("(no message)" when nil), at the caller's address, into
// `buffer` (cut to fit, always zero-terminated when bufferSize > 0; nil
// buffer or size 0 write nothing), and answers the report's full length
// without the terminator, so that a caller can retry with a larger buffer.
// The report is the one the error policy hands to the host: address, thread,
// stack and loaded modules.
extern "C" ABI_EXPORT __attribute__((noinline)) int32_t STDCALL madTraceProcess(const char* message,
                                                                                char* buffer,
                                                                                int32_t bufferSize) noexcept {
  // Read here, outside the guard's body, so that it is this export's caller.
  const auto caller = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
  if (buffer && bufferSize > 0) buffer[0] = '\0';
  return platform::Guarded<int32_t>(0, [&] {
    const std::string text = strativue::TraceCallingThread(message ? message : "(no message)", caller, true);
    if (buffer && bufferSize > 0) {
      const std::size_t n = std::min(text.size(), static_cast<std::size_t>(bufferSize) - 1);
      std::memcpy(buffer, text.data(), n);
      buffer[n] = '\0';
    }
    return static_cast<int32_t>(std::min<std::size_t>(text.size(), INT32_MAX));
  });
}

// The host calls both exports through these types: a different signature or
// calling convention here would unbalance its stack on 32-bit Windows.
// Both are noexcept: a pointer to each converts to its type and is not it.
static_assert(std::is_convertible_v<decltype(&ServerFactory), qvabi::ServerFactory_t*> &&
              !std::is_same_v<decltype(&ServerFactory), qvabi::ServerFactory_t*>);
static_assert(std::is_convertible_v<decltype(&madTraceProcess), qvabi::MadTraceProcess_t*> &&
              !std::is_same_v<decltype(&madTraceProcess), qvabi::MadTraceProcess_t*>);
