// The registry on Windows: the system's own, through advapi32. Handles the
// platform hands out are small numbers in a table of the system's HKEYs (a
// 64-bit HKEY does not fit the interface's 32 bits); the four predefined
// roots keep their values. Statuses are the system's.
#include <algorithm>
#include <map>
#include <mutex>

#include "platform/FaultPoints.h"
#include "platform/Registry.h"
#include "platform/RegistryLastError.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

namespace platform {
namespace {

struct Root {
  HKEY key;
  const char* name;
};
constexpr Root kRoots[] = {{HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
                           {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
                           {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
                           {HKEY_USERS, "HKEY_USERS"}};
constexpr HKEY kFirstHandle = 0x1000;

struct OpenKey {
  ::HKEY system;
  std::string path;
};

struct Handles {
  std::mutex mutex;
  std::map<HKEY, OpenKey> open;
  HKEY next = kFirstHandle;
};

Handles& TheHandles() {
  static Handles handles;
  return handles;
}

const Root* RootOf(HKEY key) {
  for (const Root& root : kRoots)
    if (root.key == key) return &root;
  return nullptr;
}

// The predefined HKEYs are the same numbers, sign-extended to a pointer.
::HKEY SystemRoot(HKEY key) {
  return reinterpret_cast<::HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(key)));
}

// The system's key and the path it names (for reasons), or false for a
// handle that is not open.
bool Lookup(HKEY key, ::HKEY* system, std::string* path) {
  if (const Root* root = RootOf(key)) {
    *system = SystemRoot(key);
    *path = root->name;
    return true;
  }
  Handles& handles = TheHandles();
  std::lock_guard lock(handles.mutex);
  auto it = handles.open.find(key);
  if (it == handles.open.end()) return false;
  *system = it->second.system;
  *path = it->second.path;
  return true;
}

HKEY Remember(::HKEY system, std::string path) {
  Handles& handles = TheHandles();
  std::lock_guard lock(handles.mutex);
  // Numbers of closed handles come round again only after four billion
  // opens; skip any still in use.
  while (handles.open.count(handles.next) || RootOf(handles.next) || handles.next == 0) handles.next += 4;
  const HKEY handle = handles.next;
  handles.next += 4;
  handles.open.emplace(handle, OpenKey{system, std::move(path)});
  return handle;
}

// A subkey without leading backslashes, which the system refuses.
std::string_view Relative(std::string_view subKey) {
  while (!subKey.empty() && subKey.front() == '\\') subKey.remove_prefix(1);
  return subKey;
}

std::string Joined(const std::string& path, std::string_view subKey) {
  return subKey.empty() ? path : path + "\\" + std::string(subKey);
}

// The system's message for a status, on one line.
// Records the outcome of a call as the thread's last error and returns it.
int32_t Outcome(LSTATUS status, const std::string& what) {
  SetRegLastError(status == ERROR_SUCCESS ? std::string()
                                          : what + ": " + SystemMessage(static_cast<DWORD>(status)));
  return static_cast<int32_t>(status);
}

int32_t NotOpen() {
  SetRegLastError("not an open registry key handle");
  return ERROR_INVALID_HANDLE;
}

// Runs a registry call; running out of memory is its failure, never an
// exception past the platform.
template <typename Body>
int32_t Guarded(Body&& body) {
  try {
    return body();
  } catch (...) {
    SetRegLastError("out of memory in the registry");
    return ERROR_OUTOFMEMORY;
  }
}

// Runs a registry call on an open key: the system's key and its path.
template <typename Body>
int32_t OnKey(HKEY key, Body&& body) {
  return Guarded([&]() -> int32_t {
    ::HKEY system = nullptr;
    std::string path;
    if (!Lookup(key, &system, &path)) return NotOpen();
    return body(system, path);
  });
}

// The names a key lists one by one (subkeys or values), up to `longest`
// characters each.
template <typename Enumerate>
int32_t ListNames(HKEY key, std::vector<std::string>* names, size_t longest, const std::string& what,
                  Enumerate&& enumerate) {
  return OnKey(key, [&](::HKEY system, const std::string& path) -> int32_t {
    std::vector<std::string> found;
    std::wstring name(longest + 1, L'\0');
    for (DWORD index = 0;; ++index) {
      DWORD length = static_cast<DWORD>(name.size());
      const LSTATUS status = enumerate(system, index, name.data(), &length);
      if (status == ERROR_NO_MORE_ITEMS) break;
      if (status != ERROR_SUCCESS) return Outcome(status, "cannot list the " + what + " of " + path);
      found.push_back(NarrowText(std::wstring_view(name.data(), length)));
    }
    if (names) *names = std::move(found);
    return Outcome(ERROR_SUCCESS, {});
  });
}

std::string ValueLabel(const std::string& name) { return name.empty() ? "@" : "\"" + name + "\""; }

std::string ValueName(std::string_view name) { return name == "@" ? std::string() : std::string(name); }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "01,ff" as bytes; false unless every part is one or two hexadecimal digits.
bool ParseHexBytes(std::string_view text, std::string* bytes) {
  while (!text.empty()) {
    const size_t comma = text.find(',');
    const std::string_view part = text.substr(0, comma);
    if (part.empty() || part.size() > 2) return false;
    int byte = 0;
    for (char c : part) {
      if (HexDigit(c) < 0) return false;
      byte = byte * 16 + HexDigit(c);
    }
    bytes->push_back(static_cast<char>(byte));
    text.remove_prefix(comma == std::string_view::npos ? text.size() : comma + 1);
    if (comma != std::string_view::npos && text.empty()) return false;
  }
  return true;
}

std::string FormatHexBytes(const BYTE* data, DWORD size) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (DWORD i = 0; i < size; ++i) {
    if (i) text += ',';
    text += kDigits[data[i] >> 4];
    text += kDigits[data[i] & 15];
  }
  return text;
}

}  // namespace

int32_t RegOpenKeyEx(HKEY parent, std::string_view subKey, uint32_t options, uint32_t access, HKEY* result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = 0;
  if (faults::ShouldFail("platform.RegOpenKeyEx")) return ERROR_ACCESS_DENIED;
  return OnKey(parent, [&](::HKEY base, const std::string& path) -> int32_t {
    subKey = Relative(subKey);
    ::HKEY opened = nullptr;
    const LSTATUS status = ::RegOpenKeyExW(base, WideText(subKey).c_str(), options, access, &opened);
    if (status == ERROR_SUCCESS) *result = Remember(opened, Joined(path, subKey));
    return Outcome(status, "cannot open the registry key " + Joined(path, subKey));
  });
}

int32_t RegCreateKeyEx(HKEY parent, std::string_view subKey, HKEY* result, bool* created) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = 0;
  if (created) *created = false;
  return OnKey(parent, [&](::HKEY base, const std::string& path) -> int32_t {
    subKey = Relative(subKey);
    ::HKEY opened = nullptr;
    DWORD disposition = 0;
    const LSTATUS status =
        ::RegCreateKeyExW(base, WideText(subKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                          nullptr, &opened, &disposition);
    if (status == ERROR_SUCCESS) {
      *result = Remember(opened, Joined(path, subKey));
      if (created) *created = disposition == REG_CREATED_NEW_KEY;
    }
    return Outcome(status, "cannot create the registry key " + Joined(path, subKey));
  });
}

int32_t RegCloseKey(HKEY key) {
  if (RootOf(key)) return ERROR_SUCCESS;
  ::HKEY system = nullptr;
  {
    Handles& handles = TheHandles();
    std::lock_guard lock(handles.mutex);
    auto it = handles.open.find(key);
    if (it == handles.open.end()) return NotOpen();
    system = it->second.system;
    handles.open.erase(it);
  }
  return Outcome(::RegCloseKey(system), "cannot close a registry key");
}

int32_t RegQueryValueEx(HKEY key, std::string_view name, RegValue* value) {
  return OnKey(key, [&](::HKEY system, const std::string& path) -> int32_t {
    const std::string wanted = ValueName(name);
    const std::wstring wideName = WideText(wanted);
    const std::string what = "cannot read the value " + ValueLabel(wanted) + " of " + path;
    std::string data(64, '\0');
    DWORD type = 0;
    LSTATUS status = ERROR_MORE_DATA;
    DWORD size = 0;
    // The value may grow between two calls; ask again with its new size.
    while (status == ERROR_MORE_DATA) {
      size = static_cast<DWORD>(data.size());
      status = ::RegQueryValueExW(system, wideName.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &size);
      if (status == ERROR_MORE_DATA) data.resize(size + 2);
    }
    if (status != ERROR_SUCCESS) return Outcome(status, what);
    data.resize(size);
    if (!value) return Outcome(status, what);
    RegValue read;
    read.type = type;
    if (type == REG_SZ) {
      std::wstring text(size / sizeof(wchar_t), L'\0');
      std::copy_n(data.data(), text.size() * sizeof(wchar_t), reinterpret_cast<char*>(text.data()));
      while (!text.empty() && text.back() == L'\0') text.pop_back();
      read.text = NarrowText(text);
    } else if (type == REG_DWORD && size == sizeof(DWORD)) {
      DWORD number = 0;
      std::copy_n(data.data(), sizeof number, reinterpret_cast<char*>(&number));
      read.dword = number;
    } else {
      read.rawHex = FormatHexBytes(reinterpret_cast<const BYTE*>(data.data()), size);
    }
    *value = std::move(read);
    return Outcome(status, what);
  });
}

int32_t RegSetValueEx(HKEY key, std::string_view name, const RegValue& value) {
  return OnKey(key, [&](::HKEY system, const std::string& path) -> int32_t {
    const std::string wanted = ValueName(name);
    std::string bytes;
    if (value.type == REG_SZ) {
      const std::wstring text = WideText(value.text);
      bytes.assign(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
    } else if (value.type == REG_DWORD) {
      const DWORD number = value.dword;
      bytes.assign(reinterpret_cast<const char*>(&number), sizeof number);
    } else if (!ParseHexBytes(value.rawHex, &bytes)) {
      SetRegLastError("binary registry data must be comma-separated hexadecimal bytes");
      return ERROR_INVALID_PARAMETER;
    }
    const LSTATUS status =
        ::RegSetValueExW(system, WideText(wanted).c_str(), 0, value.type,
                         reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    return Outcome(status, "cannot set the value " + ValueLabel(wanted) + " of " + path);
  });
}

int32_t RegDeleteValue(HKEY key, std::string_view name) {
  return OnKey(key, [&](::HKEY system, const std::string& path) -> int32_t {
    const std::string wanted = ValueName(name);
    return Outcome(::RegDeleteValueW(system, WideText(wanted).c_str()),
                   "cannot delete the value " + ValueLabel(wanted) + " of " + path);
  });
}

int32_t RegDeleteKey(HKEY parent, std::string_view subKey) {
  return OnKey(parent, [&](::HKEY base, const std::string& path) -> int32_t {
    subKey = Relative(subKey);
    // Never the whole of a root, nor (without a subkey) the contents of an
    // open key: only a named key goes, with everything below it.
    if (subKey.empty()) {
      SetRegLastError(RootOf(parent) ? "a root key cannot be deleted" : "no subkey named to delete");
      return RootOf(parent) ? ERROR_ACCESS_DENIED : ERROR_INVALID_PARAMETER;
    }
    return Outcome(::RegDeleteTreeW(base, WideText(subKey).c_str()),
                   "cannot delete the registry key " + Joined(path, subKey));
  });
}

int32_t RegEnumKeys(HKEY key, std::vector<std::string>* names) {
  // A key name has at most 255 characters.
  return ListNames(key, names, 255, "subkeys", [](::HKEY system, DWORD index, wchar_t* name, DWORD* length) {
    return ::RegEnumKeyExW(system, index, name, length, nullptr, nullptr, nullptr, nullptr);
  });
}

int32_t RegEnumValues(HKEY key, std::vector<std::string>* names) {
  // A value name has at most 16383 characters.
  return ListNames(key, names, 16383, "values", [](::HKEY system, DWORD index, wchar_t* name, DWORD* length) {
    return ::RegEnumValueW(system, index, name, length, nullptr, nullptr, nullptr, nullptr);
  });
}

// The system's registry has no file of this process's to be broken.
std::string RegistryProblem() { return {}; }

}  // namespace platform
