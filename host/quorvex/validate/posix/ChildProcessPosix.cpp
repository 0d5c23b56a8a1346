#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <stdexcept>

#include "host/quorvex/validate/ChildProcess.h"

namespace quorvex::validate {

ChildOutcome RunSelf(const std::vector<std::string>& arguments) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
  std::vector<std::string> words = {"quorvex"};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::cout.flush();
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
  if (child == 0) {
    dup2(pipeEnds[1], STDOUT_FILENO);
    dup2(pipeEnds[1], STDERR_FILENO);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    execv("/proc/self/exe", argv.data());
    _exit(127);
  }
  close(pipeEnds[1]);
  ChildOutcome outcome;
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    outcome.output.append(buffer, static_cast<size_t>(got));
  }
  close(pipeEnds[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFSIGNALED(status)) {
    const int signal = WTERMSIG(status);
    outcome.timedOut = signal == SIGALRM;
    outcome.crash = "signal " + std::to_string(signal) + " (" + strsignal(signal) + ")";
    return outcome;
  }
  outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  outcome.started = outcome.code != 127;
  return outcome;
}

void LimitRunningTime(unsigned seconds) { alarm(seconds); }

int64_t HeapBytesInUse() { return static_cast<int64_t>(mallinfo2().uordblks); }

}  // namespace quorvex::validate
