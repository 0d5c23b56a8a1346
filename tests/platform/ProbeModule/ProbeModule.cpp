// A module that the platform tests load and look up by name. It links the
// platform as the plug-in does: on Windows that is a copy of its own.
#include "abi/Types.h"
#include "platform/FaultPoints.h"

extern "C" ABI_EXPORT int PlatformProbe_Answer() { return 42; }

// The outcome of `calls` calls of `point` made in this module: 'x' failed,
// '.' went on; `out` holds calls + 1 characters.
extern "C" ABI_EXPORT void PlatformProbe_FaultPattern(const char* point, int calls, char* out) {
  for (int i = 0; i < calls; ++i) out[i] = platform::faults::ShouldFail(point) ? 'x' : '.';
  out[calls] = '\0';
}

extern "C" ABI_EXPORT void PlatformProbe_ArmFault(const char* pattern) {
  platform::faults::Arm({pattern, 0, {}});
}
