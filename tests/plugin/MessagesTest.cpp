#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <locale>
#include <string>

#include "platform/Journal.h"
#include "platform/Keys.h"
#include "platform/Machine.h"
#include "platform/MessageQueue.h"
#include "platform/Registry.h"
#include "plugin/RTL/Messages.h"
#include "tests/TestMachine.h"
#include "toolkit/Automation.h"
#include "toolkit/MessageLog.h"
#if defined(_WIN32)
#include "platform/win32/WindowsApi.h"
#endif

using namespace strativue;

namespace {

class MessagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Test mode ends the process at the next message box: the key must never
    // outlive the test on a machine that keeps it.
    machine_.IsolateKey(platform::HKEY_LOCAL_MACHINE, "Software\\Verdane");
    machine_.IsolateKey(platform::HKEY_CURRENT_USER, "Software\\Verdane");
    platform::ClearMessageQueue();
    platform::ResetKeyStates();
    toolkit::automation::Reset();
    toolkit::MessageLog::Clear();
  }
  void TearDown() override {
    platform::ClearMessageQueue();
    platform::ResetKeyStates();
  }

  static void SetTestModeKey() {
    platform::HKEY key = 0;
    ASSERT_EQ(platform::RegCreateKeyEx(platform::HKEY_LOCAL_MACHINE, "Software\\Verdane\\TestMode", &key),
              platform::ERROR_SUCCESS);
    platform::RegCloseKey(key);
  }

  struct ChildResult {
    std::string output;
    int exitCode = -1;
  };

  // Runs `body` in a child process (a death test, so that it runs on every
  // system) and captures what it writes to its standard output, byte for byte;
  // the child must end the process itself.
  template <class Body>
  ChildResult RunInChild(Body body) {
    // Named after the test alone: where the child runs the test program
    // afresh, its machine is another one than this process's.
    const std::filesystem::path outputFile =
        std::filesystem::temp_directory_path() /
        (std::string("strativue-child-output-") +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove(outputFile);
    ChildResult result;
    EXPECT_EXIT(
        {
          if (std::freopen(outputFile.string().c_str(), "wb", stdout) == nullptr) std::_Exit(98);
          body();
          std::_Exit(99);  // the body did not end the process
        },
        [&result](int status) {
          result.exitCode = ExitCodeOf(status);
          return true;
        },
        "");
    std::ifstream file(outputFile, std::ios::binary);
    result.output.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    file.close();
    std::filesystem::remove(outputFile);
    return result;
  }

  // The code a child ended with, -1 when it did not end normally; asked of
  // GoogleTest, which knows how each system reports it.
  static int ExitCodeOf(int status) {
    for (int code = 0; code <= 255; ++code) {
      if (::testing::ExitedWithCode(code)(status)) return code;
    }
    return -1;
  }

  TestMachine machine_;
};

TEST_F(MessagesTest, TestModeWritesOneLineAndEndsTheProcess) {
  SetTestModeKey();
  const ChildResult information = RunInChild([] { ShowInformation("Board saved."); });
  EXPECT_EQ(information.exitCode, 1);
  EXPECT_EQ(information.output, "ShowDialogWithCaption withInformation Board saved.\n");

  const ChildResult error = RunInChild([] { ShowError("Disk full", "Strativue"); });
  EXPECT_EQ(error.exitCode, 1);
  EXPECT_EQ(error.output, "ShowDialogWithCaption withStrativue Disk full\n");

  const ChildResult nilError = RunInChild([] { ShowError(""); });
  EXPECT_EQ(nilError.output, "ShowDialogWithCaption withError \n");
}

TEST_F(MessagesTest, WithoutTheKeyABoxIsShownAndClosedByScriptedInput) {
  toolkit::automation::Click("OK");
  EXPECT_EQ(ShowInformation("Active window is not of type PCB document."), toolkit::mrOk);
  EXPECT_EQ(ShowError("Broken"), toolkit::mrCancel);  // no input left: closed
  const std::vector<toolkit::MessageRecord> log = toolkit::MessageLog::Entries();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0], (toolkit::MessageRecord{"Information", "Active window is not of type PCB document.",
                                            TMsgDlgType::Information, toolkit::mrOk}));
  EXPECT_EQ(log[1].caption, "Error");
  EXPECT_EQ(log[1].type, TMsgDlgType::Error);
}

TEST_F(MessagesTest, TestModeIsAskedAnewAndTheKeyIsNeverCreated) {
  EXPECT_FALSE(IsTestMode());
  EXPECT_FALSE(platform::KeyExists(platform::HKEY_LOCAL_MACHINE, "Software\\Verdane\\TestMode"));
  EXPECT_FALSE(platform::KeyExists(platform::HKEY_LOCAL_MACHINE, "Software\\Verdane"));
  SetTestModeKey();
  EXPECT_TRUE(IsTestMode());
  ASSERT_EQ(platform::RegDeleteKey(platform::HKEY_LOCAL_MACHINE, "Software\\Verdane\\TestMode"),
            platform::ERROR_SUCCESS);
  EXPECT_FALSE(IsTestMode());
  // Under another root the key is not there.
  platform::HKEY key = 0;
  platform::RegCreateKeyEx(platform::HKEY_CURRENT_USER, "Software\\Verdane\\TestMode", &key);
  platform::RegCloseKey(key);
  EXPECT_FALSE(IsTestMode());
}

TEST_F(MessagesTest, SameTextFoldsOnlyAsciiLetters) {
  EXPECT_TRUE(IsSameText("PCB", "pcb"));
  EXPECT_TRUE(IsSameText("True", "tRUE"));
  EXPECT_TRUE(IsSameText("", ""));
  EXPECT_FALSE(IsSameText("PCB", "PCBs"));
  EXPECT_FALSE(IsSameText("\xC9", "\xE9"));          // accented letters: exact
  EXPECT_FALSE(IsSameText("\xC3\x89", "\xC3\xA9"));  // also as UTF-8
  EXPECT_FALSE(IsSameText("[", "{"));                // neighbours of the letters
  EXPECT_FALSE(IsSameText("@", "`"));
}

TEST_F(MessagesTest, TwoDecimalsRoundAndUseAPoint) {
  EXPECT_EQ(FormatTwoDecimals(1.5f), "1.50");
  EXPECT_EQ(FormatTwoDecimals(-0.25f), "-0.25");
  EXPECT_EQ(FormatTwoDecimals(3.0f), "3.00");
  EXPECT_EQ(FormatTwoDecimals(-1.5f), "-1.50");
  EXPECT_EQ(FormatTwoDecimals(0.0f), "0.00");
  EXPECT_EQ(FormatTwoDecimals(4.8f), "4.80");
  EXPECT_EQ(FormatTwoDecimals(9.999f), "10.00");
  EXPECT_EQ(FormatTwoDecimals(-99.995f), "-100.00");  // the float lies just above the half
  EXPECT_EQ(FormatTwoDecimals(0.125f), "0.13");       // an exact half goes away from zero
  EXPECT_EQ(FormatTwoDecimals(-0.125f), "-0.13");
  EXPECT_EQ(FormatTwoDecimals(1.005f), "1.00");   // the float lies just below the half
  EXPECT_EQ(FormatTwoDecimals(-0.001f), "0.00");  // no "-0.00"
  EXPECT_EQ(FormatTwoDecimals(1234567.0f), "1234567.00");
  std::string text = "old";
  FormatTwoDecimals(text, 12.6f);
  EXPECT_EQ(text, "12.60");
}

// A decimal comma and thousands grouping, as many user locales have.
struct CommaPunct : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

TEST_F(MessagesTest, TwoDecimalsIgnoreTheLocale) {
  const std::locale previousGlobal = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
  const std::string withCppLocale = FormatTwoDecimals(1234.5f);
  std::locale::global(previousGlobal);
  EXPECT_EQ(withCppLocale, "1234.50");

  const std::string previous = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr && std::setlocale(LC_ALL, "fr_FR.UTF-8") == nullptr)
    return;  // no C locale with a decimal comma installed here
  const std::string withCLocale = FormatTwoDecimals(1234.5f);
  std::setlocale(LC_ALL, previous.c_str());
  EXPECT_EQ(withCLocale, "1234.50");
}

TEST_F(MessagesTest, ModifierKeysFollowTheKeyStates) {
  EXPECT_FALSE(IsCtrlDown() || IsShiftDown() || IsAltDown());
  platform::SetKeyState(platform::VK_SHIFT, true);
  EXPECT_TRUE(IsShiftDown());
  EXPECT_FALSE(IsCtrlDown());
  platform::SetKeyState(platform::VK_CONTROL, true);
  platform::SetKeyState(platform::VK_MENU, true);
  EXPECT_TRUE(IsCtrlDown());
  EXPECT_TRUE(IsAltDown());
  platform::SetKeyState(platform::VK_SHIFT, false);
  EXPECT_FALSE(IsShiftDown());
}

#if defined(_WIN32)
// Whether the system is at least major.minor, by the system's own comparison.
bool SystemVersionAtLeast(DWORD major, DWORD minor) {
  OSVERSIONINFOEXW wanted{};
  wanted.dwOSVersionInfoSize = sizeof wanted;
  wanted.dwMajorVersion = major;
  wanted.dwMinorVersion = minor;
  ULONGLONG condition = 0;
  condition = ::VerSetConditionMask(condition, VER_MAJORVERSION, VER_GREATER_EQUAL);
  condition = ::VerSetConditionMask(condition, VER_MINORVERSION, VER_GREATER_EQUAL);
  return ::VerifyVersionInfoW(&wanted, VER_MAJORVERSION | VER_MINORVERSION, condition) != FALSE;
}
#endif

TEST_F(MessagesTest, VersionQueriesFollowTheMachine) {
#if defined(_WIN32)
  // The version is the system's own there.
  EXPECT_EQ(IsVistaOrLater(), SystemVersionAtLeast(6, 0));
  EXPECT_EQ(IsWindows2000(), SystemVersionAtLeast(5, 0) && !SystemVersionAtLeast(5, 1));
#else
  EXPECT_FALSE(IsWindows2000());
  EXPECT_TRUE(IsVistaOrLater());
  std::ofstream(machine_.root() / "machine.ini") << "[Windows]\nVersion=5.0\n";
  EXPECT_TRUE(IsWindows2000());
  EXPECT_FALSE(IsVistaOrLater());
  std::ofstream(machine_.root() / "machine.ini") << "[Windows]\nVersion=5.1\n";
  EXPECT_FALSE(IsWindows2000());
  EXPECT_FALSE(IsVistaOrLater());
  std::ofstream(machine_.root() / "machine.ini") << "[Windows]\nVersion=6.0\n";
  EXPECT_TRUE(IsVistaOrLater());
#endif
}

}  // namespace
