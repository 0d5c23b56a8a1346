// The host's flat functions (ClientAPI_ and VFSAPI_VFS_FileExists), resolved
// once at load from the main program.
//
// Each wrapper has the host function's name without the prefix:
// ClientAPI::GetPrefUseLuna() calls ClientAPI_GetPrefUseLuna. A wrapper whose
// function is missing does nothing and answers false, 0 or nil (out
// interfaces are set to nil); GetUseExternalWebBrowser answers true.
#pragma once

#include <cstdint>

#include "abi/ClientApiFunctions.h"
#include "platform/Modules.h"

namespace strativue::ClientAPI {

// Resolves every name from the main program (and the libraries it links).
void Resolve();
// Resolves every name from `module`; nil leaves every entry missing.
void ResolveFrom(platform::ModuleHandle module);
// The entry of a name given without prefix ("GetPrefUseLuna",
// "VFS_FileExists"); nil when missing or unknown.
void* Lookup(const char* name);

// The host client; no reference is given. Nil when missing.
void GetClientInterface(qvabi::IClient** client);
qvabi::BOOL32 GetPrefUseLuna();
qvabi::BOOL32 GetPrefHideFloatingPanels();
void SetPrefHideFloatingPanels(qvabi::BOOL32 hide);
qvabi::BOOL32 GetUseExternalWebBrowser();
qvabi::BOOL32 GetIntegratedHelpSystem();
qvabi::BOOL32 GetUseSystemLocaleLanguage();
qvabi::BOOL32 GetUseLocalizedDialogs();
// A new reference, or nil.
void GetTranslationManager(qvabi::IUnknown** manager);
int32_t UpdateFont(void* logFont);
void SetErrorInfo(qvabi::BSTR message, qvabi::BSTR report, uintptr_t address);
void ClearErrorInfo();
void HandleException(int32_t value);
// VFSAPI_VFS_FileExists.
qvabi::BOOL32 VFS_FileExists(qvabi::BSTR path);

}  // namespace strativue::ClientAPI
