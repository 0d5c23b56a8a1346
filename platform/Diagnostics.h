// What a crash report needs to know about the running process: thread ids,
// the calling thread's stack, the loaded modules and the names of code
// addresses. No function here throws; failures answer empty results.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The calling thread's 32-bit id, as Windows' GetCurrentThreadId gives it
// (the kernel's thread id here).
uint32_t GetCurrentThreadId();

// Return addresses of the calling thread's stack, innermost first. `skip`
// frames above the caller of this function are left out (0 starts with the
// caller itself); at most `maxFrames` are given.
std::vector<uintptr_t> CaptureStackBackTrace(int skip, int maxFrames);

struct LoadedModuleInfo {
  std::string path;    // full path; the main program's own path for it
  uintptr_t base = 0;  // lowest mapped address
  uintptr_t size = 0;  // from base to the end of the highest mapped segment
};
// Every module mapped into the process, in load order.
std::vector<LoadedModuleInfo> GetLoadedModules();

struct AddressInfo {
  std::string modulePath;  // empty when no module holds the address
  uintptr_t moduleBase = 0;
  std::string function;  // demangled; empty without symbols
  uintptr_t functionOffset = 0;
};
// A C++ symbol or type name in its source form ("N9strativue9ExceptionE"
// gives "strativue::Exception"); the name itself when it is not mangled.
std::string DemangleName(const char* mangled);

// The module holding a code address and, when the module carries symbols
// (exported or in its symbol table), the function it falls in. False when
// no module holds the address.
bool DescribeAddress(uintptr_t address, AddressInfo* info);

}  // namespace platform
