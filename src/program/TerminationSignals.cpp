#include "program/TerminationSignals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <utility>

namespace tessarapane::program {

namespace {

int pipeEnds[2] = {-1, -1};

void onTerminationSignal(int signalNumber) {
  const int saved = errno;
  const auto byte = static_cast<unsigned char>(signalNumber);
  // A full pipe already holds a pending request; dropping this one is fine.
  [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
  errno = saved;
}

constexpr int kSignals[] = {SIGTERM, SIGINT};

}  // namespace

TerminationSignals::TerminationSignals(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {
  if (pipeEnds[0] >= 0) return;
  if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { drain(); });
  struct sigaction action {};
  action.sa_handler = onTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  installed_ = true;
  for (int signalNumber : kSignals) {
    if (sigaction(signalNumber, &action, nullptr) != 0) installed_ = false;
  }
}

TerminationSignals::~TerminationSignals() {
  if (!notifier_) return;
  for (int signalNumber : kSignals) std::signal(signalNumber, SIG_DFL);
  notifier_.reset();
  ::close(pipeEnds[0]);
  ::close(pipeEnds[1]);
  pipeEnds[0] = pipeEnds[1] = -1;
}

void TerminationSignals::drain() {
  unsigned char byte = 0;
  while (::read(pipeEnds[0], &byte, 1) == 1) {
    if (onSignal_) onSignal_(byte);
  }
}

}  // namespace tessarapane::program
