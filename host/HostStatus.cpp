#include "host/HostStatus.h"

#include <map>
#include <mutex>

#include "abi/Unknown.h"
#include "platform/ErrorInfo.h"
#include "platform/WideString.h"

namespace quorvex {
namespace {

struct Injected {
  std::mutex lock;
  std::map<HostCall, std::string> failures;
};

Injected& InjectedState() {
  static Injected state;
  return state;
}

}  // namespace

abi::HRESULT Fail(const std::string& description) {
  abi::ComPtr<platform::ICreateErrorInfo> create;
  if (abi::Succeeded(platform::CreateErrorInfo(create.put())) && create) {
    create->SetSource(platform::BStr::FromUtf8("Quorvex").get());
    create->SetDescription(platform::BStr::FromUtf8(description).get());
    const auto info = abi::QueryAs<platform::IErrorInfo>(create.get());
    platform::SetErrorInfo(0, info.get());
  }
  return abi::E_UNEXPECTED;
}

ThreadError TakeThreadError() {
  ThreadError error;
  abi::ComPtr<platform::IErrorInfo> info;
  if (platform::GetErrorInfo(0, info.put()) != abi::S_OK || !info) return error;
  platform::BStr description;
  platform::BStr source;
  if (abi::Succeeded(info->GetDescription(description.put()))) error.description = description.utf8();
  if (abi::Succeeded(info->GetSource(source.put()))) error.source = source.utf8();
  return error;
}

void InjectFailure(HostCall call, const std::string& description) {
  Injected& state = InjectedState();
  std::lock_guard lock(state.lock);
  state.failures[call] = description;
}

void ClearInjectedFailures() {
  Injected& state = InjectedState();
  std::lock_guard lock(state.lock);
  state.failures.clear();
}

std::optional<std::string> InjectedFailure(HostCall call) {
  Injected& state = InjectedState();
  std::lock_guard lock(state.lock);
  const auto found = state.failures.find(call);
  if (found == state.failures.end()) return std::nullopt;
  return found->second;
}

}  // namespace quorvex
