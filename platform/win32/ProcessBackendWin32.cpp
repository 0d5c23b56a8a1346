// Programs, shell-open and file versions through the system's own calls.
#include <string>
#include <vector>

#include "platform/ProcessBackend.h"
#include "platform/WideString.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

namespace platform::backend {
namespace {

// A text argument as the system takes it: nil when empty.
const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

// How long StartProgram waits for the started program to be ready for
// input, so that a DDE conversation right after it finds its server.
constexpr DWORD kInputIdleTimeoutMs = 30000;

}  // namespace

void EndProcess(int code) { ::ExitProcess(static_cast<UINT>(code)); }

uint32_t StartProgram(std::string_view commandLine, int showCommand) {
  // CreateProcessW may write into the command line it is given.
  std::wstring line = WideText(commandLine);
  std::vector<wchar_t> buffer(line.begin(), line.end());
  buffer.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    // WinExec's failures are below 32; anything else the system says is a
    // program it cannot run.
    const DWORD error = ::GetLastError();
    return error < 32 ? error : ERROR_BAD_FORMAT;
  }
  ::WaitForInputIdle(process.hProcess, kInputIdleTimeoutMs);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return 33;
}

intptr_t ShellExecute(std::string_view verb, std::string_view file, std::string_view parameters,
                      std::string_view directory, int showCommand) {
  const std::wstring wideVerb = WideText(verb), wideFile = WideText(file),
                     wideParameters = WideText(parameters), wideDirectory = WideText(directory);
  return reinterpret_cast<intptr_t>(::ShellExecuteW(nullptr, OrNull(wideVerb), wideFile.c_str(),
                                                    OrNull(wideParameters), OrNull(wideDirectory),
                                                    showCommand));
}

int32_t GetFileVersion(std::string_view windowsPath, FileVersion* version) {
  const std::wstring path = WideText(windowsPath);
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) {
    // A program without any resources has no version resource either,
    // though the system tells it apart.
    const DWORD error = ::GetLastError();
    return error == ERROR_RESOURCE_DATA_NOT_FOUND ? ERROR_RESOURCE_TYPE_NOT_FOUND
                                                  : static_cast<int32_t>(error);
  }
  std::vector<unsigned char> data(size);
  if (!::GetFileVersionInfoW(path.c_str(), 0, size, data.data()))
    return static_cast<int32_t>(::GetLastError());
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
      length < sizeof *fixed || fixed->dwSignature != VS_FFI_SIGNATURE)
    return ERROR_INVALID_DATA;
  if (version)
    *version = {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
  return 0;
}

}  // namespace platform::backend
