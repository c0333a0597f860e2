#include "backends/sim/SimWorkspace.h"

#include <string>
#include <utility>

namespace tessarapane {

SimWorkspace::SimWorkspace(std::shared_ptr<SimDesktop> desktop) : desktop_(std::move(desktop)) {}

std::vector<RunningApplication> SimWorkspace::runningApplications() { return desktop_->runningApplications(); }

std::optional<RunningApplication> SimWorkspace::runningApplication(ProcessID pid) {
  return desktop_->runningApplication(pid);
}

std::optional<RunningApplication> SimWorkspace::frontmostApplication() {
  const auto pid = desktop_->frontmostApplication();
  if (!pid) return std::nullopt;
  return desktop_->runningApplication(*pid);
}

ProcessID SimWorkspace::currentProcessID() { return desktop_->currentProcessID(); }

bool SimWorkspace::activate(ProcessID pid) {
  record(SimCall::Kind::activate, pid, "");
  return desktop_->activateApplication(pid);
}

FrontProcessResult SimWorkspace::bringProcessToFront(ProcessID pid) {
  record(SimCall::Kind::bringProcessToFront, pid, "");
  if (desktop_->frontProcessMode() == SimFrontProcessMode::unavailable || !desktop_->isRunning(pid)) {
    return FrontProcessResult::unavailable;
  }
  if (desktop_->frontProcessMode() == SimFrontProcessMode::fails) return FrontProcessResult::failed;
  // "Front window only": the process's focused window comes forward.
  desktop_->makeFrontmost(pid);
  auto front = desktop_->focusedWindow(pid);
  if (!front) {
    const auto owned = desktop_->windowsOf(pid);
    if (!owned.empty()) front = owned.front();
  }
  if (front) desktop_->raise(*front);
  return FrontProcessResult::succeeded;
}

void SimWorkspace::openAddress(std::string_view address, std::function<void(bool)> done) {
  const bool opened = opens(address);
  if (done) done(opened);
}

bool SimWorkspace::opens(std::string_view address) {
  record(SimCall::Kind::openAddress, 0, address);
  const std::string text(address);
  const auto colon = text.find(':');
  // A URL needs a scheme: letters first, then letters, digits, '+', '-', '.'.
  if (colon == std::string::npos || colon == 0) return false;
  for (std::size_t i = 0; i < colon; ++i) {
    const char c = text[i];
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    const bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    if (!letter && (i == 0 || !other)) return false;
  }
  return !desktop_->isAddressRefused(text);
}

Subscription SimWorkspace::subscribe(std::function<void(const WorkspaceNotification&)> handler) {
  return desktop_->subscribeWorkspace(std::move(handler));
}

void SimWorkspace::record(SimCall::Kind kind, ProcessID pid, std::string_view name) {
  SimCall call;
  call.kind = kind;
  call.pid = pid;
  call.name = std::string(name);
  desktop_->record(std::move(call));
}

}  // namespace tessarapane
