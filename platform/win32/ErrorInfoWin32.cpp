// Thread error information kept by the system's OLE runtime, so that a
// description a module leaves behind reaches whoever asks the system's
// GetErrorInfo, in any module of the process. The platform's interfaces are
// the system's first slots (same identifiers, same order), so the system's
// objects are handed out as they are.
#include "platform/ErrorInfo.h"
#include "platform/FaultPoints.h"
#include "platform/win32/WindowsApi.h"

namespace platform {

static_assert(sizeof(qvabi::GUID) == sizeof(::GUID));

qvabi::HRESULT CreateErrorInfo(ICreateErrorInfo** info) {
  if (!info) return qvabi::E_POINTER;
  *info = nullptr;
  if (faults::ShouldFail("platform.CreateErrorInfo")) return qvabi::E_UNEXPECTED;
  ::ICreateErrorInfo* made = nullptr;
  if (FAILED(::CreateErrorInfo(&made)) || !made) return qvabi::E_UNEXPECTED;
  *info = reinterpret_cast<ICreateErrorInfo*>(made);
  return qvabi::S_OK;
}

qvabi::HRESULT SetErrorInfo(uint32_t reserved, IErrorInfo* info) {
  if (reserved != 0) return qvabi::E_INVALIDARG;
  return ::SetErrorInfo(0, reinterpret_cast<::IErrorInfo*>(info));
}

qvabi::HRESULT GetErrorInfo(uint32_t reserved, IErrorInfo** info) {
  if (!info) return qvabi::E_POINTER;
  *info = nullptr;
  if (reserved != 0) return qvabi::E_INVALIDARG;
  ::IErrorInfo* current = nullptr;
  const HRESULT status = ::GetErrorInfo(0, &current);
  *info = reinterpret_cast<IErrorInfo*>(current);
  return status;
}

}  // namespace platform
