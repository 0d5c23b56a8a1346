#include "platform/Shell.h"

#include "platform/Journal.h"
#include "platform/Machine.h"

namespace platform {

std::string GetShellFolderPath(int csidl) {
  try {
    const std::string path = GetSpecialFolder(csidl);
    JournalAppend("folder", std::to_string(csidl) + " " + path);
    if (!path.empty()) CreateDirectories(path);
    return path;
  } catch (...) {
    return {};
  }
}

}  // namespace platform
