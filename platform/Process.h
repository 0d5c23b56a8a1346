// The process and the programs it starts. On Windows these are the system's
// own calls; elsewhere programs and their versions are stand-in files under
// the machine root and nothing is started. On both, what was asked is
// appended to the journal (platform/Journal.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Appends an "exit" journal entry, flushes standard output and error (C
// stdio and std::cout), then ends the whole process with `code` even when
// flushing fails.
[[noreturn]] void ExitProcess(int code);

// Starts a program from a command line (the executable is the first word, or
// the text in double quotes at its start) as WinExec does: answers 33 and
// adds a "start" journal entry with the command line when the program
// started, else an error below 32 (ERROR_FILE_NOT_FOUND (2) for a missing
// executable). Windows waits until the program is ready for input (at most
// 30 s); the stand-in starts nothing and succeeds when the executable exists
// under the machine root.
uint32_t StartProgram(std::string_view commandLine, int showCommand);

// Shell-opens a file or address: adds a "shell" journal entry
// ("<verb> <file> [<parameters>]") and answers the shell's result, above 32
// on success (the stand-in opens nothing and answers 42). An empty verb is
// the file's default one.
intptr_t ShellExecute(std::string_view verb, std::string_view file, std::string_view parameters,
                      std::string_view directory, int showCommand);

// One DDE execute transaction through the client of platform/Dde.h (which
// adds the "dde" journal entry "<service>|<topic>: <command>"): true when a
// server of that service and topic took the command within 10 s.
bool DdeExecute(std::string_view service, std::string_view topic, std::string_view command);

// The file version in an executable's version resource, asked for with a
// "version" journal entry (the path). Answers 0 and the four parts;
// ERROR_FILE_NOT_FOUND (2) for a missing file; ERROR_RESOURCE_TYPE_NOT_FOUND
// (1813) when the file has no version resource; ERROR_INVALID_DATA (13) for
// a malformed one; on Windows, whatever else the system reports. The
// stand-in executables are text files under the machine root whose line
// "FileVersion=a.b.c.d" is their version resource.
inline constexpr int32_t ERROR_INVALID_DATA = 13;
inline constexpr int32_t ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
struct FileVersion {
  uint16_t major = 0, minor = 0, build = 0, revision = 0;
};
int32_t GetFileVersion(std::string_view windowsPath, FileVersion* version);

}  // namespace platform
