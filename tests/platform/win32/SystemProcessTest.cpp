// Programs, shell-open, file versions and the process's exit through the
// system: each test checks what the started program left behind, not only
// what the call answered.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/Journal.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/WideString.h"
#include "platform/Windows.h"
#include "platform/win32/WindowsApi.h"

namespace {

using platform::JournalEntries;
using platform::JournalEntry;

std::wstring Wide(const std::string& text) {
  const std::u16string wide = platform::Utf8ToUtf16(text);
  return std::wstring(wide.begin(), wide.end());
}

std::string Narrow(const std::wstring& text) {
  return platform::Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

std::string ThisProgram() {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return Narrow(path);
}

// The probe program is built beside the test program.
std::string ProbeProgram() {
  const std::string self = ThisProgram();
  return self.substr(0, self.find_last_of('\\') + 1) + "ProcessProbe.exe";
}

// A folder of the test's own under the system's temporary folder, removed
// with what is in it.
class TempFolder {
 public:
  TempFolder() {
    std::wstring base(MAX_PATH, L'\0');
    base.resize(::GetTempPathW(static_cast<DWORD>(base.size()), base.data()));
    static int serial = 0;
    path_ = Narrow(base) + "strativue-process-" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(++serial);
    ::CreateDirectoryW(Wide(path_).c_str(), nullptr);
  }
  ~TempFolder() {
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW(Wide(path_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        ::DeleteFileW(Wide(path_ + "\\" + Narrow(found.cFileName)).c_str());
      } while (::FindNextFileW(search, &found));
      ::FindClose(search);
    }
    ::RemoveDirectoryW(Wide(path_).c_str());
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The contents of a file another process writes, once it is there and
// closed; empty when it never comes (within a bound far above any normal
// start).
std::string WaitForFile(const std::string& path) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < giveUp) {
    const HANDLE file =
        ::CreateFileW(Wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      std::string contents(::GetFileSize(file, nullptr), '\0');
      DWORD read = 0;
      ::ReadFile(file, contents.data(), static_cast<DWORD>(contents.size()), &read, nullptr);
      ::CloseHandle(file);
      contents.resize(read);
      if (!contents.empty()) return contents;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return {};
}

TEST(SystemProcess, StartProgramRunsTheProgramWithItsArguments) {
  TempFolder folder;
  const std::string file = folder.path() + "\\started.txt";
  const std::string line = "\"" + ProbeProgram() + "\" write \"" + file + "\" page=3 \"two  spaces\"";
  platform::JournalClear();
  EXPECT_GT(platform::StartProgram(line, platform::SW_HIDE), 31u);
  EXPECT_EQ(WaitForFile(file), "page=3 two  spaces");
  EXPECT_EQ(JournalEntries(), (std::vector<JournalEntry>{{"start", line}}));
}

TEST(SystemProcess, StartProgramAnswersWhyItCouldNot) {
  TempFolder folder;
  platform::JournalClear();
  EXPECT_EQ(platform::StartProgram("\"" + folder.path() + "\\missing.exe\" x", platform::SW_HIDE),
            static_cast<uint32_t>(platform::ERROR_FILE_NOT_FOUND));
  // A file that is not a program: the system's own reason is above 31, which
  // would read as success, so it is reported as a bad format.
  const std::string text = folder.path() + "\\text.exe";
  const HANDLE file = ::CreateFileW(Wide(text).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ::WriteFile(file, "not a program", 13, &written, nullptr);
  ::CloseHandle(file);
  const uint32_t notAProgram = platform::StartProgram("\"" + text + "\"", platform::SW_HIDE);
  EXPECT_LT(notAProgram, 32u);
  EXPECT_NE(notAProgram, 0u);
  EXPECT_TRUE(JournalEntries().empty());
}

TEST(SystemProcess, ShellExecuteOpensTheFileInTheGivenFolder) {
  TempFolder folder;
  platform::JournalClear();
  const std::string parameters = "write opened.txt by the shell";
  EXPECT_GT(platform::ShellExecute("open", ProbeProgram(), parameters, folder.path(), platform::SW_HIDE), 32);
  // A relative name: the program ran in the folder it was given.
  EXPECT_EQ(WaitForFile(folder.path() + "\\opened.txt"), "by the shell");
  EXPECT_EQ(JournalEntries(),
            (std::vector<JournalEntry>{{"shell", "open " + ProbeProgram() + " " + parameters}}));

  // Asked, and so journaled, even when there is nothing to open.
  platform::JournalClear();
  const std::string missing = folder.path() + "\\missing.exe";
  EXPECT_LE(platform::ShellExecute("", missing, "", "", platform::SW_HIDE), 32);
  EXPECT_EQ(JournalEntries(), (std::vector<JournalEntry>{{"shell", "open " + missing}}));
}

// Runs the probe with its output on a pipe; answers what it printed and its
// exit code.
std::pair<std::string, DWORD> RunProbe(const std::string& arguments) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return {"no pipe", 0};
  ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  std::wstring line = Wide("\"" + ProbeProgram() + "\" " + arguments);
  PROCESS_INFORMATION process{};
  const BOOL started =
      ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  ::CloseHandle(writeEnd);
  std::string output;
  DWORD code = 0;
  if (started) {
    char buffer[256];
    for (DWORD n = 0; ::ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0;)
      output.append(buffer, n);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
  }
  ::CloseHandle(readEnd);
  return {output, code};
}

TEST(SystemProcess, ExitFlushesBufferedOutputAndEndsWithTheCode) {
  const auto [output, code] = RunProbe("exit 3 \"Running modal dialog TLegendSetupDialog\"");
  EXPECT_EQ(output, "Running modal dialog TLegendSetupDialog and more");
  EXPECT_EQ(code, 3u);
}

TEST(SystemFileVersion, ReadsTheFourNumbersOfTheVersionResource) {
  const uint16_t expected[] = {PROCESS_PROBE_VERSION};
  platform::JournalClear();
  platform::FileVersion version;
  ASSERT_EQ(platform::GetFileVersion(ProbeProgram(), &version), 0);
  EXPECT_EQ(version.major, expected[0]);
  EXPECT_EQ(version.minor, expected[1]);
  EXPECT_EQ(version.build, expected[2]);
  EXPECT_EQ(version.revision, expected[3]);
  EXPECT_EQ(JournalEntries(), (std::vector<JournalEntry>{{"version", ProbeProgram()}}));
}

TEST(SystemFileVersion, MissingFileAndProgramWithoutVersionAreTold) {
  TempFolder folder;
  platform::FileVersion version{1, 2, 3, 4};
  EXPECT_EQ(platform::GetFileVersion(folder.path() + "\\missing.exe", &version),
            platform::ERROR_FILE_NOT_FOUND);
  // This test program carries no version resource.
  EXPECT_EQ(platform::GetFileVersion(ThisProgram(), &version), platform::ERROR_RESOURCE_TYPE_NOT_FOUND);
  EXPECT_EQ(version.major, 1);
  EXPECT_EQ(version.revision, 4);
}

}  // namespace
