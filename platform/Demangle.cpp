#include <cxxabi.h>

#include <cstdlib>
#include <memory>

#include "platform/Diagnostics.h"

namespace platform {

std::string DemangleName(const char* name) {
  if (!name) return {};
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(name, nullptr, nullptr, &status),
                                                   std::free);
  return status == 0 && demangled ? std::string(demangled.get()) : std::string(name);
}

}  // namespace platform
