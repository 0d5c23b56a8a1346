// Per-thread error information, as OLE keeps it: a failing call leaves a
// description and a source for the caller to fetch.
#pragma once

#include "abi/Types.h"
#include "abi/Unknown.h"

namespace platform {

// {1CF2B120-547D-101B-8E65-08002B2BD119}
struct IErrorInfo : qvabi::IUnknown {
  static constexpr qvabi::GUID IID = {
      0x1CF2B120, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
  virtual qvabi::HRESULT STDCALL GetGUID(qvabi::GUID* guid) = 0;
  virtual qvabi::HRESULT STDCALL GetSource(qvabi::BSTR* source) = 0;
  virtual qvabi::HRESULT STDCALL GetDescription(qvabi::BSTR* description) = 0;
};

// {22F03340-547D-101B-8E65-08002B2BD119}
struct ICreateErrorInfo : qvabi::IUnknown {
  static constexpr qvabi::GUID IID = {
      0x22F03340, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
  virtual qvabi::HRESULT STDCALL SetGUID(const qvabi::GUID* guid) = 0;
  virtual qvabi::HRESULT STDCALL SetSource(qvabi::BSTR source) = 0;
  virtual qvabi::HRESULT STDCALL SetDescription(qvabi::BSTR description) = 0;
};

// A new, empty error-information object; the caller owns the reference and
// may query it for IErrorInfo. Fails (nil, E_UNEXPECTED) while the fault
// point "platform.CreateErrorInfo" says so.
qvabi::HRESULT CreateErrorInfo(ICreateErrorInfo** info);
// Makes `info` (nil clears) the calling thread's error information; the
// thread takes its own reference. `reserved` must be 0.
qvabi::HRESULT SetErrorInfo(uint32_t reserved, IErrorInfo* info);
// Hands the calling thread's error information to the caller (who releases
// it) and clears it; nil and S_FALSE (1) when there is none.
qvabi::HRESULT GetErrorInfo(uint32_t reserved, IErrorInfo** info);

}  // namespace platform
