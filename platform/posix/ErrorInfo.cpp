#include "platform/ErrorInfo.h"

#include <new>
#include <string>

#include "platform/FaultPoints.h"
#include "platform/WideString.h"

namespace platform {
namespace {

constexpr abi::HRESULT S_FALSE = 1;

class ErrorInfoObject final : public abi::Implements<ICreateErrorInfo, IErrorInfo> {
 public:
  abi::HRESULT STDCALL SetGUID(const abi::GUID* guid) override {
    if (!guid) return abi::E_INVALIDARG;
    guid_ = *guid;
    return abi::S_OK;
  }
  abi::HRESULT STDCALL SetSource(abi::BSTR source) override { return Store(source, &source_); }
  abi::HRESULT STDCALL SetDescription(abi::BSTR description) override {
    return Store(description, &description_);
  }

  abi::HRESULT STDCALL GetGUID(abi::GUID* guid) override {
    if (!guid) return abi::E_POINTER;
    *guid = guid_;
    return abi::S_OK;
  }
  abi::HRESULT STDCALL GetSource(abi::BSTR* source) override { return Hand(source_, source); }
  abi::HRESULT STDCALL GetDescription(abi::BSTR* description) override {
    return Hand(description_, description);
  }

 private:
  static abi::HRESULT Store(abi::BSTR text, std::u16string* field) {
    try {
      field->assign(text ? std::u16string_view(text, SysStringLen(text)) : std::u16string_view());
      return abi::S_OK;
    } catch (...) {
      return abi::E_UNEXPECTED;
    }
  }
  static abi::HRESULT Hand(const std::u16string& field, abi::BSTR* out) {
    if (!out) return abi::E_POINTER;
    *out = SysAllocStringLen(field.data(), static_cast<uint32_t>(field.size()));
    return *out ? abi::S_OK : abi::E_UNEXPECTED;
  }

  abi::GUID guid_{};
  std::u16string source_;
  std::u16string description_;
};

// The thread's current error information; the reference is the thread's.
abi::ComPtr<IErrorInfo>& ThreadErrorInfo() {
  thread_local abi::ComPtr<IErrorInfo> current;
  return current;
}

}  // namespace

abi::HRESULT CreateErrorInfo(ICreateErrorInfo** info) {
  if (!info) return abi::E_POINTER;
  *info = nullptr;
  if (faults::ShouldFail("platform.CreateErrorInfo")) return abi::E_UNEXPECTED;
  auto* object = new (std::nothrow) ErrorInfoObject();
  if (!object) return abi::E_UNEXPECTED;
  *info = object;
  object->AddRef();
  return abi::S_OK;
}

abi::HRESULT SetErrorInfo(uint32_t reserved, IErrorInfo* info) {
  if (reserved != 0) return abi::E_INVALIDARG;
  ThreadErrorInfo() = abi::ComPtr<IErrorInfo>::Share(info);
  return abi::S_OK;
}

abi::HRESULT GetErrorInfo(uint32_t reserved, IErrorInfo** info) {
  if (!info) return abi::E_POINTER;
  *info = nullptr;
  if (reserved != 0) return abi::E_INVALIDARG;
  *info = ThreadErrorInfo().detach();
  return *info ? abi::S_OK : S_FALSE;
}

}  // namespace platform
