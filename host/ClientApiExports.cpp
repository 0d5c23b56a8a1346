// The host's flat functions, exported by name with C linkage so that a
// plug-in finds them from the main program's handle. Preferences come from
// the host settings file (HostSettings.h); error reports are recorded for
// tests and quorvex to show. No exception leaves these functions.
#include <algorithm>
#include <cstring>

#include "abi/ClientApiFunctions.h"
#include "abi/ITranslationManager.h"
#include "host/Host.h"
#include "host/HostSettings.h"
#include "host/TranslationManager.h"
#include "platform/Journal.h"
#include "platform/Machine.h"
#include "platform/WideString.h"

namespace {

std::string Narrow(qvabi::BSTR text) {
  return platform::Utf16ToUtf8(std::u16string_view(text ? text : u"", platform::SysStringLen(text)));
}

qvabi::BOOL32 Preference(const char* name, bool defaultValue = false) {
  try {
    return qvabi::ToBool32(quorvex::GetPreference(name, defaultValue));
  } catch (...) {
    return qvabi::ToBool32(defaultValue);
  }
}

}  // namespace

extern "C" {

ABI_EXPORT void STDCALL ClientAPI_GetClientInterface(qvabi::IClient** client) {
  if (!client) return;
  try {
    *client = quorvex::Host::Instance().client();
  } catch (...) {
    *client = nullptr;
  }
}

ABI_EXPORT qvabi::BOOL32 STDCALL ClientAPI_GetPrefUseLuna() { return Preference("UseLuna"); }

ABI_EXPORT qvabi::BOOL32 STDCALL ClientAPI_GetPrefHideFloatingPanels() {
  return Preference("HideFloatingPanels");
}

ABI_EXPORT void STDCALL ClientAPI_SetPrefHideFloatingPanels(qvabi::BOOL32 hide) {
  try {
    platform::JournalAppend("host", std::string("hide floating panels ") + (hide != 0 ? "on" : "off"));
    quorvex::SetPreference("HideFloatingPanels", hide != 0);
  } catch (...) {
  }
}

ABI_EXPORT qvabi::BOOL32 STDCALL ClientAPI_GetUseExternalWebBrowser() {
  return Preference("UseExternalWebBrowser");
}

ABI_EXPORT qvabi::BOOL32 STDCALL ClientAPI_GetIntegratedHelpSystem() {
  return Preference("IntegratedHelpSystem");
}

ABI_EXPORT qvabi::BOOL32 STDCALL ClientAPI_GetUseSystemLocaleLanguage() {
  return Preference("UseSystemLocaleLanguage");
}

ABI_EXPORT qvabi::BOOL32 STDCALL ClientAPI_GetUseLocalizedDialogs() {
  return Preference("UseLocalizedDialogs");
}

// A manager while the dictionary file exists (TranslationManager.h).
ABI_EXPORT void STDCALL ClientAPI_GetTranslationManager(qvabi::IUnknown** manager) {
  if (!manager) return;
  *manager = nullptr;
  try {
    if (!platform::FileExists(quorvex::DictionaryPath())) return;
    auto* created = new quorvex::TranslationManager();
    created->AddRef();
    *manager = static_cast<qvabi::ITranslationManager*>(created);
  } catch (...) {
  }
}

// Gives the font description the [LocaleFont] face and character set of the
// host settings and answers 1; answers 0, changing nothing, without them.
// The calls are counted.
ABI_EXPORT int32_t STDCALL ClientAPI_UpdateFont(void* logFont) {
  try {
    quorvex::Host::Instance().countUpdateFont();
    const auto font = quorvex::GetLocaleFont();
    if (!logFont || !font) return 0;
    auto* description = static_cast<qvabi::LogFont*>(logFont);
    std::memset(description->lfFaceName, 0, sizeof description->lfFaceName);
    std::memcpy(description->lfFaceName, font->name.data(),
                std::min(font->name.size(), sizeof description->lfFaceName - 1));
    description->lfCharSet = font->charset;
    platform::JournalAppend("host", "update font " + font->name);
    return 1;
  } catch (...) {
    return 0;
  }
}

ABI_EXPORT void STDCALL ClientAPI_SetErrorInfo(qvabi::BSTR message, qvabi::BSTR report, uintptr_t address) {
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

ABI_EXPORT qvabi::BOOL32 STDCALL VFSAPI_VFS_FileExists(qvabi::BSTR path) {
  try {
    return qvabi::ToBool32(platform::FileExists(Narrow(path)));
  } catch (...) {
    return qvabi::kFalse32;
  }
}

}  // extern "C"

// The exports must match the declared function types exactly.
#define QUORVEX_CHECK_CLIENTAPI_TYPE(name, result, params) \
  static_assert(std::is_same_v<decltype(&ClientAPI_##name), qvabi::clientapi::name##_t*>);
ABI_CLIENTAPI_FUNCTIONS(QUORVEX_CHECK_CLIENTAPI_TYPE)
#undef QUORVEX_CHECK_CLIENTAPI_TYPE
static_assert(std::is_same_v<decltype(&VFSAPI_VFS_FileExists), qvabi::clientapi::VFS_FileExists_t*>);
