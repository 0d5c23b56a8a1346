// Waiting.
#pragma once

#include <cstdint>

namespace platform {

// Suspends the calling thread for about `milliseconds`.
void Sleep(uint32_t milliseconds);

}  // namespace platform
