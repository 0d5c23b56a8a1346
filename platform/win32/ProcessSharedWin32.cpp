#include "platform/ProcessShared.h"
#include "platform/WideString.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

namespace platform {
namespace {

// Beside the variables a user sets, under names no user would choose.
std::wstring VariableName(const std::string& name) { return WideText("QUORVEX.process." + name); }

}  // namespace

void SetProcessShared(const std::string& name, const std::string& value) {
  const std::wstring variable = VariableName(name);
  if (value.empty()) {
    ::SetEnvironmentVariableW(variable.c_str(), nullptr);
    return;
  }
  ::SetEnvironmentVariableW(variable.c_str(), WideText(value).c_str());
}

std::string ProcessShared(const std::string& name) {
  const std::wstring variable = VariableName(name);
  return FilledText([&variable](wchar_t* buffer, DWORD size) {
    return ::GetEnvironmentVariableW(variable.c_str(), buffer, size);
  });
}

}  // namespace platform
