#include "plugin/RTL/Exceptions.h"

#include "abi/Unknown.h"
#include "platform/Diagnostics.h"
#include "platform/ErrorInfo.h"
#include "platform/WideString.h"
#include "plugin/RTL/AsciiCase.h"
#include "plugin/RTL/ModuleFile.h"

namespace strativue {
namespace {

constexpr int kMaxRaiseFrames = 48;

// Best effort: an error that cannot be described must still be raised.
void RecordErrorInfo(const std::string& message) noexcept {
  try {
    qvabi::ComPtr<platform::ICreateErrorInfo> create;
    if (qvabi::Failed(platform::CreateErrorInfo(create.put())) || !create) return;
    create->SetSource(platform::BStr::FromUtf8(ThisModuleFileName()).get());
    create->SetDescription(platform::BStr::FromUtf8(message).get());
    const auto info = qvabi::QueryAs<platform::IErrorInfo>(create.get());
    if (info) platform::SetErrorInfo(0, info.get());
  } catch (...) {
  }
}

}  // namespace

bool ExceptionClass::InheritsFrom(std::string_view className) const {
  for (const ExceptionClass* c = this; c != nullptr; c = c->parent)
    if (IsSameText(c->name, className)) return true;
  return false;
}

const ExceptionClass& Exception::StaticClass() {
  static const ExceptionClass info{"Exception", nullptr};
  return info;
}

Exception::Exception(const std::string& message) : std::runtime_error(message) {
  RecordErrorInfo(message);
  try {
    // Skip this constructor's own frame: the stack starts where it was called.
    stack_ = platform::CaptureStackBackTrace(1, kMaxRaiseFrames);
  } catch (...) {
  }
}

}  // namespace strativue
