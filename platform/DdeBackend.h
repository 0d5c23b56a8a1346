// What each system does its own way for platform/Dde.h, after the shared
// functions checked the arguments against the objects they know: the POSIX
// backend only numbers the objects, the Win32 backend makes the system's
// DDEML calls.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/Dde.h"

namespace platform::backend {

// DMLERR_NO_ERROR and the new instance, or the system's error.
uint32_t DdeInitialize(uint32_t* instance, DdeCallback callback, uint32_t flags);
void DdeUninitialize(uint32_t instance);
// 0 when the system refuses.
HSZ DdeCreateStringHandle(uint32_t instance, std::string_view text);
void DdeFreeStringHandle(uint32_t instance, HSZ handle);
// 0 when no server answers.
HCONV DdeConnect(uint32_t instance, HSZ service, HSZ topic, const CONVCONTEXT* context);
void DdeDisconnect(HCONV conversation);
// Sends an execute command; DdeClientTransaction's answer.
HDDEDATA DdeExecute(HCONV conversation, std::string_view command, uint32_t timeout, uint32_t* result);

}  // namespace platform::backend
