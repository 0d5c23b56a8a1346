// Per-thread error information, as OLE keeps it: a failing call leaves a
// description and a source for the caller to fetch.
#pragma once

#include "abi/Types.h"
#include "abi/Unknown.h"

namespace platform {

// {1CF2B120-547D-101B-8E65-08002B2BD119}
struct IErrorInfo : abi::IUnknown {
  static constexpr abi::GUID IID = {
      0x1CF2B120, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
  virtual abi::HRESULT STDCALL GetGUID(abi::GUID* guid) = 0;
  virtual abi::HRESULT STDCALL GetSource(abi::BSTR* source) = 0;
  virtual abi::HRESULT STDCALL GetDescription(abi::BSTR* description) = 0;
};

// {22F03340-547D-101B-8E65-08002B2BD119}
struct ICreateErrorInfo : abi::IUnknown {
  static constexpr abi::GUID IID = {
      0x22F03340, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
  virtual abi::HRESULT STDCALL SetGUID(const abi::GUID* guid) = 0;
  virtual abi::HRESULT STDCALL SetSource(abi::BSTR source) = 0;
  virtual abi::HRESULT STDCALL SetDescription(abi::BSTR description) = 0;
};

// A new, empty error-information object; the caller owns the reference and
// may query it for IErrorInfo. Fails (nil, E_UNEXPECTED) while the fault
// point "platform.CreateErrorInfo" says so.
abi::HRESULT CreateErrorInfo(ICreateErrorInfo** info);
// Makes `info` (nil clears) the calling thread's error information; the
// thread takes its own reference. `reserved` must be 0.
abi::HRESULT SetErrorInfo(uint32_t reserved, IErrorInfo* info);
// Hands the calling thread's error information to the caller (who releases
// it) and clears it; nil and S_FALSE (1) when there is none.
abi::HRESULT GetErrorInfo(uint32_t reserved, IErrorInfo** info);

}  // namespace platform
