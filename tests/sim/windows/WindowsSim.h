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
struct ListedBounds final : WindowServer {
  explicit ListedBounds(std::shared_ptr<WindowServer> server) : inner(std::move(server)) {}
  std::optional<std::vector<WindowInfo>> onScreenWindowList() override {
    auto list = inner->onScreenWindowList();
    for (std::size_t i = 0; list && i < list->size(); ++i) {
      if (const auto found = bounds.find((*list)[i].number.value_or(0)); found != bounds.end()) {
        (*list)[i].bounds = found->second;
      }
    }
    return list;
  }
  ActiveDisplayList activeDisplayList(std::uint32_t max) override { return inner->activeDisplayList(max); }
  Rect displayBounds(DisplayID display) override { return inner->displayBounds(display); }

  std::shared_ptr<WindowServer> inner;
  std::map<WindowID, Rect> bounds;
};

// The shared desktop, with the window list's bounds open to editing.
struct WindowsSim : testing_support::SimDesktopTest {
  WindowsSim() { platform.windowServer = listed; }

  AXElement elementOf(WindowID window) const { return SimElements::window(desktop->window(window)->owner(), window); }

  // The managed windows as "App/Title (x, y, w, h)", and the element's
  // window when it is another.
  Lines indexed(std::optional<ProcessID> owner = std::nullopt) {
    Lines shown;
    for (const ManagedWindow& window : WindowIndexer(platform).currentSpaceWindows(owner)) {
      std::ostringstream out;
      out << window.appName << "/" << window.title << " " << window.frame;
      if (window.element != elementOf(window.windowID)) out << " element of " << window.element.token;
      shown.push_back(out.str());
    }
    return shown;
  }
  // A record as the coordinator holds it.
  ManagedWindow record(WindowID number) {
    return ManagedWindow{number, desktop->window(number)->owner(), {}, "", "", {}, elementOf(number)};
  }

  std::shared_ptr<ListedBounds> listed = std::make_shared<ListedBounds>(platform.windowServer);
};

}  // namespace tessarapane
