// The identity of a thread, the same in every module of the process.
// std::thread::id is not: on Windows each module carries its own copy of the
// threads library, and each copy numbers the threads its own way.
#pragma once

#include <cstdint>

namespace platform {

// Never 0; 0 means "no thread".
using ThreadId = uint64_t;

ThreadId CurrentThreadId();

}  // namespace platform
