// The process and the programs it would start: effects that have no meaning
// here are appended to the journal (platform/Journal.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Appends an "exit" journal entry, flushes standard output (C stdio and
// std::cout), then ends the whole process with `code` even when flushing
// fails.
[[noreturn]] void ExitProcess(int code);

// Starts a program from a command line (the executable is the first word, or
// the text in double quotes at its start) as WinExec does: answers 33 and
// adds a "start" journal entry with the command line when the executable
// exists under the machine root, ERROR_FILE_NOT_FOUND (2) otherwise.
uint32_t StartProgram(std::string_view commandLine, int showCommand);

// Shell-opens a file or address: adds a "shell" journal entry
// ("<verb> <file> [<parameters>]") and answers 42 (success, above 32).
intptr_t ShellExecute(std::string_view verb, std::string_view file, std::string_view parameters,
                      std::string_view directory, int showCommand);

// A DDE execute transaction: adds a "dde" journal entry
// ("<service>|<topic>: <command>") and answers true.
bool DdeExecute(std::string_view service, std::string_view topic, std::string_view command);

// The version resource of an executable under the machine root, asked for
// with a "version" journal entry (the path). The stand-in executables are
// text files; a line "FileVersion=a.b.c.d" is their version resource. Answers 0 and the four parts;
// ERROR_FILE_NOT_FOUND (2) for a missing file; ERROR_RESOURCE_TYPE_NOT_FOUND (1813) when the file has no
// version line; ERROR_INVALID_DATA (13) for a malformed one.
inline constexpr int32_t ERROR_INVALID_DATA = 13;
inline constexpr int32_t ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
struct FileVersion {
  uint16_t major = 0, minor = 0, build = 0, revision = 0;
};
int32_t GetFileVersion(std::string_view windowsPath, FileVersion* version);

}  // namespace platform
