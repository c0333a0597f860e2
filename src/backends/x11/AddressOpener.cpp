#include "backends/x11/AddressOpener.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <utility>

namespace tessarapane {

namespace {

bool onPath(const std::string& program) {
  if (program.find('/') != std::string::npos) return access(program.c_str(), X_OK) == 0;
  const char* path = std::getenv("PATH");
  if (!path) return false;
  const std::string paths(path);
  std::size_t start = 0;
  while (start <= paths.size()) {
    const std::size_t end = std::min(paths.find(':', start), paths.size());
    const std::string candidate = paths.substr(start, end - start) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

bool looksLikeAddress(std::string_view address) {
  const std::size_t colon = address.find(':');
  if (colon == std::string_view::npos || colon == 0 || colon + 1 >= address.size()) return false;
  if (!std::isalpha(static_cast<unsigned char>(address[0]))) return false;
  for (std::size_t i = 1; i < colon; ++i) {
    const char c = address[i];
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
  }
  return std::none_of(address.begin(), address.end(),
                      [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; });
}

std::shared_ptr<AddressOpener> AddressOpener::create(std::shared_ptr<Scheduler> scheduler, std::string program) {
  return std::shared_ptr<AddressOpener>(new AddressOpener(std::move(scheduler), std::move(program)));
}

AddressOpener::AddressOpener(std::shared_ptr<Scheduler> scheduler, std::string program)
    : scheduler_(std::move(scheduler)), program_(std::move(program)) {}

AddressOpener::~AddressOpener() {
  // Openers still running are left to finish on their own; they run in a
  // session of their own and init reaps them once we are gone.
  for (auto& entry : children_) entry.second.poll.cancel();
}

void AddressOpener::open(std::string_view address, std::function<void(bool)> done) {
  if (!scheduler_ || !looksLikeAddress(address) || !onPath(program_)) {
    if (done) done(false);
    return;
  }
  const std::string target(address);
  const pid_t pid = fork();
  if (pid < 0) {
    if (done) done(false);
    return;
  }
  if (pid == 0) {
    setsid();
    const int null = ::open("/dev/null", O_RDONLY);
    if (null >= 0) dup2(null, STDIN_FILENO);
    execlp(program_.c_str(), program_.c_str(), target.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  Child& child = children_[pid];
  child.startedAt = scheduler_->now();
  child.done = std::move(done);
  watch(pid, kPollInterval);
}

void AddressOpener::watch(pid_t pid, double interval) {
  const std::weak_ptr<AddressOpener> weak = weak_from_this();
  children_[pid].poll = scheduler_->scheduleRepeating(interval, [weak, pid] {
    if (const auto self = weak.lock()) self->check(pid);
  });
}

void AddressOpener::check(pid_t pid) {
  const auto found = children_.find(pid);
  if (found == children_.end()) return;
  int status = 0;
  pid_t reaped = waitpid(pid, &status, WNOHANG);
  while (reaped < 0 && errno == EINTR) reaped = waitpid(pid, &status, WNOHANG);
  if (reaped == 0) {
    if (found->second.done && scheduler_->now() - found->second.startedAt >= kTimeLimit) {
      std::function<void(bool)> done = std::exchange(found->second.done, nullptr);
      found->second.poll.cancel();
      watch(pid, kReapInterval);
      done(true);
    }
    return;
  }
  const bool opened = reaped == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  std::function<void(bool)> done = std::move(found->second.done);
  found->second.poll.cancel();
  children_.erase(found);
  if (done) done(opened);
}

}  // namespace tessarapane
