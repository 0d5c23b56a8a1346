// What each system does its own way for platform/Process.h: the POSIX
// backend is the stand-in (programs and their versions are files under the
// machine root, nothing is started), the Win32 backend makes the system's
// calls. The shared functions around these keep the journal.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/Process.h"

namespace platform::backend {

// Ends the process with `code` after the caller flushed its output.
[[noreturn]] void EndProcess(int code);

// WinExec's answer: above 31 when the program started, else the error.
uint32_t StartProgram(std::string_view commandLine, int showCommand);

// ShellExecute's answer: above 32 on success.
intptr_t ShellExecute(std::string_view verb, std::string_view file, std::string_view parameters,
                      std::string_view directory, int showCommand);

// 0 and the four parts, or the system error.
int32_t GetFileVersion(std::string_view windowsPath, FileVersion* version);

}  // namespace platform::backend
