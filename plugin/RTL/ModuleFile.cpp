#include "plugin/RTL/ModuleFile.h"

#include <cstddef>

#include "abi/Types.h"
#include "platform/Modules.h"

namespace strativue {
namespace {
constexpr std::size_t kModuleFileNameLimit = 260;
}  // namespace

std::string ThisModuleFileName() {
  static const int anchor = 0;
  std::string path = platform::ModuleFileNameOf(&anchor);
  path.resize(qvabi::Utf8CutLength(path, kModuleFileNameLimit));
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace strativue
