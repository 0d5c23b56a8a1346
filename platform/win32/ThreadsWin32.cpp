#include "platform/Threads.h"
#include "platform/win32/WindowsApi.h"

namespace platform {

ThreadId CurrentThreadId() { return ::GetCurrentThreadId(); }

}  // namespace platform
