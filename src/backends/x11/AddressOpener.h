#pragma once

#include <sys/types.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Scheduler.h"
#include "platform/Subscription.h"

namespace tessarapane {

// Opens addresses with the desktop's opener (xdg-open) in a session of its
// own and reports its exit status without blocking the main loop: the opener
// is watched with a short poll of waitpid. An opener still running at the time
// limit counts as opened (some openers stay in front of the handler they
// start); it is still reaped when it ends.
class AddressOpener : public std::enable_shared_from_this<AddressOpener> {
 public:
  static constexpr double kPollInterval = 0.05;
  static constexpr double kTimeLimit = 10.0;
  static constexpr double kReapInterval = 1.0;

  static std::shared_ptr<AddressOpener> create(std::shared_ptr<Scheduler> scheduler,
                                               std::string program = "xdg-open");
  ~AddressOpener();

  AddressOpener(const AddressOpener&) = delete;
  AddressOpener& operator=(const AddressOpener&) = delete;

  // `done` is called at once when the opener cannot be started, otherwise
  // from the main loop once it exits or the time limit passes.
  void open(std::string_view address, std::function<void(bool opened)> done);

 private:
  struct Child {
    double startedAt = 0.0;
    std::function<void(bool)> done;  // empty once answered
    Subscription poll;
  };

  AddressOpener(std::shared_ptr<Scheduler> scheduler, std::string program);
  void watch(pid_t pid, double interval);
  void check(pid_t pid);

  std::shared_ptr<Scheduler> scheduler_;
  std::string program_;
  std::map<pid_t, Child> children_;
};

// An address the opener may be given: a scheme, a colon, something after it
// and no white space (the opener's argument is never taken as an option).
bool looksLikeAddress(std::string_view address);

}  // namespace tessarapane
