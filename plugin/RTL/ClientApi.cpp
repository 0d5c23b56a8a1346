#include "plugin/RTL/ClientApi.h"

#include <array>
#include <cstring>
#include <string>

namespace strativue::ClientAPI {
namespace {

enum class Id : int {
#define STRATIVUE_CLIENTAPI_ID(name, result, params) name,
  ABI_CLIENTAPI_FUNCTIONS(STRATIVUE_CLIENTAPI_ID)
#undef STRATIVUE_CLIENTAPI_ID
      VFS_FileExists,
  Count
};

constexpr int kEntryCount = static_cast<int>(Id::Count);

// Names without prefix, and the prefix each one is exported with.
constexpr std::array<const char*, kEntryCount> kNames = {
#define STRATIVUE_CLIENTAPI_NAME(name, result, params) #name,
    ABI_CLIENTAPI_FUNCTIONS(STRATIVUE_CLIENTAPI_NAME)
#undef STRATIVUE_CLIENTAPI_NAME
        "VFS_FileExists",
};

std::array<void*, kEntryCount> g_entries{};

const char* PrefixOf(int index) {
  return index == static_cast<int>(Id::VFS_FileExists) ? "VFSAPI_" : "ClientAPI_";
}

template <typename Fn>
Fn* EntryOf(Id id) {
  return reinterpret_cast<Fn*>(g_entries[static_cast<int>(id)]);
}

}  // namespace

void Resolve() { ResolveFrom(platform::MainProgramModule()); }

void ResolveFrom(platform::ModuleHandle module) {
  for (int i = 0; i < kEntryCount; ++i) {
    g_entries[i] = nullptr;
    if (!module) continue;
    const std::string exported = std::string(PrefixOf(i)) + kNames[i];
    g_entries[i] = platform::FindFunction(module, exported.c_str());
  }
}

void* Lookup(const char* name) {
  if (!name) return nullptr;
  for (int i = 0; i < kEntryCount; ++i)
    if (std::strcmp(name, kNames[i]) == 0) return g_entries[i];
  return nullptr;
}

void GetClientInterface(qvabi::IClient** client) {
  if (!client) return;
  *client = nullptr;
  if (auto* fn = EntryOf<qvabi::clientapi::GetClientInterface_t>(Id::GetClientInterface)) fn(client);
}

qvabi::BOOL32 GetPrefUseLuna() {
  auto* fn = EntryOf<qvabi::clientapi::GetPrefUseLuna_t>(Id::GetPrefUseLuna);
  return fn ? fn() : qvabi::kFalse32;
}

qvabi::BOOL32 GetPrefHideFloatingPanels() {
  auto* fn = EntryOf<qvabi::clientapi::GetPrefHideFloatingPanels_t>(Id::GetPrefHideFloatingPanels);
  return fn ? fn() : qvabi::kFalse32;
}

void SetPrefHideFloatingPanels(qvabi::BOOL32 hide) {
  if (auto* fn = EntryOf<qvabi::clientapi::SetPrefHideFloatingPanels_t>(Id::SetPrefHideFloatingPanels))
    fn(hide);
}

// Without the host's answer the system browser is the safe choice.
qvabi::BOOL32 GetUseExternalWebBrowser() {
  auto* fn = EntryOf<qvabi::clientapi::GetUseExternalWebBrowser_t>(Id::GetUseExternalWebBrowser);
  return fn ? fn() : qvabi::kTrue32;
}

qvabi::BOOL32 GetIntegratedHelpSystem() {
  auto* fn = EntryOf<qvabi::clientapi::GetIntegratedHelpSystem_t>(Id::GetIntegratedHelpSystem);
  return fn ? fn() : qvabi::kFalse32;
}

qvabi::BOOL32 GetUseSystemLocaleLanguage() {
  auto* fn = EntryOf<qvabi::clientapi::GetUseSystemLocaleLanguage_t>(Id::GetUseSystemLocaleLanguage);
  return fn ? fn() : qvabi::kFalse32;
}

qvabi::BOOL32 GetUseLocalizedDialogs() {
  auto* fn = EntryOf<qvabi::clientapi::GetUseLocalizedDialogs_t>(Id::GetUseLocalizedDialogs);
  return fn ? fn() : qvabi::kFalse32;
}

void GetTranslationManager(qvabi::IUnknown** manager) {
  if (!manager) return;
  *manager = nullptr;
  if (auto* fn = EntryOf<qvabi::clientapi::GetTranslationManager_t>(Id::GetTranslationManager)) fn(manager);
}

int32_t UpdateFont(void* logFont) {
  auto* fn = EntryOf<qvabi::clientapi::UpdateFont_t>(Id::UpdateFont);
  return fn ? fn(logFont) : 0;
}

void SetErrorInfo(qvabi::BSTR message, qvabi::BSTR report, uintptr_t address) {
  if (auto* fn = EntryOf<qvabi::clientapi::SetErrorInfo_t>(Id::SetErrorInfo)) fn(message, report, address);
}

void ClearErrorInfo() {
  if (auto* fn = EntryOf<qvabi::clientapi::ClearErrorInfo_t>(Id::ClearErrorInfo)) fn();
}

void HandleException(int32_t value) {
  if (auto* fn = EntryOf<qvabi::clientapi::HandleException_t>(Id::HandleException)) fn(value);
}

qvabi::BOOL32 VFS_FileExists(qvabi::BSTR path) {
  auto* fn = EntryOf<qvabi::clientapi::VFS_FileExists_t>(Id::VFS_FileExists);
  return fn ? fn(path) : qvabi::kFalse32;
}

}  // namespace strativue::ClientAPI
