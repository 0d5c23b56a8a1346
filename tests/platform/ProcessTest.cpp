#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <iostream>

#include "platform/Journal.h"
#include "platform/Keys.h"
#include "platform/Process.h"
#include "tests/TestMachine.h"

namespace platform {
namespace {

TEST(Journal, AppendsListsAndClears) {
  JournalClear();
  JournalAppend("shell", "open http://x");
  JournalAppend("dde", "acroview|control: [DocGoTo(NULL, 11)]");
  EXPECT_EQ(JournalEntries(), (std::vector<JournalEntry>{{"shell", "open http://x"},
                                                         {"dde", "acroview|control: [DocGoTo(NULL, 11)]"}}));
  JournalClear();
  EXPECT_TRUE(JournalEntries().empty());
}

#if !defined(_WIN32)
// The stand-in programs are files under the machine root; on Windows the
// system's calls are tested in win32/SystemProcessTest.cpp.
TEST(Process, StartSucceedsOnlyForAnExecutableUnderTheRoot) {
  TestMachine machine;
  JournalClear();
  EXPECT_EQ(StartProgram("\"C:\\Program Files\\Reader\\Reader.exe\" /a page=3 \"C:\\x.pdf\"", 1), 2u);
  EXPECT_TRUE(JournalEntries().empty());
  machine.Write("C/Program Files/Reader/Reader.exe", "FileVersion=7.0.5.0\n");
  EXPECT_EQ(StartProgram("\"C:\\Program Files\\Reader\\Reader.exe\" /a page=3 \"C:\\x.pdf\"", 1), 33u);
  EXPECT_EQ(JournalEntries(),
            (std::vector<JournalEntry>{
                {"start", "\"C:\\Program Files\\Reader\\Reader.exe\" /a page=3 \"C:\\x.pdf\""}}));
  EXPECT_EQ(ShellExecute("open", "http://example.invalid", "", "", 1), 42);
  EXPECT_TRUE(DdeExecute("acroview", "control", "[DocGoTo(NULL, 11)]"));
  ASSERT_EQ(JournalEntries().size(), 3u);
  EXPECT_EQ(JournalEntries()[1], (JournalEntry{"shell", "open http://example.invalid"}));
  EXPECT_EQ(JournalEntries()[2], (JournalEntry{"dde", "acroview|control: [DocGoTo(NULL, 11)]"}));
  JournalClear();
}

TEST(Process, FileVersionOfAStandInExecutable) {
  TestMachine machine;
  machine.Write("C/R/good.exe", "stand-in\nFileVersion=7.1.2.3\n");
  machine.Write("C/R/none.exe", "no version here\n");
  machine.Write("C/R/bad.exe", "FileVersion=7.x\n");
  FileVersion version;
  ASSERT_EQ(GetFileVersion("C:\\R\\good.exe", &version), 0);
  EXPECT_EQ(version.major, 7);
  EXPECT_EQ(version.revision, 3);
  EXPECT_EQ(GetFileVersion("C:\\R\\none.exe", &version), ERROR_RESOURCE_TYPE_NOT_FOUND);
  EXPECT_EQ(GetFileVersion("C:\\R\\bad.exe", &version), ERROR_INVALID_DATA);
  EXPECT_EQ(GetFileVersion("C:\\R\\missing.exe", &version), 2);
}

// Needs a child process that shares the test's code: fork. On Windows the
// probe program ends through ExitProcess instead (win32/SystemProcessTest.cpp).
TEST(Process, ExitFlushesBufferedOutputAndEndsWithTheCode) {
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  // The child inherits what the test program has buffered and not yet
  // written; only what the child itself prints may reach the pipe.
  std::cout.flush();
  std::fflush(stdout);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    dup2(pipeEnds[1], STDOUT_FILENO);
    close(pipeEnds[0]);
    std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    std::printf("Running modal dialog TLegendSetupDialog Strativue Setup");
    std::cout << " and more";
    ExitProcess(1);
  }
  close(pipeEnds[1]);
  std::string output;
  char buffer[256];
  for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
    output.append(buffer, static_cast<size_t>(n));
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(output, "Running modal dialog TLegendSetupDialog Strativue Setup and more");
}
#endif

TEST(Keys, StatesHaveTheHighBitWhileDown) {
  ResetKeyStates();
  EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
  SetKeyState(VK_SHIFT, true);
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  EXPECT_EQ(GetKeyState(VK_CONTROL), 0);
  SetKeyState(VK_SHIFT, false);
  EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
  SetKeyState(300, true);
  EXPECT_EQ(GetKeyState(300), 0);
  EXPECT_EQ(GetKeyState(-1), 0);
}

}  // namespace
}  // namespace platform
