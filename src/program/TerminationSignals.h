#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace tessarapane::program {

// SIGTERM and SIGINT brought into the Qt event loop: the handler only writes
// the signal's number to a pipe, whose reading end the loop watches, so the
// reaction runs on the main thread between events. One instance at a time;
// the default actions come back when it goes.
class TerminationSignals {
 public:
  explicit TerminationSignals(std::function<void(int signalNumber)> onSignal);
  ~TerminationSignals();

  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  // False when the pipe or the handlers could not be set up.
  bool isInstalled() const { return installed_; }

 private:
  void drain();

  std::function<void(int)> onSignal_;
  std::unique_ptr<QSocketNotifier> notifier_;
  bool installed_ = false;
};

}  // namespace tessarapane::program
