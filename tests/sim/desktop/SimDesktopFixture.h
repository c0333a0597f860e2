#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <optional>
#include <string>
#include <vector>

#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimPlatform.h"
#include "backends/sim/SimScheduler.h"

namespace tessarapane {

// Failure messages show the platform's numbers.
inline void PrintTo(AXError error, std::ostream* out) { *out << rawValue(error); }

}  // namespace tessarapane

namespace tessarapane::testing {

// A desktop with one 1440 x 900 display, its platform services, and helpers
// that go through the accessibility interface the way window code does.
class SimDesktopTest : public ::testing::Test {
 protected:
  std::shared_ptr<SimScheduler> clock = std::make_shared<SimScheduler>();
  std::shared_ptr<SimDesktop> desktop = SimDesktop::create(clock);
  Platform platform = makeSimPlatform(desktop);
  Accessibility& ax = *platform.accessibility;

  ProcessID launch(std::string name, ActivationPolicy policy = ActivationPolicy::regular) {
    SimAppSpec desc;
    desc.localizedName = name;
    desc.bundleIdentifier = "org.example." + name;
    desc.activationPolicy = policy;
    return desktop->launchApplication(desc);
  }

  WindowID open(ProcessID owner, std::string title, Rect frame = Rect(100, 100, 800, 600),
                SimWindowBehavior behavior = {}) {
    SimWindowSpec desc;
    desc.owner = owner;
    desc.title = std::move(title);
    desc.frame = frame;
    desc.behavior = std::move(behavior);
    return desktop->createWindow(std::move(desc));
  }

  AXElement element(WindowID window) const {
    const SimWindowState* state = desktop->window(window);
    return state ? AXElement{state->owner(), AXElementKind::window, window} : AXElement{};
  }

  AXElement appElement(ProcessID pid) { return ax.createApplication(pid); }

  AXCopyResult read(const AXElement& e, const char* attribute) { return ax.copyAttributeValue(e, attribute); }

  template <typename T>
  std::optional<T> readAs(const AXElement& e, const char* attribute) {
    AXCopyResult result = ax.copyAttributeValue(e, attribute);
    if (result.error != AXError::success || !result.value) return std::nullopt;
    if (const T* typed = std::get_if<T>(&*result.value)) return *typed;
    return std::nullopt;
  }

  // The frame as window code reads it: position and size, both or nothing.
  std::optional<Rect> axFrame(const AXElement& e) {
    auto position = readAs<Point>(e, "AXPosition");
    auto size = readAs<Size>(e, "AXSize");
    if (!position || !size) return std::nullopt;
    return Rect(*position, *size);
  }

  // Position then size, the order the window controller writes them.
  std::pair<AXError, AXError> writeFrame(const AXElement& e, Rect frame) {
    const AXError position = ax.setAttributeValue(e, "AXPosition", frame.origin);
    const AXError size = ax.setAttributeValue(e, "AXSize", frame.size);
    return {position, size};
  }

  AXElement closeButton(const AXElement& window) {
    return readAs<AXElement>(window, "AXCloseButton").value_or(AXElement{});
  }

  std::vector<WindowID> listedNumbers() {
    std::vector<WindowID> numbers;
    auto list = platform.windowServer->onScreenWindowList();
    if (!list) return numbers;
    for (const WindowInfo& info : *list) numbers.push_back(info.number.value_or(0));
    return numbers;
  }
};

// Collects accessibility notifications as (notification, element) pairs.
struct NotificationLog {
  struct Entry {
    std::string name;
    AXElement element;
    double time = 0.0;
  };
  std::vector<Entry> entries;

  AXObserverCallback callback(Scheduler& clock) {
    return [this, &clock](AXObserver, const AXElement& element, const std::string& name) {
      entries.push_back(Entry{name, element, clock.now()});
    };
  }

  std::vector<std::string> names() const {
    std::vector<std::string> all;
    for (const Entry& entry : entries) all.push_back(entry.name);
    return all;
  }
};

}  // namespace tessarapane::testing
