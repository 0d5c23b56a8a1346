// The host's flat functions (ClientAPI_ prefix, and the virtual-file-system
// query VFSAPI_VFS_FileExists), exported by the host program or a library it
// links, and resolved by name by plug-ins from the main program's handle.
//
// ABI_CLIENTAPI_FUNCTIONS lists (name, result, parameters); the host defines
// each as extern "C" ClientAPI_<name>, and plug-ins derive their function
// pointer types from the same list. Wide strings are BSTRs owned by the
// caller unless said otherwise.
#pragma once

#include "abi/IClient.h"
#include "abi/Types.h"

namespace qvabi {

// clang-format off
#define ABI_CLIENTAPI_FUNCTIONS(X)                                                                 \
  /* The process-wide client. No reference is given: the host keeps it alive for as long as */    \
  /* any plug-in is loaded. */                                                                    \
  X(GetClientInterface, void, (::qvabi::IClient** client))                                         \
  X(GetPrefUseLuna, ::qvabi::BOOL32, (void))                                                        \
  X(GetPrefHideFloatingPanels, ::qvabi::BOOL32, (void))                                             \
  X(SetPrefHideFloatingPanels, void, (::qvabi::BOOL32 hide))                                        \
  X(GetUseExternalWebBrowser, ::qvabi::BOOL32, (void))                                              \
  X(GetIntegratedHelpSystem, ::qvabi::BOOL32, (void))                                               \
  X(GetUseSystemLocaleLanguage, ::qvabi::BOOL32, (void))                                            \
  X(GetUseLocalizedDialogs, ::qvabi::BOOL32, (void))                                                \
  /* The translation manager, a new reference, or nil. */                                         \
  X(GetTranslationManager, void, (::qvabi::IUnknown** manager))                                     \
  /* Offers a 60-byte font description; non-zero when the host changed it. */                     \
  X(UpdateFont, int32_t, (void* logFont))                                                         \
  /* Error information for the host's error reporting. */                                         \
  X(SetErrorInfo, void, (::qvabi::BSTR message, ::qvabi::BSTR report, uintptr_t address))             \
  X(ClearErrorInfo, void, (void))                                                                 \
  X(HandleException, void, (int32_t value))
// clang-format on

namespace clientapi {
#define ABI_CLIENTAPI_DECLARE_TYPE(name, result, params) using name##_t = result STDCALL params;
ABI_CLIENTAPI_FUNCTIONS(ABI_CLIENTAPI_DECLARE_TYPE)
#undef ABI_CLIENTAPI_DECLARE_TYPE

// VFSAPI_VFS_FileExists: true (-1) when the host's virtual file system has
// the file.
using VFS_FileExists_t = BOOL32 STDCALL(BSTR path);
}  // namespace clientapi

}  // namespace qvabi
