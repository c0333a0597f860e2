#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "sim/desktop/SimDesktopTest.h"
#include "windows/WindowIndexer.h"

namespace tessarapane {

// The desktop's window server, except that a test may make the window list
// report other bounds than the accessibility frame of a window.
class ListedBounds final : public WindowServer {
 public:
  explicit ListedBounds(std::shared_ptr<WindowServer> inner) : inner_(std::move(inner)) {}
  std::optional<std::vector<WindowInfo>> onScreenWindowList() override {
    auto list = inner_->onScreenWindowList();
    for (std::size_t i = 0; list && i < list->size(); ++i) {
      if (const auto found = bounds.find((*list)[i].number.value_or(0)); found != bounds.end()) {
        (*list)[i].bounds = found->second;
      }
    }
    return list;
  }
  ActiveDisplayList activeDisplayList(std::uint32_t max) override { return inner_->activeDisplayList(max); }
  Rect displayBounds(DisplayID display) override { return inner_->displayBounds(display); }

  std::map<WindowID, Rect> bounds;

 private:
  std::shared_ptr<WindowServer> inner_;
};

// The shared desktop, with the window list's bounds open to editing.
class WindowsSim : public testing_support::SimDesktopTest {
 protected:
  WindowsSim() { platform.windowServer = listed; }

  AXElement elementOf(WindowID window) const { return SimElements::window(desktop->window(window)->owner(), window); }

  // "App/Title (x, y, w, h)", and the element's window when it is another.
  std::string show(const ManagedWindow& window) const {
    std::ostringstream out;
    out << window.appName << "/" << window.title << " " << window.frame;
    if (window.element != elementOf(window.windowID)) out << " element of " << window.element.token;
    return out.str();
  }
  std::vector<std::string> indexed(std::optional<ProcessID> owner = std::nullopt) {
    std::vector<std::string> shown;
    for (const ManagedWindow& window : WindowIndexer(platform).currentSpaceWindows(owner)) shown.push_back(show(window));
    return shown;
  }
  // A record as the coordinator holds it.
  ManagedWindow record(WindowID number) {
    return ManagedWindow{number, desktop->window(number)->owner(), {}, "", "", {}, elementOf(number)};
  }

  std::shared_ptr<ListedBounds> listed = std::make_shared<ListedBounds>(platform.windowServer);
};

}  // namespace tessarapane
