#include "platform/WindowsPath.h"

namespace platform {
namespace {

constexpr std::string_view kForbiddenInNames = "<>:\"|?*";

}  // namespace

bool SplitWindowsPath(std::string_view windowsPath, WindowsPathParts* parts) {
  std::string path(windowsPath);
  for (char& c : path)
    if (c == '/') c = '\\';
  if (path.find('\0') != std::string::npos || path.rfind("\\\\", 0) == 0) return false;
  WindowsPathParts result;
  std::string_view rest = path;
  if (path.size() >= 2 && path[1] == ':') {
    const char letter = path[0];
    if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z'))) return false;
    result.drive = static_cast<char>(letter & ~0x20);
    rest.remove_prefix(2);
  }
  while (!rest.empty()) {
    const size_t slash = rest.find('\\');
    std::string part(rest.substr(0, slash));
    rest.remove_prefix(slash == std::string_view::npos ? rest.size() : slash + 1);
    if (part == "..") {
      if (!result.names.empty()) result.names.pop_back();
      continue;
    }
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
    if (part.empty()) continue;
    for (unsigned char c : part)
      if (c < 0x20 || kForbiddenInNames.find(static_cast<char>(c)) != std::string_view::npos) return false;
    result.names.push_back(std::move(part));
  }
  *parts = std::move(result);
  return true;
}

}  // namespace platform
