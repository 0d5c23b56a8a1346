// The boundary every method exposed to another module passes: exceptions stay
// inside the plug-in and turn into a status, through the same guard as every
// other module's boundary (platform/Boundary.h).
#pragma once

#include <utility>

#include "abi/Types.h"
#include "platform/Boundary.h"

namespace strativue {

// Runs `body`; S_OK when it returns, E_UNEXPECTED when anything was thrown.
// The error text is already in the thread's error information (Exception).
template <typename Body>
qvabi::HRESULT Guard(Body&& body) noexcept {
  return platform::Guarded(qvabi::E_UNEXPECTED, [&] {
    std::forward<Body>(body)();
    return qvabi::S_OK;
  });
}

}  // namespace strativue
