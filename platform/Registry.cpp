// What both registries share: the calling thread's last failure reason and
// the conveniences on a root and a key path, built on the Reg* functions of
// the system's backend.
#include "platform/Registry.h"

#include <charconv>

#include "platform/RegistryLastError.h"

namespace platform {
namespace {

thread_local std::string lastError;

}  // namespace

void SetRegLastError(std::string reason) { lastError = std::move(reason); }

std::string RegLastError() { return lastError; }

bool KeyExists(HKEY root, std::string_view path) {
  HKEY key = 0;
  if (RegOpenKeyEx(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

namespace {

std::optional<RegValue> ReadValue(HKEY root, std::string_view path, std::string_view name) {
  HKEY key = 0;
  if (RegOpenKeyEx(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  RegValue value;
  const int32_t status = RegQueryValueEx(key, name, &value);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return std::nullopt;
  return value;
}

bool WriteValue(HKEY root, std::string_view path, std::string_view name, const RegValue& value) {
  HKEY key = 0;
  if (RegCreateKeyEx(root, path, &key) != ERROR_SUCCESS) return false;
  const int32_t status = RegSetValueEx(key, name, value);
  const std::string reason = RegLastError();
  RegCloseKey(key);
  SetRegLastError(reason);
  return status == ERROR_SUCCESS;
}

}  // namespace

std::optional<std::string> ReadString(HKEY root, std::string_view path, std::string_view name) {
  try {
    auto value = ReadValue(root, path, name);
    if (!value) return std::nullopt;
    if (value->type == REG_SZ) return value->text;
    if (value->type == REG_DWORD) return std::to_string(value->dword);
    SetRegLastError("the registry value is neither text nor a number");
    return std::nullopt;
  } catch (...) {
    return std::nullopt;
  }
}

std::optional<uint32_t> ReadDword(HKEY root, std::string_view path, std::string_view name) {
  try {
    auto value = ReadValue(root, path, name);
    if (!value) return std::nullopt;
    if (value->type == REG_DWORD) return value->dword;
    if (value->type == REG_SZ) {
      uint32_t number = 0;
      const std::string& text = value->text;
      auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
      if (!text.empty() && ec == std::errc() && end == text.data() + text.size()) return number;
    }
    SetRegLastError("the registry value is not a number");
    return std::nullopt;
  } catch (...) {
    return std::nullopt;
  }
}

bool WriteString(HKEY root, std::string_view path, std::string_view name, std::string_view value) {
  try {
    RegValue data;
    data.type = REG_SZ;
    data.text = std::string(value);
    return WriteValue(root, path, name, data);
  } catch (...) {
    return false;
  }
}

bool WriteDword(HKEY root, std::string_view path, std::string_view name, uint32_t value) {
  RegValue data;
  data.type = REG_DWORD;
  data.dword = value;
  return WriteValue(root, path, name, data);
}

}  // namespace platform
