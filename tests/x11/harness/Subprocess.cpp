#include "Subprocess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

extern char** environ;

namespace tessarapane::x11test {

double monotonicNow() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

std::unique_ptr<Subprocess> Subprocess::start(const std::vector<std::string>& argv, const Options& options,
                                              std::string* error) {
  int input[2] = {-1, -1}, output[2] = {-1, -1};
  int failure[2] = {-1, -1};  // carries errno when exec fails
  if ((options.pipeStdin && pipe2(input, O_CLOEXEC) != 0) || (options.captureStdout && pipe2(output, O_CLOEXEC) != 0) ||
      pipe2(failure, O_CLOEXEC) != 0) {
    return nullptr;
  }
  // Everything the child needs is prepared before fork: after it only
  // async-signal-safe calls are made.
  std::vector<std::string> environment;
  for (char** entry = environ; entry && *entry; ++entry) {
    if (!options.environment.count(std::string(*entry).substr(0, std::string(*entry).find('=')))) environment.push_back(*entry);
  }
  for (const auto& [key, value] : options.environment) environment.push_back(key + "=" + value);
  std::vector<char*> args, env;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  for (const std::string& entry : environment) env.push_back(const_cast<char*>(entry.c_str()));
  args.push_back(nullptr);
  env.push_back(nullptr);
  const pid_t pid = fork();
  if (pid < 0) return nullptr;
  if (pid == 0) {
    // The child dies with the test process, even one that crashed, so no
    // display or window manager outlives it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    setpgid(0, 0);
    const int err = open(options.stderrPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    dup2(options.pipeStdin ? input[0] : open("/dev/null", O_RDONLY), STDIN_FILENO);
    dup2(options.captureStdout ? output[1] : open("/dev/null", O_WRONLY), STDOUT_FILENO);
    if (err >= 0) dup2(err, STDERR_FILENO);
    execvpe(args[0], args.data(), env.data());
    const int code = errno;
    [[maybe_unused]] const auto written = ::write(failure[1], &code, sizeof code);
    _exit(127);
  }
  close(failure[1]);
  if (options.pipeStdin) close(input[0]);
  if (options.captureStdout) close(output[1]);
  std::unique_ptr<Subprocess> process(new Subprocess());
  process->pid_ = pid;
  process->stdinFd_ = input[1];
  process->stdoutFd_ = output[0];
  int code = 0;
  const ssize_t failed = read(failure[0], &code, sizeof code);
  close(failure[0]);
  if (failed <= 0) return process;
  if (error) *error = "cannot start " + argv[0] + ": " + std::strerror(code);
  process->wait(5.0);
  return nullptr;
}

Subprocess::~Subprocess() {
  if (pid_ > 0 && !status_) {
    kill(pid_, SIGKILL);
    kill(pid_, SIGCONT);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
  if (stdinFd_ >= 0) close(stdinFd_);
  if (stdoutFd_ >= 0) close(stdoutFd_);
}

std::optional<std::string> Subprocess::readLine(double timeout) {
  const double deadline = monotonicNow() + timeout;
  for (;;) {
    if (const std::size_t newline = buffer_.find('\n'); newline != std::string::npos) {
      history_.push_back(buffer_.substr(0, newline));
      buffer_.erase(0, newline + 1);
      return history_.back();
    }
    const double left = deadline - monotonicNow();
    if (stdoutFd_ < 0 || outputClosed_ || left <= 0) return std::nullopt;
    pollfd fd{stdoutFd_, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left * 1000) + 1) <= 0) continue;
    char chunk[512];
    const ssize_t count = read(stdoutFd_, chunk, sizeof chunk);
    if (count <= 0) outputClosed_ = true;
    else buffer_.append(chunk, static_cast<std::size_t>(count));
  }
}

std::optional<std::string> Subprocess::waitForLine(const std::string& prefix, double timeout) {
  const double deadline = monotonicNow() + timeout;
  while (auto line = readLine(std::max(0.0, deadline - monotonicNow()))) {
    if (line->rfind(prefix, 0) == 0) return line;
  }
  return std::nullopt;
}

bool Subprocess::writeLine(const std::string& line) {
  const std::string text = line + "\n";
  return stdinFd_ >= 0 && ::write(stdinFd_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

std::optional<int> Subprocess::wait(double timeout) {
  const double deadline = monotonicNow() + timeout;
  while (!status_ && pid_ > 0) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    } else if (monotonicNow() >= deadline) {
      return std::nullopt;
    } else {
      usleep(5000);
    }
  }
  return status_;
}

void Subprocess::signal(int signalNumber) {
  if (pid_ > 0 && !status_) kill(pid_, signalNumber);
}

void Subprocess::terminate() {
  signal(SIGCONT);
  signal(SIGTERM);
  if (!wait(2.0)) {
    signal(SIGKILL);
    wait(5.0);
  }
}

std::optional<Subprocess::Result> Subprocess::run(const std::vector<std::string>& argv, double timeout,
                                                  const std::map<std::string, std::string>& environment,
                                                  const std::string& stderrPath) {
  auto process = start(argv, Options{environment, false, true, stderrPath});
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
