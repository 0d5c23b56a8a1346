// A module that the platform tests load and look up by name.
#include "abi/Types.h"

extern "C" ABI_EXPORT int PlatformProbe_Answer() { return 42; }
