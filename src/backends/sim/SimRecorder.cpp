#include "backends/sim/SimRecorder.h"

#include <algorithm>

#include "backends/sim/SimElements.h"

namespace tessarapane {

namespace {

bool isCloseButtonOf(const SimCall& call, WindowID window) {
  return call.kind == SimCall::Kind::performAction && call.window == window && call.name == "AXPress" &&
         SimElements::controlKind(call.element) == SimControlKind::closeButton;
}

}  // namespace

std::size_t SimRecorder::frameWrites(WindowID window) const {
  return attributeWrites(window, "AXPosition") + attributeWrites(window, "AXSize");
}

std::size_t SimRecorder::attributeWrites(WindowID window, std::string_view attribute) const {
  return static_cast<std::size_t>(std::count_if(calls_.begin(), calls_.end(), [&](const SimCall& call) {
    return call.kind == SimCall::Kind::setAttribute && call.window == window &&
           call.element.kind == AXElementKind::window && call.name == attribute;
  }));
}

std::size_t SimRecorder::actions(WindowID window, std::string_view action) const {
  return static_cast<std::size_t>(std::count_if(calls_.begin(), calls_.end(), [&](const SimCall& call) {
    return call.kind == SimCall::Kind::performAction && call.window == window && call.name == action;
  }));
}

std::size_t SimRecorder::closeRequests(WindowID window) const {
  return static_cast<std::size_t>(
      std::count_if(calls_.begin(), calls_.end(), [&](const SimCall& call) { return isCloseButtonOf(call, window); }));
}

std::vector<WindowID> SimRecorder::raisedWindows() const {
  std::vector<WindowID> raised;
  for (const SimCall& call : calls_) {
    if (call.kind == SimCall::Kind::performAction && call.name == "AXRaise" &&
        call.element.kind == AXElementKind::window) {
      raised.push_back(call.window);
    }
  }
  return raised;
}

std::vector<ProcessID> SimRecorder::activations() const {
  std::vector<ProcessID> pids;
  for (const SimCall& call : calls_) {
    if (call.kind == SimCall::Kind::activate) pids.push_back(call.pid);
  }
  return pids;
}

std::vector<ProcessID> SimRecorder::frontProcessRequests() const {
  std::vector<ProcessID> pids;
  for (const SimCall& call : calls_) {
    if (call.kind == SimCall::Kind::bringProcessToFront) pids.push_back(call.pid);
  }
  return pids;
}

std::vector<std::string> SimRecorder::openedAddresses() const {
  std::vector<std::string> addresses;
  for (const SimCall& call : calls_) {
    if (call.kind == SimCall::Kind::openAddress) addresses.push_back(call.name);
  }
  return addresses;
}

}  // namespace tessarapane
