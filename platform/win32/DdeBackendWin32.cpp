// The DDE client through the system's DDEML. Instances are Unicode: texts
// travel as UTF-16 and the system converts an execute command for a server
// that is not.
#include <string>

#include "platform/DdeBackend.h"
#include "platform/WideString.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

namespace platform::backend {
namespace {

::HSZ SystemString(HSZ handle) { return reinterpret_cast<::HSZ>(handle); }
::HCONV SystemConversation(HCONV handle) { return reinterpret_cast<::HCONV>(handle); }

static_assert(sizeof(::CONVCONTEXT) == sizeof(CONVCONTEXT));

}  // namespace

uint32_t DdeInitialize(uint32_t* instance, DdeCallback callback, uint32_t flags) {
  DWORD made = 0;
  // The caller's callback has the system's layout: pointer-sized handles
  // and the system's calling convention.
  const UINT error = ::DdeInitializeW(
      &made, reinterpret_cast<PFNCALLBACK>(reinterpret_cast<void (*)()>(callback)), flags, 0);
  if (error == 0) *instance = made;
  return error;
}

void DdeUninitialize(uint32_t instance) { ::DdeUninitialize(instance); }

HSZ DdeCreateStringHandle(uint32_t instance, std::string_view text) {
  const std::wstring wide = WideText(text);
  return reinterpret_cast<HSZ>(::DdeCreateStringHandleW(instance, wide.c_str(), CP_WINUNICODE));
}

void DdeFreeStringHandle(uint32_t instance, HSZ handle) {
  ::DdeFreeStringHandle(instance, SystemString(handle));
}

HCONV DdeConnect(uint32_t instance, HSZ service, HSZ topic, const CONVCONTEXT* context) {
  ::CONVCONTEXT system{};
  if (context) {
    system.cb = sizeof system;
    system.wFlags = context->wFlags;
    system.wCountryID = context->wCountryID;
    system.iCodePage = context->iCodePage;
    system.dwLangID = context->dwLangID;
    system.dwSecurity = context->dwSecurity;
    system.qos.Length = context->qos.Length;
    system.qos.ImpersonationLevel =
        static_cast<SECURITY_IMPERSONATION_LEVEL>(context->qos.ImpersonationLevel);
    system.qos.ContextTrackingMode = context->qos.ContextTrackingMode;
    system.qos.EffectiveOnly = context->qos.EffectiveOnly;
  }
  return reinterpret_cast<HCONV>(
      ::DdeConnect(instance, SystemString(service), SystemString(topic), context ? &system : nullptr));
}

void DdeDisconnect(HCONV conversation) { ::DdeDisconnect(SystemConversation(conversation)); }

HDDEDATA DdeExecute(HCONV conversation, std::string_view command, uint32_t timeout, uint32_t* result) {
  // The command with its terminating zero, in the instance's UTF-16.
  std::wstring text = WideText(command);
  DWORD answer = 0;
  const ::HDDEDATA done = ::DdeClientTransaction(
      reinterpret_cast<BYTE*>(text.data()), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)),
      SystemConversation(conversation), nullptr, 0, XTYP_EXECUTE, timeout, &answer);
  if (result) *result = answer;
  return reinterpret_cast<HDDEDATA>(done);
}

}  // namespace platform::backend
