// The host's flat functions, exported by name with C linkage so that a
// plug-in finds them from the main program's handle. Preferences come from
// the host settings file (HostSettings.h); error reports are recorded for
// tests and quorvex to show. Each runs through the one boundary guard
// (platform/Boundary.h), so no exception leaves it.
#include <algorithm>
#include <cstring>

#include "abi/ClientApiFunctions.h"
#include "abi/ITranslationManager.h"
#include "host/Host.h"
#include "host/HostSettings.h"
#include "host/TranslationManager.h"
#include "platform/Boundary.h"
#include "platform/Journal.h"
#include "platform/Machine.h"
#include "platform/WideString.h"

namespace {

using platform::Guarded;

qvabi::BOOL32 Preference(const char* name, bool defaultValue = false) noexcept {
  return Guarded(qvabi::ToBool32(defaultValue),
                 [&] { return qvabi::ToBool32(quorvex::GetPreference(name, defaultValue)); });
}

}  // namespace

extern "C" {

ABI_EXPORT void STDCALL ClientAPI_GetClientInterface(qvabi::IClient** client) noexcept {
  if (!client) return;
  *client = Guarded<qvabi::IClient*>(nullptr, [] { return quorvex::Host::Instance().GetClient(); });
}

ABI_EXPORT qvabi::BOOL32 STDCALL ClientAPI_GetPrefUseLuna() noexcept { return Preference("UseLuna"); }

ABI_EXPORT qvabi::BOOL32 STDCALL ClientAPI_GetPrefHideFloatingPanels() noexcept {
  return Preference("HideFloatingPanels");
}

ABI_EXPORT void STDCALL ClientAPI_SetPrefHideFloatingPanels(qvabi::BOOL32 hide) noexcept {
  Guarded([&] {
    platform::JournalAppend("host", std::string("hide floating panels ") + (hide != 0 ? "on" : "off"));
    quorvex::SetPreference("HideFloatingPanels", hide != 0);
  });
}

ABI_EXPORT qvabi::BOOL32 STDCALL ClientAPI_GetUseExternalWebBrowser() noexcept {
  return Preference("UseExternalWebBrowser");
}

ABI_EXPORT qvabi::BOOL32 STDCALL ClientAPI_GetIntegratedHelpSystem() noexcept {
  return Preference("IntegratedHelpSystem");
}

ABI_EXPORT qvabi::BOOL32 STDCALL ClientAPI_GetUseSystemLocaleLanguage() noexcept {
  return Preference("UseSystemLocaleLanguage");
}

ABI_EXPORT qvabi::BOOL32 STDCALL ClientAPI_GetUseLocalizedDialogs() noexcept {
  return Preference("UseLocalizedDialogs");
}

// A manager while the dictionary file exists (TranslationManager.h).
ABI_EXPORT void STDCALL ClientAPI_GetTranslationManager(qvabi::IUnknown** manager) noexcept {
  if (!manager) return;
  *manager = nullptr;
  Guarded([&] {
    if (!platform::FileExists(quorvex::DictionaryPath())) return;
    auto* created = new quorvex::TranslationManager();
    created->AddRef();
    *manager = static_cast<qvabi::ITranslationManager*>(created);
  });
}

// Gives the font description the [LocaleFont] face and character set of the
// host settings and answers 1; answers 0, changing nothing, without them.
// The calls are counted.
ABI_EXPORT int32_t STDCALL ClientAPI_UpdateFont(void* logFont) noexcept {
  return Guarded<int32_t>(0, [&] {
    quorvex::Host::Instance().CountUpdateFont();
    const auto font = quorvex::GetLocaleFont();
    if (!logFont || !font) return 0;
    auto* description = static_cast<qvabi::LogFont*>(logFont);
    std::memset(description->lfFaceName, 0, sizeof description->lfFaceName);
    std::memcpy(description->lfFaceName, font->name.data(),
                std::min(font->name.size(), sizeof description->lfFaceName - 1));
    description->lfCharSet = font->charset;
    platform::JournalAppend("host", "update font " + font->name);
    return 1;
  });
}

ABI_EXPORT void STDCALL ClientAPI_SetErrorInfo(qvabi::BSTR message, qvabi::BSTR report,
                                               uintptr_t address) noexcept {
  Guarded([&] {
    quorvex::ErrorReport entry{quorvex::ErrorReport::Kind::SetErrorInfo, platform::BStrToUtf8(message),
                               platform::BStrToUtf8(report), address, 0};
    quorvex::Host::Instance().RecordErrorReport(std::move(entry));
  });
}

ABI_EXPORT void STDCALL ClientAPI_ClearErrorInfo() noexcept {
  Guarded([] {
    quorvex::Host::Instance().RecordErrorReport({quorvex::ErrorReport::Kind::ClearErrorInfo, {}, {}, 0, 0});
  });
}

ABI_EXPORT void STDCALL ClientAPI_HandleException(int32_t value) noexcept {
  Guarded([&] {
    quorvex::Host::Instance().RecordErrorReport(
        {quorvex::ErrorReport::Kind::HandleException, {}, {}, 0, value});
  });
}

ABI_EXPORT qvabi::BOOL32 STDCALL VFSAPI_VFS_FileExists(qvabi::BSTR path) noexcept {
  return Guarded(qvabi::kFalse32,
                 [&] { return qvabi::ToBool32(platform::FileExists(platform::BStrToUtf8(path))); });
}

}  // extern "C"

// The exports have the declared function types, and are noexcept: a pointer
// to each converts to the declared pointer type and is not that type itself.
#define QUORVEX_CHECK_CLIENTAPI_TYPE(name, result, params)                                         \
  static_assert(std::is_convertible_v<decltype(&ClientAPI_##name), qvabi::clientapi::name##_t*> && \
                !std::is_same_v<decltype(&ClientAPI_##name), qvabi::clientapi::name##_t*>);
ABI_CLIENTAPI_FUNCTIONS(QUORVEX_CHECK_CLIENTAPI_TYPE)
#undef QUORVEX_CHECK_CLIENTAPI_TYPE
static_assert(std::is_convertible_v<decltype(&VFSAPI_VFS_FileExists), qvabi::clientapi::VFS_FileExists_t*> &&
              !std::is_same_v<decltype(&VFSAPI_VFS_FileExists), qvabi::clientapi::VFS_FileExists_t*>);
