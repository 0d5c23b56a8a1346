// Windows paths taken apart the way both systems read them, for the
// machine's path functions.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct WindowsPathParts {
  char drive = 'C';                // upper case
  std::vector<std::string> names;  // below the drive's root
};

// "\" and "/" both separate; no drive means drive C; "." and empty names
// vanish; ".." never climbs above the drive; trailing dots and blanks of a
// name are dropped as Windows does. False for what cannot be a Windows path:
// UNC, a NUL, a drive that is not a letter, a character Windows forbids in
// names.
bool SplitWindowsPath(std::string_view windowsPath, WindowsPathParts* parts);

// A native path from UTF-8 text (on Windows a plain std::string would be
// read in the ANSI code page).
inline std::filesystem::path NativePath(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace platform
