#include "platform/ProcessShared.h"

#include "platform/WideString.h"
#include "platform/win32/WindowsApi.h"

namespace platform {
namespace {

// Beside the variables a user sets, under names no user would choose.
std::wstring VariableName(const std::string& name) {
  const std::u16string wide = Utf8ToUtf16("QUORVEX.process." + name);
  return std::wstring(wide.begin(), wide.end());
}

}  // namespace

void SetProcessShared(const std::string& name, const std::string& value) {
  const std::wstring variable = VariableName(name);
  if (value.empty()) {
    ::SetEnvironmentVariableW(variable.c_str(), nullptr);
    return;
  }
  const std::u16string wide = Utf8ToUtf16(value);
  ::SetEnvironmentVariableW(variable.c_str(), std::wstring(wide.begin(), wide.end()).c_str());
}

std::string ProcessShared(const std::string& name) {
  const std::wstring variable = VariableName(name);
  std::wstring buffer(256, L'\0');
  for (;;) {
    const DWORD length =
        ::GetEnvironmentVariableW(variable.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return Utf16ToUtf8(std::u16string(buffer.begin(), buffer.begin() + length));
    buffer.resize(length);
  }
}

}  // namespace platform
