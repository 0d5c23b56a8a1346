#include "plugin/RTL/Exceptions.h"

#include "abi/Unknown.h"
#include "platform/ErrorInfo.h"
#include "platform/WideString.h"
#include "plugin/RTL/ModuleFile.h"

namespace strativue {
namespace {

// Best effort: an error that cannot be described must still be raised.
void RecordErrorInfo(const std::string& message) noexcept {
  try {
    abi::ComPtr<platform::ICreateErrorInfo> create;
    if (abi::Failed(platform::CreateErrorInfo(create.put())) || !create) return;
    create->SetSource(platform::BStr::FromUtf8(ThisModuleFileName()).get());
    create->SetDescription(platform::BStr::FromUtf8(message).get());
    const auto info = abi::QueryAs<platform::IErrorInfo>(create.get());
    if (info) platform::SetErrorInfo(0, info.get());
  } catch (...) {
  }
}

}  // namespace

Exception::Exception(const std::string& message) : std::runtime_error(message) { RecordErrorInfo(message); }

}  // namespace strativue
