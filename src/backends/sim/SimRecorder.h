#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/AXAttributeValue.h"
#include "platform/AXElement.h"
#include "platform/AXError.h"
#include "platform/ManagedWindow.h"

namespace tessarapane {

// One request the code under test made of the simulated desktop.
struct SimCall {
  enum class Kind : std::uint8_t {
    setAttribute,         // an accessibility attribute write
    performAction,        // an accessibility action
    activate,             // Workspace::activate
    bringProcessToFront,  // Workspace::bringProcessToFront
    openAddress,          // Workspace::openAddress
  };

  Kind kind = Kind::setAttribute;
  double time = 0.0;  // the scheduler's clock when the call was made
  AXElement element;
  // The window the element belongs to (the window itself, or the window of a
  // control); 0 for application elements and workspace calls.
  WindowID window = 0;
  ProcessID pid = 0;
  std::string name;  // attribute, action or address
  std::optional<AXAttributeValue> value;
  AXError result = AXError::success;
};

// Every write, action and workspace request, in the order made, so scenario
// tests can assert what happened and, as importantly, what did not.
class SimRecorder {
 public:
  void record(SimCall call) { calls_.push_back(std::move(call)); }
  void clear() { calls_.clear(); }
  // Reads of an attribute or of the window list: each a round trip to the
  // window system on a real desktop. Never cleared.
  void countRead() { ++reads_; }
  std::size_t reads() const { return reads_; }

  const std::vector<SimCall>& calls() const { return calls_; }

  // Writes of "AXPosition" or "AXSize" to the window, whatever they answered.
  std::size_t frameWrites(WindowID window) const;
  // Writes of one attribute to the window's element.
  std::size_t attributeWrites(WindowID window, std::string_view attribute) const;
  // Actions performed on the window or one of its controls.
  std::size_t actions(WindowID window, std::string_view action) const;
  // Presses of the window's close button.
  std::size_t closeRequests(WindowID window) const;
  // Windows that received "AXRaise", in order, repeats kept.
  std::vector<WindowID> raisedWindows() const;
  // Process ids passed to activate / bringProcessToFront, in order.
  std::vector<ProcessID> activations() const;
  std::vector<ProcessID> frontProcessRequests() const;
  std::vector<std::string> openedAddresses() const;

 private:
  std::vector<SimCall> calls_;
  std::size_t reads_ = 0;
};

}  // namespace tessarapane
