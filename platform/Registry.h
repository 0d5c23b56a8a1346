// The registry. On Windows it is the system's own (advapi32): handles are
// small numbers standing for the system's keys, statuses and reasons are the
// system's. Elsewhere it is kept in <root>/registry.reg in the registry-file
// text format ("Windows Registry Editor Version 5.00", [HKEY_CURRENT_USER\...]
// sections, "Name"="text", "Name"=dword:0000002a, @ for the default value),
// read afresh whenever it changed and written at once after every change
// (through a temporary file and a rename).
//
// Key paths compare without regard to letter case; a leading backslash in a
// subkey is accepted. A malformed registry.reg is never overwritten: reads
// fail with ERROR_BADDB and writes are refused, and RegLastError() names the
// file and line. No function here throws.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

using HKEY = uint32_t;
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;

// Status codes (Win32 error numbers).
inline constexpr int32_t ERROR_SUCCESS = 0;
inline constexpr int32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr int32_t ERROR_ACCESS_DENIED = 5;
inline constexpr int32_t ERROR_INVALID_HANDLE = 6;
inline constexpr int32_t ERROR_WRITE_FAULT = 29;
inline constexpr int32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr int32_t ERROR_BADDB = 1009;
inline constexpr int32_t ERROR_KEY_DELETED = 1018;

// Access masks; any of them opens a key that exists.
inline constexpr uint32_t KEY_QUERY_VALUE = 0x0001;
inline constexpr uint32_t KEY_SET_VALUE = 0x0002;
inline constexpr uint32_t KEY_READ = 0x20019;
inline constexpr uint32_t KEY_WRITE = 0x20006;
inline constexpr uint32_t KEY_ALL_ACCESS = 0xF003F;

// Value types.
inline constexpr uint32_t REG_NONE = 0;
inline constexpr uint32_t REG_SZ = 1;
inline constexpr uint32_t REG_BINARY = 3;
inline constexpr uint32_t REG_DWORD = 4;

struct RegValue {
  uint32_t type = REG_NONE;
  std::string text;    // REG_SZ (UTF-8)
  uint32_t dword = 0;  // REG_DWORD
  // Any other type: the bytes as written after "hex:" / "hex(n):" in the
  // file, kept so that rewriting the file loses nothing.
  std::string rawHex;
};

// Opens an existing key (nil or empty subKey: `parent` itself);
// ERROR_FILE_NOT_FOUND when missing. The registry file grants every access
// mask; the system's registry checks it.
int32_t RegOpenKeyEx(HKEY parent, std::string_view subKey, uint32_t options, uint32_t access, HKEY* result);
// Opens a key, creating it and its missing parents. *created (when given)
// tells whether it was new.
int32_t RegCreateKeyEx(HKEY parent, std::string_view subKey, HKEY* result, bool* created = nullptr);
// Closes a key handle; the predefined roots are accepted and ignored.
int32_t RegCloseKey(HKEY key);
// A value by name ("" or "@" is the default value); ERROR_FILE_NOT_FOUND
// when missing.
int32_t RegQueryValueEx(HKEY key, std::string_view name, RegValue* value);
// Sets a value and writes the file at once.
int32_t RegSetValueEx(HKEY key, std::string_view name, const RegValue& value);
int32_t RegDeleteValue(HKEY key, std::string_view name);
// Deletes a named key with everything below it; a root is refused
// (ERROR_ACCESS_DENIED).
int32_t RegDeleteKey(HKEY parent, std::string_view subKey);
// Names of the direct subkeys and of the values, in file order.
int32_t RegEnumKeys(HKEY key, std::vector<std::string>* names);
int32_t RegEnumValues(HKEY key, std::vector<std::string>* names);

// Why registry.reg cannot be used ("<path>, line 4: ..."), empty when it is
// sound or absent, and always on Windows.
std::string RegistryProblem();

// The calling thread's last failure reason as one line, for example
// "/m/registry.reg, line 4: expected a value line such as \"Name\"=\"text\"".
std::string RegLastError();

// Conveniences on a root and a key path.
bool KeyExists(HKEY root, std::string_view path);
// The text of a REG_SZ value (a REG_DWORD reads as its decimal text).
std::optional<std::string> ReadString(HKEY root, std::string_view path, std::string_view name);
// A REG_DWORD value (a REG_SZ holding a decimal number is accepted too).
std::optional<uint32_t> ReadDword(HKEY root, std::string_view path, std::string_view name);
// Create the key when needed and set the value; false on failure with the
// reason in RegLastError().
bool WriteString(HKEY root, std::string_view path, std::string_view name, std::string_view value);
bool WriteDword(HKEY root, std::string_view path, std::string_view name, uint32_t value);

}  // namespace platform
