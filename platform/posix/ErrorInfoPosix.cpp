#include <new>
#include <string>

#include "platform/ErrorInfo.h"
#include "platform/FaultPoints.h"
#include "platform/WideString.h"

namespace platform {
namespace {

constexpr qvabi::HRESULT S_FALSE = 1;

class ErrorInfoObject final : public qvabi::Implements<ICreateErrorInfo, IErrorInfo> {
 public:
  qvabi::HRESULT STDCALL SetGUID(const qvabi::GUID* guid) override {
    if (!guid) return qvabi::E_INVALIDARG;
    guid_ = *guid;
    return qvabi::S_OK;
  }
  qvabi::HRESULT STDCALL SetSource(qvabi::BSTR source) override { return Store(source, &source_); }
  qvabi::HRESULT STDCALL SetDescription(qvabi::BSTR description) override {
    return Store(description, &description_);
  }

  qvabi::HRESULT STDCALL GetGUID(qvabi::GUID* guid) override {
    if (!guid) return qvabi::E_POINTER;
    *guid = guid_;
    return qvabi::S_OK;
  }
  qvabi::HRESULT STDCALL GetSource(qvabi::BSTR* source) override { return Hand(source_, source); }
  qvabi::HRESULT STDCALL GetDescription(qvabi::BSTR* description) override {
    return Hand(description_, description);
  }

 private:
  static qvabi::HRESULT Store(qvabi::BSTR text, std::u16string* field) {
    try {
      field->assign(text ? std::u16string_view(text, SysStringLen(text)) : std::u16string_view());
      return qvabi::S_OK;
    } catch (...) {
      return qvabi::E_UNEXPECTED;
    }
  }
  static qvabi::HRESULT Hand(const std::u16string& field, qvabi::BSTR* out) {
    if (!out) return qvabi::E_POINTER;
    *out = SysAllocStringLen(field.data(), static_cast<uint32_t>(field.size()));
    return *out ? qvabi::S_OK : qvabi::E_UNEXPECTED;
  }

  qvabi::GUID guid_{};
  std::u16string source_;
  std::u16string description_;
};

// The thread's current error information; the reference is the thread's.
qvabi::ComPtr<IErrorInfo>& ThreadErrorInfo() {
  thread_local qvabi::ComPtr<IErrorInfo> current;
  return current;
}

}  // namespace

qvabi::HRESULT CreateErrorInfo(ICreateErrorInfo** info) {
  if (!info) return qvabi::E_POINTER;
  *info = nullptr;
  if (faults::ShouldFail("platform.CreateErrorInfo")) return qvabi::E_UNEXPECTED;
  auto* object = new (std::nothrow) ErrorInfoObject();
  if (!object) return qvabi::E_UNEXPECTED;
  *info = object;
  object->AddRef();
  return qvabi::S_OK;
}

qvabi::HRESULT SetErrorInfo(uint32_t reserved, IErrorInfo* info) {
  if (reserved != 0) return qvabi::E_INVALIDARG;
  ThreadErrorInfo() = qvabi::ComPtr<IErrorInfo>::Share(info);
  return qvabi::S_OK;
}

qvabi::HRESULT GetErrorInfo(uint32_t reserved, IErrorInfo** info) {
  if (!info) return qvabi::E_POINTER;
  *info = nullptr;
  if (reserved != 0) return qvabi::E_INVALIDARG;
  *info = ThreadErrorInfo().detach();
  return *info ? qvabi::S_OK : S_FALSE;
}

}  // namespace platform
