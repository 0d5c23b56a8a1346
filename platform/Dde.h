// The DDE client (DDEML) as a program uses it to send an execute command to
// another program: an instance, string handles, a conversation, one
// transaction. On Windows these are the system's own calls and the command
// reaches a real server; elsewhere nothing travels anywhere and every service
// and topic answers. On both, an execute transaction is recorded in the
// journal as a "dde" entry ("<service>|<topic>: <command>").
//
// A test can make a service and topic unavailable (SetDdeServerAvailable).
// Thread-safe; no function here throws. Where each module links its own copy
// of the platform, the bookkeeping below (refusals, the open-object count) is
// the module's own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "abi/Types.h"

namespace platform {

// Pointer-sized, as the system's handles are.
using HSZ = uintptr_t;       // string handle; 0 is none
using HCONV = uintptr_t;     // conversation; 0 is none
using HDDEDATA = uintptr_t;  // transaction result; 0 is failure

// Called by the system (on Windows) with its own handles.
using DdeCallback = HDDEDATA(STDCALL*)(uint32_t type, uint32_t format, HCONV conversation, HSZ hsz1, HSZ hsz2,
                                       HDDEDATA data, uintptr_t data1, uintptr_t data2);

inline constexpr uint32_t DMLERR_NO_ERROR = 0;
inline constexpr uint32_t DMLERR_INVALIDPARAMETER = 0x4006;
inline constexpr uint32_t DMLERR_NO_CONV_ESTABLISHED = 0x400A;

inline constexpr int CP_WINANSI = 1004;
inline constexpr int CP_WINUNICODE = 1200;
inline constexpr uint32_t CF_TEXT = 1;
inline constexpr uint32_t XTYP_EXECUTE = 0x4050;
inline constexpr uint32_t TIMEOUT_ASYNC = 0xFFFFFFFFu;

// The conversation context; `cb` must hold its size.
struct SECURITY_QUALITY_OF_SERVICE {
  uint32_t Length;
  int32_t ImpersonationLevel;
  uint8_t ContextTrackingMode;
  uint8_t EffectiveOnly;
};
static_assert(sizeof(SECURITY_QUALITY_OF_SERVICE) == 12);

struct CONVCONTEXT {
  uint32_t cb;
  uint32_t wFlags;
  uint32_t wCountryID;
  int32_t iCodePage;
  uint32_t dwLangID;
  uint32_t dwSecurity;
  SECURITY_QUALITY_OF_SERVICE qos;
};
static_assert(sizeof(CONVCONTEXT) == 36);
static_assert(offsetof(CONVCONTEXT, iCodePage) == 12 && offsetof(CONVCONTEXT, qos) == 24);

// *instance must be 0 on entry; a nil callback is refused.
uint32_t DdeInitialize(uint32_t* instance, DdeCallback callback, uint32_t flags);
bool DdeUninitialize(uint32_t instance);
// Code page CP_WINANSI or CP_WINUNICODE; 0 for a bad instance or code page.
HSZ DdeCreateStringHandle(uint32_t instance, std::string_view text, int codePage);
bool DdeFreeStringHandle(uint32_t instance, HSZ handle);
// 0 when the service and topic do not answer, the handles are unknown or the
// context's size field is wrong.
HCONV DdeConnect(uint32_t instance, HSZ service, HSZ topic, const CONVCONTEXT* context);
bool DdeDisconnect(HCONV conversation);
// Only XTYP_EXECUTE with CF_TEXT is understood: `data` holds `size` bytes of
// UTF-8 command text, up to a terminating zero if there is one. Records the
// command and answers non-zero when the server took it (or, with
// TIMEOUT_ASYNC, when it was sent; `*result` then identifies the transaction).
// Any other transaction answers 0.
HDDEDATA DdeClientTransaction(const void* data, uint32_t size, HCONV conversation, HSZ item, uint32_t format,
                              uint32_t type, uint32_t timeout, uint32_t* result);

// Test seam: makes a service and topic refuse (or again accept) connections.
void SetDdeServerAvailable(std::string_view service, std::string_view topic, bool available);
// Instances, string handles (each creation counts) and conversations still
// open (a leak check).
int DdeOpenObjectCount();
// Gives back every instance (with its handles and conversations) and forgets
// every refusal.
void ResetDde();

}  // namespace platform
