// The host's flat functions, exported by name with C linkage so that a
// plug-in finds them from the main program's handle. Preferences come from
// the host settings file (HostSettings.h); error reports are recorded for
// tests and quorvex to show. No exception leaves these functions.
#include "abi/ClientApi.h"
#include "host/Host.h"
#include "host/HostSettings.h"
#include "platform/Machine.h"
#include "platform/WideString.h"

namespace {

std::string Narrow(abi::BSTR text) {
  return platform::Utf16ToUtf8(std::u16string_view(text ? text : u"", platform::SysStringLen(text)));
}

abi::BOOL32 Preference(const char* name, bool defaultValue = false) {
  try {
    return abi::ToBool32(quorvex::GetPreference(name, defaultValue));
  } catch (...) {
    return abi::ToBool32(defaultValue);
  }
}

}  // namespace

extern "C" {

ABI_EXPORT void STDCALL ClientAPI_GetClientInterface(abi::IClient** client) {
  if (!client) return;
  try {
    *client = quorvex::Host::Instance().client();
  } catch (...) {
    *client = nullptr;
  }
}

ABI_EXPORT abi::BOOL32 STDCALL ClientAPI_GetPrefUseLuna() { return Preference("UseLuna"); }

ABI_EXPORT abi::BOOL32 STDCALL ClientAPI_GetPrefHideFloatingPanels() {
  return Preference("HideFloatingPanels");
}

ABI_EXPORT void STDCALL ClientAPI_SetPrefHideFloatingPanels(abi::BOOL32 hide) {
  try {
    quorvex::SetPreference("HideFloatingPanels", hide != 0);
  } catch (...) {
  }
}

ABI_EXPORT abi::BOOL32 STDCALL ClientAPI_GetUseExternalWebBrowser() {
  return Preference("UseExternalWebBrowser");
}

ABI_EXPORT abi::BOOL32 STDCALL ClientAPI_GetIntegratedHelpSystem() {
  return Preference("IntegratedHelpSystem");
}

ABI_EXPORT abi::BOOL32 STDCALL ClientAPI_GetUseSystemLocaleLanguage() {
  return Preference("UseSystemLocaleLanguage");
}

ABI_EXPORT abi::BOOL32 STDCALL ClientAPI_GetUseLocalizedDialogs() {
  return Preference("UseLocalizedDialogs");
}

// This host has no translation manager yet.
ABI_EXPORT void STDCALL ClientAPI_GetTranslationManager(abi::IUnknown** manager) {
  if (manager) *manager = nullptr;
}

// The host never changes the font offered; the calls are counted.
ABI_EXPORT int32_t STDCALL ClientAPI_UpdateFont(void*) {
  try {
    quorvex::Host::Instance().countUpdateFont();
  } catch (...) {
  }
  return 0;
}

ABI_EXPORT void STDCALL ClientAPI_SetErrorInfo(abi::BSTR message, abi::BSTR report, uintptr_t address) {
  try {
    quorvex::ErrorReport entry{quorvex::ErrorReport::Kind::SetErrorInfo, Narrow(message), Narrow(report),
                               address, 0};
    quorvex::Host::Instance().recordErrorReport(std::move(entry));
  } catch (...) {
  }
}

ABI_EXPORT void STDCALL ClientAPI_ClearErrorInfo() {
  try {
    quorvex::Host::Instance().recordErrorReport({quorvex::ErrorReport::Kind::ClearErrorInfo, {}, {}, 0, 0});
  } catch (...) {
  }
}

ABI_EXPORT void STDCALL ClientAPI_HandleException(int32_t value) {
  try {
    quorvex::Host::Instance().recordErrorReport(
        {quorvex::ErrorReport::Kind::HandleException, {}, {}, 0, value});
  } catch (...) {
  }
}

ABI_EXPORT abi::BOOL32 STDCALL VFSAPI_VFS_FileExists(abi::BSTR path) {
  try {
    return abi::ToBool32(platform::FileExists(Narrow(path)));
  } catch (...) {
    return abi::kFalse32;
  }
}

}  // extern "C"

// The exports must match the declared function types exactly.
#define QUORVEX_CHECK_CLIENTAPI_TYPE(name, result, params) \
  static_assert(std::is_same_v<decltype(&ClientAPI_##name), abi::clientapi::name##_t*>);
ABI_CLIENTAPI_FUNCTIONS(QUORVEX_CHECK_CLIENTAPI_TYPE)
#undef QUORVEX_CHECK_CLIENTAPI_TYPE
static_assert(std::is_same_v<decltype(&VFSAPI_VFS_FileExists), abi::clientapi::VFS_FileExists_t*>);
