#include <atomic>

#include "platform/Threads.h"

namespace platform {

ThreadId CurrentThreadId() {
  // One shared library holds the platform here, so a counter of its own is
  // one numbering for the whole process.
  static std::atomic<ThreadId> last{0};
  thread_local const ThreadId id = ++last;
  return id;
}

}  // namespace platform
