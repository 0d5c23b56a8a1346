#include "host/HostStatus.h"

#include <array>
#include <mutex>

#include "abi/Unknown.h"
#include "platform/ErrorInfo.h"
#include "platform/FaultPoints.h"
#include "platform/WideString.h"

namespace quorvex {
namespace {

struct OptionsFailure {
  int nth = 0;  // 0: none
  int counted = 0;
  std::string description;
  bool withheld = false;
};

struct Injected {
  std::mutex lock;
  OptionsFailure options[2];
};

Injected& InjectedState() {
  static Injected state;
  return state;
}

constexpr HostCall kCalls[] = {
    HostCall::GetApplicationHandle, HostCall::GetCurrentView,    HostCall::GetGUIManager,
    HostCall::SetStatusBarText,     HostCall::GetOptionsManager, HostCall::RefreshAfterCommand,
    HostCall::GetOwnerDocument,     HostCall::GetKind,           HostCall::GetModuleForRedirect,
};

// A switch without a default, so that a call added to HostCall without its
// point's name does not compile (-Wswitch) instead of failing under a name
// nobody arms.
const char* PointOf(HostCall call) {
  switch (call) {
    case HostCall::GetApplicationHandle:
      return "host.GetApplicationHandle";
    case HostCall::GetCurrentView:
      return "host.GetCurrentView";
    case HostCall::GetGUIManager:
      return "host.GetGUIManager";
    case HostCall::SetStatusBarText:
      return "host.SetStatusBarText";
    case HostCall::GetOptionsManager:
      return "host.GetOptionsManager";
    case HostCall::RefreshAfterCommand:
      return "host.RefreshAfterCommand";
    case HostCall::GetOwnerDocument:
      return "host.GetOwnerDocument";
    case HostCall::GetKind:
      return "host.GetKind";
    case HostCall::GetModuleForRedirect:
      return "host.GetModuleForRedirect";
  }
  return "host.Unknown";
}

}  // namespace

qvabi::HRESULT Fail(const std::string& description) {
  qvabi::ComPtr<platform::ICreateErrorInfo> create;
  if (qvabi::Succeeded(platform::CreateErrorInfo(create.put())) && create) {
    create->SetSource(platform::BStr::FromUtf8("Quorvex").get());
    create->SetDescription(platform::BStr::FromUtf8(description).get());
    const auto info = qvabi::QueryAs<platform::IErrorInfo>(create.get());
    platform::SetErrorInfo(0, info.get());
  }
  return qvabi::E_UNEXPECTED;
}

ThreadError TakeThreadError() {
  ThreadError error;
  qvabi::ComPtr<platform::IErrorInfo> info;
  if (platform::GetErrorInfo(0, info.put()) != qvabi::S_OK || !info) return error;
  platform::BStr description;
  platform::BStr source;
  if (qvabi::Succeeded(info->GetDescription(description.put()))) error.description = description.utf8();
  if (qvabi::Succeeded(info->GetSource(source.put()))) error.source = source.utf8();
  return error;
}

void ClearInjectedFailures() {
  for (const HostCall call : kCalls) platform::faults::Disarm(PointOf(call));
  Injected& state = InjectedState();
  std::lock_guard lock(state.lock);
  for (OptionsFailure& options : state.options) options = OptionsFailure{};
}

std::optional<std::string> InjectedFailure(HostCall call) { return HostFault(PointOf(call)); }

std::optional<std::string> HostFault(std::string_view point) { return platform::faults::Check(point); }

void FailOptionsFrom(OptionsAccess access, int nth, const std::string& description) {
  Injected& state = InjectedState();
  std::lock_guard lock(state.lock);
  OptionsFailure& options = state.options[static_cast<int>(access)];
  options.nth = nth < 1 ? 0 : nth;
  options.counted = 0;
  options.description = description;
}

void WithholdOptions(OptionsAccess access, bool withheld) {
  Injected& state = InjectedState();
  std::lock_guard lock(state.lock);
  state.options[static_cast<int>(access)].withheld = withheld;
}

std::optional<std::string> CountOptionsValue(OptionsAccess access) {
  Injected& state = InjectedState();
  std::lock_guard lock(state.lock);
  OptionsFailure& options = state.options[static_cast<int>(access)];
  if (options.nth == 0) return std::nullopt;
  if (options.counted < options.nth) ++options.counted;
  if (options.counted < options.nth) return std::nullopt;
  return options.description;
}

bool OptionsWithheld(OptionsAccess access) {
  Injected& state = InjectedState();
  std::lock_guard lock(state.lock);
  return state.options[static_cast<int>(access)].withheld;
}

}  // namespace quorvex
