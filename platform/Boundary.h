// The one guard at every function another module calls: the editor's
// exports, the host's flat functions and interface methods, the plug-in's
// exports and host-facing methods. No exception crosses a module boundary;
// the body's exception becomes the function's declared failure answer
// (a status, 0, nil or false, as the binary interface says).
#pragma once

#include <exception>
#include <string_view>
#include <utility>

#include "platform/FaultPoints.h"

namespace platform {

// Runs `body` and answers what it returns; `failure` when it throws.
template <typename Result, typename Body>
Result Guarded(Result failure, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    return failure;
  }
}

// As above for a function with a failure answer, which first asks the fault
// point `point` (named after the function) whether this call must fail. While
// nothing is armed the question is one relaxed atomic read.
template <typename Result, typename Body>
Result Guarded(std::string_view point, Result failure, Body&& body) noexcept {
  try {
    if (faults::ShouldFail(point)) return failure;
    return std::forward<Body>(body)();
  } catch (...) {
    return failure;
  }
}

// For a function that answers nothing: an exception ends the call.
template <typename Body>
void Guarded(Body&& body) noexcept {
  try {
    std::forward<Body>(body)();
  } catch (...) {
    return;
  }
}

// For a function whose failure answer tells what went wrong: `failure`
// makes the answer from the exception's text (nil for an exception that is
// not a std::exception).
template <typename Body, typename Failure>
auto GuardedReporting(Failure&& failure, Body&& body) noexcept -> decltype(body()) {
  try {
    return std::forward<Body>(body)();
  } catch (const std::exception& error) {
    return failure(error.what());
  } catch (...) {
    return failure(nullptr);
  }
}

}  // namespace platform
