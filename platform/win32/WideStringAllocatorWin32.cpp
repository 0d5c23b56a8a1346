// BSTRs from the system's OLE allocator, so that a string this module hands
// out can be freed by any other module with SysFreeString, and the other way
// round.
#include <limits>

#include "platform/FaultPoints.h"
#include "platform/WideString.h"
#include "platform/win32/WindowsApi.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "BSTRs are UTF-16 on Windows");

namespace platform {

qvabi::BSTR SysAllocStringLen(const char16_t* text, uint32_t length) {
  if (length > kMaxBstrLength || faults::ShouldFail("platform.SysAllocString")) return nullptr;
  BSTR made = ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text), length);
  // OLE leaves the characters of a nil text uninitialised; ours are zero.
  if (made && !text)
    for (uint32_t i = 0; i < length; ++i) made[i] = 0;
  return reinterpret_cast<qvabi::BSTR>(made);
}

void SysFreeString(qvabi::BSTR text) {
  if (text) ::SysFreeString(reinterpret_cast<BSTR>(text));
}

uint32_t SysStringLen(qvabi::BSTR text) { return text ? ::SysStringLen(reinterpret_cast<BSTR>(text)) : 0; }

}  // namespace platform
