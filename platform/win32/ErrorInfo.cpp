// Thread error information kept by the system's OLE runtime, so that a
// description a module leaves behind reaches whoever asks the system's
// GetErrorInfo, in any module of the process. The platform's interfaces are
// the system's first slots (same identifiers, same order), so the system's
// objects are handed out as they are.
#include "platform/ErrorInfo.h"

#include "platform/FaultPoints.h"
#include "platform/win32/WindowsApi.h"

namespace platform {

static_assert(sizeof(abi::GUID) == sizeof(::GUID));

abi::HRESULT CreateErrorInfo(ICreateErrorInfo** info) {
  if (!info) return abi::E_POINTER;
  *info = nullptr;
  if (faults::ShouldFail("platform.CreateErrorInfo")) return abi::E_UNEXPECTED;
  ::ICreateErrorInfo* made = nullptr;
  if (FAILED(::CreateErrorInfo(&made)) || !made) return abi::E_UNEXPECTED;
  *info = reinterpret_cast<ICreateErrorInfo*>(made);
  return abi::S_OK;
}

abi::HRESULT SetErrorInfo(uint32_t reserved, IErrorInfo* info) {
  if (reserved != 0) return abi::E_INVALIDARG;
  return ::SetErrorInfo(0, reinterpret_cast<::IErrorInfo*>(info));
}

abi::HRESULT GetErrorInfo(uint32_t reserved, IErrorInfo** info) {
  if (!info) return abi::E_POINTER;
  *info = nullptr;
  if (reserved != 0) return abi::E_INVALIDARG;
  ::IErrorInfo* current = nullptr;
  const HRESULT status = ::GetErrorInfo(0, &current);
  *info = reinterpret_cast<IErrorInfo*>(current);
  return status;
}

}  // namespace platform
