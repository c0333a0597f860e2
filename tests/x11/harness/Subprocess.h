#pragma once

#include <sys/types.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tessarapane::x11test {

// A child process of a test: its standard input can be written, its standard
// output read line by line with a timeout, its standard error goes to a file.
// Destroying the handle kills the child (SIGKILL) and reaps it.
class Subprocess {
 public:
  struct Options {
    std::map<std::string, std::string> environment;  // added to (or replacing) this process's
    bool pipeStdin = false;
    bool captureStdout = false;
    std::string stderrPath = "/dev/null";
  };

  static std::unique_ptr<Subprocess> start(const std::vector<std::string>& argv, const Options& options,
                                           std::string* error = nullptr);
  ~Subprocess();
  Subprocess(const Subprocess&) = delete;
  Subprocess& operator=(const Subprocess&) = delete;

  pid_t pid() const { return pid_; }
  // The next line of standard output, waiting at most `timeout` seconds.
  std::optional<std::string> readLine(double timeout);
  // Lines until one starts with `prefix`; that line, or none on timeout or end of output.
  std::optional<std::string> waitForLine(const std::string& prefix, double timeout);
  // Every line read so far, skipped ones included.
  const std::vector<std::string>& history() const { return history_; }
  bool writeLine(const std::string& line);

  // Exit status once the child has ended (within `timeout` seconds): the
  // exit code, or 128 + signal number.
  std::optional<int> wait(double timeout);
  bool isRunning() { return pid_ > 0 && !wait(0).has_value(); }
  void signal(int signalNumber);
  // SIGTERM, a moment's grace, then SIGKILL; reaps the child.
  void terminate();

  // Runs a program to completion: its exit status and standard output
  // (standard error goes to `stderrPath`); none when it could not start or
  // outlived the timeout.
  struct Result {
    int status = -1;
    std::string output;
  };
  static std::optional<Result> run(const std::vector<std::string>& argv, double timeout,
                                   const std::map<std::string, std::string>& environment = {},
                                   const std::string& stderrPath = "/dev/null");

 private:
  Subprocess() = default;

  pid_t pid_ = -1;
  int stdinFd_ = -1;
  int stdoutFd_ = -1;
  std::string buffer_;
  std::vector<std::string> history_;
  bool outputClosed_ = false;
  std::optional<int> status_;
};

// Seconds on the monotonic clock.
double monotonicNow();

}  // namespace tessarapane::x11test
