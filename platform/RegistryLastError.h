// The registry's per-thread failure reason, set by the backend's Reg*
// functions and by the shared conveniences; read through RegLastError().
#pragma once

#include <string>

namespace platform {

// Empty after a call that succeeded.
void SetRegLastError(std::string reason);

}  // namespace platform
