// Runs the built quorvex program the way the test programs that drive it from
// outside need it: the arguments handed over as they are (no shell between),
// the test's environment with additions, standard input from a given text,
// standard output and standard error captured apart, and a time limit past
// which the run is killed and the test fails. POSIX only: on Windows the
// program is run by scripts/test-windows.sh instead.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "generated/BuildPaths.h"

extern char** environ;

namespace testsupport {

using Arguments = std::vector<std::string>;

// `first` followed by `more`.
inline Arguments Concat(Arguments first, const Arguments& more) {
  first.insert(first.end(), more.begin(), more.end());
  return first;
}

// The whole content of a file; empty when it cannot be read.
inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// One run of the program.
struct QuorvexCall {
  Arguments arguments{};
  // Set for the run on top of the test's own environment.
  std::vector<std::pair<std::string, std::string>> environment{};
  // Standard input; without it the run reads an empty one (/dev/null).
  std::optional<std::string> input{};
  std::string program = STRATIVUE_BIN_DIR "/quorvex";
  // The run's current folder; empty: the test's.
  std::filesystem::path folder{};
  // Far beyond any ordinary run, and short of CTest's limit for a whole test,
  // so that a hang is reported with the run that hung.
  std::chrono::seconds timeLimit{120};
};

struct RunResult {
  int exitCode = -1;  // -1 when the run did not end by itself
  std::string out;
  std::string err;
};

// A started run; Wait collects it. A run never waited for is killed when
// this goes, so that a failed assertion leaves no process behind.
class QuorvexProcess {
 public:
  explicit QuorvexProcess(QuorvexCall call)
      : call_(std::move(call)), deadline_(Clock::now() + call_.timeLimit) {
    Start();
  }
  ~QuorvexProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      Reap();
    }
    CloseAll();
  }
  QuorvexProcess(const QuorvexProcess&) = delete;
  QuorvexProcess& operator=(const QuorvexProcess&) = delete;

  RunResult Wait() {
    RunResult result;
    if (pid_ <= 0) return result;
    Collect(result);
    int status = 0;
    bool ended = false;
    // Both streams closed: the run is ending, or has closed them and goes on.
    while (!ended && !TimeIsUp()) {
      ended = ::waitpid(pid_, &status, WNOHANG) == pid_;
      if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (!ended) {
      ::kill(pid_, SIGKILL);
      Reap();
      ADD_FAILURE() << Described() << " ran past its time limit of " << call_.timeLimit.count()
                    << " s and was killed; its standard error so far: " << result.err;
    }
    pid_ = -1;
    CloseAll();
    result.exitCode = ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
  }

 private:
  using Clock = std::chrono::steady_clock;

  void Start() {
    // A run that stops reading its input must not end the test program with
    // SIGPIPE; the run itself gets the default action back below.
    std::signal(SIGPIPE, SIG_IGN);
    int out[2] = {-1, -1}, err[2] = {-1, -1}, in[2] = {-1, -1};
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0 ||
        (call_.input && ::pipe2(in, O_CLOEXEC) != 0)) {
      ADD_FAILURE() << "cannot make the pipes for " << Described() << ": " << std::strerror(errno);
      for (int fd : {out[0], out[1], err[0], err[1], in[0], in[1]}) Close(fd);
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (call_.input)
      posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    else
      posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    if (!call_.folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, call_.folder.c_str());
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable) {
      const std::string_view entry(*variable);
      if (std::none_of(call_.environment.begin(), call_.environment.end(),
                       [&](const auto& set) { return entry.starts_with(set.first + "="); }))
        variables.emplace_back(entry);
    }
    for (const auto& [name, value] : call_.environment) variables.push_back(name + "=" + value);
    std::vector<char*> argv = {call_.program.data()};
    for (std::string& argument : call_.arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);

    const int failed =
        ::posix_spawn(&pid_, call_.program.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    for (int fd : {out[1], err[1], in[0]}) Close(fd);
    in_ = in[1];
    out_ = out[0];
    err_ = err[0];
    if (failed != 0) {
      pid_ = -1;
      ADD_FAILURE() << "cannot start " << Described() << ": " << std::strerror(failed);
      return;
    }
    if (in_ >= 0) ::fcntl(in_, F_SETFL, O_NONBLOCK);
  }

  // Feeds the input and reads both streams until the run closes them or the
  // time is up.
  void Collect(RunResult& result) {
    std::size_t written = 0;
    if (in_ >= 0 && call_.input->empty()) Close(in_);
    while ((out_ >= 0 || err_ >= 0 || in_ >= 0) && !TimeIsUp()) {
      pollfd ready[] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}, {in_, POLLOUT, 0}};
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline_ - Clock::now());
      if (::poll(ready, 3, static_cast<int>(std::max<int64_t>(left.count(), 1))) < 0) {
        if (errno == EINTR) continue;
        break;
      }
      Read(ready[0], out_, result.out);
      Read(ready[1], err_, result.err);
      if (in_ >= 0 && ready[2].revents != 0) Feed(ready[2], written);
    }
  }

  void Feed(const pollfd& ready, std::size_t& written) {
    const std::string& input = *call_.input;
    // Anything but room to write: the run closed its input without reading all of it.
    if ((ready.revents & POLLOUT) == 0) return Close(in_);
    const ssize_t count = ::write(in_, input.data() + written, input.size() - written);
    if (count < 0 && errno != EAGAIN && errno != EINTR) return Close(in_);
    if (count > 0) written += static_cast<std::size_t>(count);
    if (written == input.size()) Close(in_);
  }

  static void Read(const pollfd& ready, int& fd, std::string& text) {
    if (fd < 0 || ready.revents == 0) return;
    char buffer[65536];
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count > 0)
      text.append(buffer, static_cast<std::size_t>(count));
    else if (count == 0 || errno != EINTR)
      Close(fd);
  }

  void Reap() {
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
  }

  static void Close(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  void CloseAll() {
    Close(in_);
    Close(out_);
    Close(err_);
  }

  bool TimeIsUp() const { return Clock::now() >= deadline_; }

  std::string Described() const {
    std::string text = call_.program;
    for (const std::string& argument : call_.arguments) text += " '" + argument + "'";
    return text;
  }

  QuorvexCall call_;
  Clock::time_point deadline_;
  pid_t pid_ = -1;
  int in_ = -1, out_ = -1, err_ = -1;
};

inline RunResult RunQuorvex(QuorvexCall call) { return QuorvexProcess(std::move(call)).Wait(); }

}  // namespace testsupport
