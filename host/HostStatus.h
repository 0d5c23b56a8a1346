// How the host answers a failure: E_UNEXPECTED with the thread's error
// information describing it, as the plug-in expects of every host call.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "abi/Types.h"
#include "platform/Boundary.h"

namespace quorvex {

// Sets the thread's error information (source "Quorvex", the description
// given) and answers E_UNEXPECTED.
qvabi::HRESULT Fail(const std::string& description);

// Takes the calling thread's error information: its description and source
// (empty when there is none).
struct ThreadError {
  std::string description;
  std::string source;
};
ThreadError TakeThreadError();

// Host calls a test can make fail, to see how a plug-in copes. Each is the
// fault point "host.<name>" (platform/FaultPoints.h), armed like any other.
enum class HostCall {
  GetApplicationHandle,
  GetCurrentView,
  GetGUIManager,
  SetStatusBarText,
  GetOptionsManager,
  RefreshAfterCommand,
  GetOwnerDocument,
  GetKind,
  GetModuleForRedirect,
};
// Clears every injected failure, the options store's included.
void ClearInjectedFailures();
// Counts one call of `call`'s fault point; the description of the failure to
// answer, if this call must fail.
std::optional<std::string> InjectedFailure(HostCall call);
// The same for any host fault point ("host.GetDocumentKind", ...).
std::optional<std::string> HostFault(std::string_view point);

// The options store's values, read (ReadBoolean) or written (WriteBoolean).
enum class OptionsAccess { Read, Write };
// Counting from the next value of that kind (1) on, the `nth` one and every
// later one answers Fail(description), until cleared. nth < 1 clears.
void FailOptionsFrom(OptionsAccess access, int nth, const std::string& description);
// The options manager answers S_OK with nil instead of a reader (writer).
void WithholdOptions(OptionsAccess access, bool withheld);
// Counts one value of that kind; the failure it must answer, if any.
std::optional<std::string> CountOptionsValue(OptionsAccess access);
bool OptionsWithheld(OptionsAccess access);

// Runs `body`, which answers a status; an exception becomes Fail(what).
template <typename Body>
qvabi::HRESULT HostGuard(Body&& body) noexcept {
  return platform::GuardedReporting(
      [](const char* what) { return Fail(what ? what : "Unexpected failure in the host"); },
      std::forward<Body>(body));
}

// Clears an out argument; false for a nil one.
template <typename T>
bool ClearOut(T* out) {
  if (!out) return false;
  *out = T{};
  return true;
}

}  // namespace quorvex
