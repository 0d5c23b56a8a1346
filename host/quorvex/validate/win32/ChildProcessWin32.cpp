#include <malloc.h>

#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <thread>

#include "host/quorvex/validate/ChildProcess.h"
#include "platform/WideString.h"
#include "platform/win32/WindowsApi.h"

namespace quorvex::validate {
namespace {

// The exit code of a child its own watchdog ended.
constexpr DWORD kTimedOutCode = 0x54494D45;

std::wstring Wide(const std::string& text) {
  const std::u16string wide = platform::Utf8ToUtf16(text);
  return std::wstring(wide.begin(), wide.end());
}

// One argument quoted as the C runtime splits a command line again.
std::wstring Quoted(const std::wstring& word) {
  if (!word.empty() && word.find_first_of(L" \t\"") == std::wstring::npos) return word;
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : word) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) throw std::runtime_error("cannot name this program");
    if (length < path.size()) return path.substr(0, length);
    path.resize(path.size() * 2);
  }
}

}  // namespace

ChildOutcome RunSelf(const std::vector<std::string>& arguments) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) throw std::runtime_error("cannot create a pipe");
  ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  const std::wstring program = ProgramPath();
  std::wstring commandLine = Quoted(program);
  for (const std::string& argument : arguments) commandLine += L" " + Quoted(Wide(argument));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION process{};
  std::cout.flush();
  const BOOL started = ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
  ::CloseHandle(writeEnd);
  ChildOutcome outcome;
  if (!started) {
    ::CloseHandle(readEnd);
    outcome.started = false;
    outcome.code = 127;
    return outcome;
  }
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
    outcome.output.append(buffer, got);
  ::CloseHandle(readEnd);
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  if (code == kTimedOutCode) {
    outcome.timedOut = true;
    outcome.crash = "its time limit";
  } else if ((code & 0xF0000000u) == 0xC0000000u) {
    // An exception nothing handled ends a process with the exception's code.
    char text[32];
    std::snprintf(text, sizeof text, "exception 0x%08lX", static_cast<unsigned long>(code));
    outcome.crash = text;
  } else {
    outcome.code = static_cast<int>(code);
  }
  return outcome;
}

void LimitRunningTime(unsigned seconds) {
  std::thread([seconds] {
    ::Sleep(seconds * 1000);
    ::TerminateProcess(::GetCurrentProcess(), kTimedOutCode);
  }).detach();
}

int64_t HeapBytesInUse() {
  // Every module allocates through the one C runtime DLL and so from its heap.
  const HANDLE heap = reinterpret_cast<HANDLE>(_get_heap_handle());
  int64_t total = 0;
  PROCESS_HEAP_ENTRY entry{};
  if (!::HeapLock(heap)) return 0;
  while (::HeapWalk(heap, &entry))
    if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += static_cast<int64_t>(entry.cbData);
  ::HeapUnlock(heap);
  return total;
}

}  // namespace quorvex::validate
