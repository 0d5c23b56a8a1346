// The stand-in: programs are files under the machine root and nothing is
// started; a stand-in executable is a text file whose line
// "FileVersion=a.b.c.d" is its version resource.
#include <charconv>
#include <cstdlib>
#include <string>

#include "platform/IniFile.h"
#include "platform/Machine.h"
#include "platform/ProcessBackend.h"
#include "platform/Registry.h"

namespace platform::backend {
namespace {

// The executable of a command line: the quoted text at its start, or its
// first word.
std::string ExecutableOf(std::string_view commandLine) {
  while (!commandLine.empty() && commandLine.front() == ' ') commandLine.remove_prefix(1);
  if (!commandLine.empty() && commandLine.front() == '"') {
    const size_t close = commandLine.find('"', 1);
    return std::string(
        commandLine.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
  }
  return std::string(commandLine.substr(0, commandLine.find(' ')));
}

}  // namespace

void EndProcess(int code) { std::_Exit(code); }

uint32_t StartProgram(std::string_view commandLine, int /*showCommand*/) {
  const std::string executable = ExecutableOf(commandLine);
  if (executable.empty() || !FileExists(executable)) return static_cast<uint32_t>(ERROR_FILE_NOT_FOUND);
  return 33;
}

intptr_t ShellExecute(std::string_view /*verb*/, std::string_view /*file*/, std::string_view /*parameters*/,
                      std::string_view /*directory*/, int /*showCommand*/) {
  return 42;
}

int32_t GetFileVersion(std::string_view windowsPath, FileVersion* version) {
  std::string text;
  if (!FileExists(windowsPath) || !ReadFile(windowsPath, &text)) return ERROR_FILE_NOT_FOUND;
  const IniText ini("[Version]\n" + text);
  const auto value = ini.Get("Version", "FileVersion");
  if (!value) return ERROR_RESOURCE_TYPE_NOT_FOUND;
  uint16_t parts[4] = {0, 0, 0, 0};
  std::string_view rest = *value;
  for (int i = 0; i < 4 && !rest.empty(); ++i) {
    const size_t dot = rest.find('.');
    const std::string_view part = rest.substr(0, dot);
    auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), parts[i]);
    if (ec != std::errc() || end != part.data() + part.size() || part.empty()) return ERROR_INVALID_DATA;
    rest = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
    if (dot != std::string_view::npos && rest.empty()) return ERROR_INVALID_DATA;
  }
  if (!rest.empty()) return ERROR_INVALID_DATA;
  if (version) *version = {parts[0], parts[1], parts[2], parts[3]};
  return 0;
}

}  // namespace platform::backend
