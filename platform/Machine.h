// The machine. On Windows it is the system itself: a Windows path is the
// native path and the facts are the system's. Elsewhere everything Windows
// keeps outside the process lives under one folder, the machine root:
// Windows paths ("C:\Windows\vemtro.ini") map to files under it
// (<root>/C/Windows/vemtro.ini) and the optional <root>/machine.ini holds the
// machine's facts.
//
// No function here throws; failures answer false, empty text or defaults.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Geometry.h"

namespace platform {

// Chooses the machine root for the whole process (tests make their own in a
// temporary folder). An empty path goes back to the default choice: the
// environment variable QUORVEX_MACHINE, else $HOME/.local/state/quorvex/machine.
// Windows has no machine root: there this changes nothing.
void SetMachineRoot(const std::string& nativePath);
// The native path of the machine root in use; the folder is created when
// missing. Empty on Windows.
std::string MachineRoot();

// The native path of a Windows path: under the root, where drive letters and
// every existing component match without regard to letter case and
// components that do not exist yet keep their spelling; on Windows the path
// itself, normalised ("C:\a\b", a drive alone as "C:\"). "\" and "/" both separate; a path without
// a drive is on drive C; ".." never climbs above the drive. Empty for a path
// that cannot be a Windows path (UNC, a character Windows forbids in names).
std::string MapPath(std::string_view windowsPath);

bool FileExists(std::string_view windowsPath);
bool DirectoryExists(std::string_view windowsPath);
// One level: the parent must exist. True when the folder exists afterwards.
bool CreateDirectory(std::string_view windowsPath);
// Every missing level. True when the folder exists afterwards.
bool CreateDirectories(std::string_view windowsPath);
// Whole-file helpers. WriteFile replaces the file atomically (a crash never
// leaves half a file); the folder must exist. On failure *error (when given)
// gets a one-line reason naming the file.
bool ReadFile(std::string_view windowsPath, std::string* contents, std::string* error = nullptr);
bool WriteFile(std::string_view windowsPath, std::string_view contents, std::string* error = nullptr);

// The machine's facts. On Windows from the system (monitors: the default
// one when the system reports none, as without a display). Elsewhere from
// <root>/machine.ini, read afresh when that file changed:
//   [Windows]  Version=10.0
//   [Locale]   System=1033  User=1033
//   [User]     Name=user
//   [Host]     Program=C:\Program Files\Quorvex\Quorvex.exe
//   [Monitor1] Bounds=0,0,1920,1080  WorkArea=0,0,1920,1040  (Monitor2, ... in order;
//              the first is the primary one; WorkArea defaults to Bounds)
// A missing file or key gives the default; a broken value gives the default
// and is reported by MachineFactsProblem.
struct OsVersion {
  uint32_t major = 10;
  uint32_t minor = 0;
};
OsVersion GetOsVersion();
uint32_t GetSystemDefaultLocaleId();  // default 1033
uint32_t GetUserDefaultLocaleId();    // default: the system locale id
std::string GetUserName();            // default "user"
// Full Windows path of the host program (Windows' module file name of the
// main executable).
std::string GetHostProgramPath();
// Its folder with a trailing backslash.
std::string GetHostProgramFolder();

struct MonitorInfo {
  Rect bounds;
  Rect workArea;
  bool primary = false;
};
// At least one monitor (default: 1920 x 1080 at 0,0).
std::vector<MonitorInfo> GetMonitors();

// The first problem found in machine.ini ("<path>, line 3: ..."), empty when
// there is none, and always on Windows.
std::string MachineFactsProblem();

// "C:\Windows" (on Windows: the system's Windows folder).
std::string GetWindowsDirectory();

inline constexpr int CSIDL_APPDATA = 26;        // C:\Users\<user>\AppData\Roaming
inline constexpr int CSIDL_LOCAL_APPDATA = 28;  // C:\Users\<user>\AppData\Local
inline constexpr int CSIDL_PERSONAL = 5;        // C:\Users\<user>\Documents
inline constexpr int CSIDL_PROGRAM_FILES = 38;  // C:\Program Files
// The Windows path of a shell folder, without trailing backslash; empty for
// an unknown CSIDL. Creates nothing. On Windows the system's answer.
std::string GetSpecialFolder(int csidl);

}  // namespace platform
