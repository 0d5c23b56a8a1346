#include "platform/Time.h"

#include <chrono>
#include <thread>

namespace platform {

void Sleep(uint32_t milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

}  // namespace platform
