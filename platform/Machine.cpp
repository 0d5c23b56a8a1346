// What both systems share: whole-file and folder operations on the native
// path that MapPath gives.
#include "platform/Machine.h"

#include <filesystem>

#include "platform/AtomicFile.h"
#include "platform/Safely.h"
#include "platform/WindowsPath.h"

namespace fs = std::filesystem;

namespace platform {
bool FileExists(std::string_view windowsPath) {
  const std::string path = MapPath(windowsPath);
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(NativePath(path), ec);
}

bool DirectoryExists(std::string_view windowsPath) {
  const std::string path = MapPath(windowsPath);
  std::error_code ec;
  return !path.empty() && fs::is_directory(NativePath(path), ec);
}

bool CreateDirectory(std::string_view windowsPath) {
  return Safely(false, [&] {
    const std::string path = MapPath(windowsPath);
    if (path.empty()) return false;
    std::error_code ec;
    if (!fs::is_directory(NativePath(path).parent_path(), ec)) return false;
    fs::create_directory(NativePath(path), ec);
    return fs::is_directory(NativePath(path), ec);
  });
}

bool CreateDirectories(std::string_view windowsPath) {
  return Safely(false, [&] {
    const std::string path = MapPath(windowsPath);
    if (path.empty()) return false;
    std::error_code ec;
    fs::create_directories(NativePath(path), ec);
    return fs::is_directory(NativePath(path), ec);
  });
}

bool ReadFile(std::string_view windowsPath, std::string* contents, std::string* error) {
  return Safely(false, [&] {
    const std::string path = MapPath(windowsPath);
    if (path.empty()) {
      if (error) *error = "not a valid Windows path: " + std::string(windowsPath);
      return false;
    }
    std::string reason;
    if (ReadWholeFile(NativePath(path), contents, &reason)) return true;
    if (error) *error = "cannot read " + std::string(windowsPath) + " (" + reason + ")";
    return false;
  });
}

bool WriteFile(std::string_view windowsPath, std::string_view contents, std::string* error) {
  return Safely(false, [&] {
    const std::string path = MapPath(windowsPath);
    if (path.empty()) {
      if (error) *error = "not a valid Windows path: " + std::string(windowsPath);
      return false;
    }
    std::error_code ec;
    if (!fs::is_directory(NativePath(path).parent_path(), ec)) {
      if (error) *error = "cannot write " + std::string(windowsPath) + ": its folder does not exist";
      return false;
    }
    return WriteFileAtomically(NativePath(path), contents, error);
  });
}

std::string GetHostProgramFolder() {
  return Safely<std::string>("C:\\Program Files\\Quorvex\\", [] {
    const std::string program = GetHostProgramPath();
    return program.substr(0, program.find_last_of('\\') + 1);
  });
}

}  // namespace platform
