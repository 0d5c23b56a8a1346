// The validator's child processes: quorvex started again with other
// arguments, its output gathered, and how it ended; and what the child
// measures of itself. Each system does these its own way (posix/, win32/).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvex::validate {

// A child that takes longer than this is stopped and its check fails.
inline constexpr unsigned kChildSeconds = 600;

struct ChildOutcome {
  std::string output;  // standard output and error together
  bool started = true;
  bool timedOut = false;
  // Ended by something other than its own exit (a signal, an unhandled
  // exception): what it was. Empty when the child exited with `code`.
  std::string crash;
  int code = 0;
};

// Runs this program again with `arguments` (without the program's name).
ChildOutcome RunSelf(const std::vector<std::string>& arguments);

// The child's side: ends this process as timed out after `seconds`.
void LimitRunningTime(unsigned seconds);

// Bytes of the C heap in use by the process, every module's allocations
// included.
int64_t HeapBytesInUse();

}  // namespace quorvex::validate
