// The shell's folders as a program asks for them (SHGetSpecialFolderPath).
// Every query is recorded in the journal as a "folder" entry
// ("<csidl> <path>"), so tests can see what was asked.
#pragma once

#include <string>

namespace platform {

// The Windows path of a shell folder (CSIDL_APPDATA, ... from Machine.h),
// without trailing backslash; empty for an unknown CSIDL. The user's profile
// folders exist on every Windows machine, so a folder missing under the
// machine root is created (with its parents) before the path is answered.
std::string GetShellFolderPath(int csidl);

}  // namespace platform
