#include "Subprocess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

extern char** environ;

namespace tessarapane::x11test {

double monotonicNow() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

namespace {

std::vector<std::string> mergedEnvironment(const std::map<std::string, std::string>& extra) {
  std::map<std::string, std::string> merged;
  for (char** entry = environ; entry && *entry; ++entry) {
    const std::string text(*entry);
    const std::size_t equals = text.find('=');
    if (equals != std::string::npos) merged[text.substr(0, equals)] = text.substr(equals + 1);
  }
  for (const auto& [key, value] : extra) merged[key] = value;
  std::vector<std::string> result;
  for (const auto& [key, value] : merged) result.push_back(key + "=" + value);
  return result;
}

}  // namespace

std::optional<Subprocess> Subprocess::start(const std::vector<std::string>& argv, const Options& options,
                                            std::string* error) {
  int input[2] = {-1, -1};
  int output[2] = {-1, -1};
  int failure[2] = {-1, -1};  // carries errno when exec fails
  if (options.pipeStdin && pipe2(input, O_CLOEXEC) != 0) return std::nullopt;
  if (options.captureStdout && pipe2(output, O_CLOEXEC) != 0) return std::nullopt;
  if (pipe2(failure, O_CLOEXEC) != 0) return std::nullopt;

  // Everything the child needs is prepared before fork: after it only
  // async-signal-safe calls are made.
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const std::vector<std::string> environment = mergedEnvironment(options.environment);
  std::vector<char*> env;
  for (const std::string& entry : environment) env.push_back(const_cast<char*>(entry.c_str()));
  env.push_back(nullptr);
  const std::string program = argv.front();
  std::vector<std::string> candidates;
  if (program.find('/') != std::string::npos) {
    candidates.push_back(program);
  } else if (const char* path = std::getenv("PATH")) {
    std::string paths(path);
    std::size_t start = 0;
    while (start <= paths.size()) {
      const std::size_t end = std::min(paths.find(':', start), paths.size());
      candidates.push_back(paths.substr(start, end - start) + "/" + program);
      start = end + 1;
    }
  }

  const pid_t pid = fork();
  if (pid < 0) return std::nullopt;
  if (pid == 0) {
    // The child dies with the test process, even one that crashed, so no
    // display or window manager outlives it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    setpgid(0, 0);
    int in = options.pipeStdin ? input[0] : open("/dev/null", O_RDONLY);
    int out = options.captureStdout ? output[1] : open("/dev/null", O_WRONLY);
    int err = open(options.stderrPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    dup2(in, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    if (err >= 0) dup2(err, STDERR_FILENO);
    if (options.passFd) {
      const int flags = fcntl(*options.passFd, F_GETFD);
      fcntl(*options.passFd, F_SETFD, flags & ~FD_CLOEXEC);
    }
    for (const std::string& candidate : candidates) execve(candidate.c_str(), args.data(), env.data());
    const int code = errno;
    [[maybe_unused]] const auto written = ::write(failure[1], &code, sizeof code);
    _exit(127);
  }
  close(failure[1]);
  if (options.pipeStdin) close(input[0]);
  if (options.captureStdout) close(output[1]);
  int code = 0;
  const ssize_t failed = read(failure[0], &code, sizeof code);
  close(failure[0]);
  if (failed > 0) {
    if (error) *error = "cannot start " + argv[0] + ": " + std::strerror(code);
    int status = 0;
    waitpid(pid, &status, 0);
    if (options.pipeStdin) close(input[1]);
    if (options.captureStdout) close(output[0]);
    return std::nullopt;
  }
  Subprocess process;
  process.pid_ = pid;
  process.stdinFd_ = options.pipeStdin ? input[1] : -1;
  process.stdoutFd_ = options.captureStdout ? output[0] : -1;
  return process;
}

Subprocess::~Subprocess() { release(); }

Subprocess::Subprocess(Subprocess&& other) noexcept { *this = std::move(other); }

Subprocess& Subprocess::operator=(Subprocess&& other) noexcept {
  if (this == &other) return *this;
  release();
  pid_ = std::exchange(other.pid_, -1);
  stdinFd_ = std::exchange(other.stdinFd_, -1);
  stdoutFd_ = std::exchange(other.stdoutFd_, -1);
  buffer_ = std::move(other.buffer_);
  history_ = std::move(other.history_);
  ended_ = other.ended_;
  outputClosed_ = other.outputClosed_;
  status_ = other.status_;
  return *this;
}

void Subprocess::release() {
  if (pid_ > 0 && !ended_) {
    kill(pid_, SIGKILL);
    kill(pid_, SIGCONT);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    ended_ = true;
  }
  if (stdinFd_ >= 0) close(stdinFd_);
  if (stdoutFd_ >= 0) close(stdoutFd_);
  stdinFd_ = stdoutFd_ = -1;
  pid_ = -1;
}

std::optional<std::string> Subprocess::readLine(double timeout) {
  const double deadline = monotonicNow() + timeout;
  for (;;) {
    const std::size_t newline = buffer_.find('\n');
    if (newline != std::string::npos) {
      std::string line = buffer_.substr(0, newline);
      buffer_.erase(0, newline + 1);
      history_.push_back(line);
      return line;
    }
    if (stdoutFd_ < 0 || outputClosed_) return std::nullopt;
    const double left = deadline - monotonicNow();
    if (left <= 0) return std::nullopt;
    pollfd fd{stdoutFd_, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left * 1000) + 1) <= 0) continue;
    char chunk[512];
    const ssize_t count = read(stdoutFd_, chunk, sizeof chunk);
    if (count <= 0) {
      outputClosed_ = true;
      continue;
    }
    buffer_.append(chunk, static_cast<std::size_t>(count));
  }
}

std::optional<std::string> Subprocess::waitForLine(const std::string& prefix, double timeout) {
  const double deadline = monotonicNow() + timeout;
  for (;;) {
    const double left = deadline - monotonicNow();
    auto line = readLine(left > 0 ? left : 0);
    if (!line) return std::nullopt;
    if (line->rfind(prefix, 0) == 0) return line;
  }
}

bool Subprocess::writeLine(const std::string& line) {
  if (stdinFd_ < 0) return false;
  const std::string text = line + "\n";
  return ::write(stdinFd_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

void Subprocess::closeStdin() {
  if (stdinFd_ >= 0) close(stdinFd_);
  stdinFd_ = -1;
}

std::optional<int> Subprocess::wait(double timeout) {
  if (ended_) return status_;
  if (pid_ <= 0) return std::nullopt;
  const double deadline = monotonicNow() + timeout;
  // A process descriptor becomes readable when the child ends.
  const int processFd = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      ended_ = true;
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      if (processFd >= 0) close(processFd);
      return status_;
    }
    const double left = deadline - monotonicNow();
    if (left <= 0) {
      if (processFd >= 0) close(processFd);
      return std::nullopt;
    }
    pollfd fd{processFd, POLLIN, 0};
    // Without process descriptors, look again in a few milliseconds.
    poll(processFd >= 0 ? &fd : nullptr, processFd >= 0 ? 1 : 0, processFd >= 0 ? static_cast<int>(left * 1000) + 1 : 5);
  }
}

bool Subprocess::isRunning() { return pid_ > 0 && !ended_ && !wait(0).has_value(); }

void Subprocess::signal(int signalNumber) {
  if (pid_ > 0 && !ended_) kill(pid_, signalNumber);
}

void Subprocess::terminate() {
  if (pid_ <= 0 || ended_) return;
  kill(pid_, SIGCONT);
  kill(pid_, SIGTERM);
  if (!wait(2.0)) {
    kill(pid_, SIGKILL);
    wait(5.0);
  }
}

std::optional<Subprocess::Result> Subprocess::run(const std::vector<std::string>& argv, double timeout,
                                                  const std::map<std::string, std::string>& environment) {
  Options options;
  options.captureStdout = true;
  options.environment = environment;
  auto process = start(argv, options);
  if (!process) return std::nullopt;
  Result result;
  const double deadline = monotonicNow() + timeout;
  while (auto line = process->readLine(std::max(0.0, deadline - monotonicNow()))) result.output += *line + "\n";
  result.output += process->buffer_;
  const auto status = process->wait(std::max(0.0, deadline - monotonicNow()));
  if (!status) return std::nullopt;
  result.status = *status;
  return result;
}

}  // namespace tessarapane::x11test
