// Window lifecycle, stacking and focus of the simulated desktop.
#include <algorithm>
#include <utility>

#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimElements.h"

namespace tessarapane {

namespace {

AXElement elementOf(const SimWindowState& state) { return SimElements::window(state.owner(), state.number()); }

}  // namespace

WindowID SimDesktop::createWindow(SimWindowSpec desc) {
  SimAppState* owner = app(desc.owner);
  if (!owner) return 0;
  desc.number = takeWindowNumber(desc.number);
  if (desc.number == 0) return 0;
  const WindowID number = desc.number;
  const bool focus = desc.focused && !desc.minimized;
  SimWindowState& state = windows_[number];
  state.desc = std::move(desc);
  state.listed = !state.desc.listedAfter.has_value();
  stack_.insert(stack_.begin(), number);

  const AXElement application = SimElements::application(state.owner());
  notify(application, "AXWindowCreated", elementOf(state));
  if (focus) focusWithinApplication(number, true);

  if (state.desc.listedAfter) {
    std::weak_ptr<SimDesktop> weak = weak_from_this();
    timers_.after(*state.desc.listedAfter, [weak, number] {
      auto desktop = weak.lock();
      if (!desktop) return;
      if (auto* later = desktop->window(number)) {
        later->listed = true;
        ++desktop->changes_;
      }
    });
  }
  scheduleSelfMoves(state);
  return number;
}

WindowID SimDesktop::attachSheet(WindowID parent, Rect frame) {
  SimWindowState* parentState = window(parent);
  if (!parentState) return 0;
  SimWindowSpec desc;
  desc.owner = parentState->owner();
  desc.frame = frame;
  desc.role = "AXSheet";
  desc.subrole.reset();
  desc.desktop = parentState->desc.desktop;
  desc.closeButton.present = false;
  desc.minimizeButton.present = false;
  desc.zoomButton.present = false;
  desc.focused = false;
  // Numbered like any window, but kept out of "AXWindows" and announced as
  // a sheet, not as a new window.
  desc.number = takeWindowNumber(0);
  const WindowID number = desc.number;
  SimWindowState& state = windows_[number];
  state.desc = std::move(desc);
  state.sheetParent = parent;
  window(parent)->sheets.push_back(number);
  raise(parent);
  notify(SimElements::window(state.owner(), parent), "AXSheetCreated", elementOf(state));
  return number;
}

WindowID SimDesktop::takeWindowNumber(WindowID requested) {
  auto taken = [this](WindowID number) { return windows_.count(number) != 0 || retiredNumbers_.count(number) != 0; };
  if (requested != 0) return taken(requested) ? 0 : requested;
  while (taken(nextWindowNumber_)) ++nextWindowNumber_;
  return nextWindowNumber_++;
}

void SimDesktop::closeWindow(WindowID number) { destroyWindow(number, true); }

void SimDesktop::destroyWindow(WindowID number, bool notifyObservers) {
  SimWindowState* state = window(number);
  if (!state) return;
  for (WindowID sheet : std::vector<WindowID>(state->sheets)) destroyWindow(sheet, notifyObservers);
  state = window(number);
  const AXElement element = elementOf(*state);
  if (state->sheetParent) {
    if (SimWindowState* parent = window(*state->sheetParent)) {
      std::erase(parent->sheets, number);
    }
  }
  windows_.erase(number);
  std::erase(stack_, number);
  retiredNumbers_.insert(number);
  if (notifyObservers) notify(element, "AXUIElementDestroyed");
  moveFocusAwayFrom(number, notifyObservers);
}

void SimDesktop::moveFocusAwayFrom(WindowID number, bool notifyObservers) {
  for (auto& [pid, state] : apps_) {
    const bool wasFocused = state.focusedWindow == number;
    const bool wasMain = state.mainWindow == number;
    if (!wasFocused && !wasMain) continue;
    // The application's next window in stacking order takes over.
    std::optional<WindowID> next;
    for (WindowID candidate : windowsOf(pid)) {
      if (candidate != number && !windows_.at(candidate).desc.minimized) {
        next = candidate;
        break;
      }
    }
    const AXElement application = SimElements::application(pid);
    if (wasMain) {
      state.mainWindow = next;
      if (next && notifyObservers) notify(application, "AXMainWindowChanged", SimElements::window(pid, *next));
    }
    if (wasFocused) {
      state.focusedWindow = next;
      if (next && notifyObservers) {
        notify(application, "AXFocusedWindowChanged", SimElements::window(pid, *next));
      }
    }
  }
}

void SimDesktop::setTitle(WindowID number, std::string title) {
  SimWindowState* state = window(number);
  if (!state || state->desc.title == title) return;
  state->desc.title = std::move(title);
  notify(elementOf(*state), "AXTitleChanged");
}

void SimDesktop::moveWindow(WindowID number, Rect frame) { applyFrame(number, frame); }

void SimDesktop::focusWindow(WindowID number) {
  SimWindowState* state = window(number);
  if (!state) return;
  if (state->isSheet()) number = *state->sheetParent;
  state = window(number);
  if (state->desc.minimized) setMinimized(number, false);
  raise(number);
  makeFrontmost(state->owner());
  focusWithinApplication(number, true);
}

void SimDesktop::setMinimized(WindowID number, bool minimized) {
  SimWindowState* state = window(number);
  if (!state || state->desc.minimized == minimized) return;
  state->desc.minimized = minimized;
  const AXElement element = elementOf(*state);
  if (minimized) {
    notify(element, "AXWindowMiniaturized");
    moveFocusAwayFrom(number, true);
  } else {
    notify(element, "AXWindowDeminiaturized");
    raise(number);
    focusWithinApplication(number, true);
  }
}

void SimDesktop::setFullScreen(WindowID number, bool fullScreen) {
  SimWindowState* state = window(number);
  if (!state || state->desc.fullScreen == fullScreen) return;
  if (fullScreen) {
    const auto display = displayContaining(state->desc.frame);
    state->frameBeforeFullScreen = state->desc.frame;
    state->desc.fullScreen = true;
    if (display) applyFrame(number, accessibilityBounds(*display));
  } else {
    state->desc.fullScreen = false;
    if (auto previous = std::exchange(state->frameBeforeFullScreen, std::nullopt)) applyFrame(number, *previous);
  }
}

void SimDesktop::setOnScreen(WindowID number, bool onScreen) {
  if (SimWindowState* state = window(number)) state->desc.onScreen = onScreen;
  ++changes_;
}

void SimDesktop::setDesktop(WindowID number, int desktop) {
  if (SimWindowState* state = window(number)) state->desc.desktop = desktop;
  ++changes_;
}

SimWindowState* SimDesktop::window(WindowID number) {
  auto found = windows_.find(number);
  return found == windows_.end() ? nullptr : &found->second;
}

const SimWindowState* SimDesktop::window(WindowID number) const {
  auto found = windows_.find(number);
  return found == windows_.end() ? nullptr : &found->second;
}

std::optional<Rect> SimDesktop::frame(WindowID number) const {
  const SimWindowState* state = window(number);
  if (!state) return std::nullopt;
  return state->desc.frame;
}

std::optional<WindowID> SimDesktop::focusedWindow(ProcessID pid) const {
  auto found = apps_.find(pid);
  return found == apps_.end() ? std::nullopt : found->second.focusedWindow;
}

std::optional<WindowID> SimDesktop::mainWindow(ProcessID pid) const {
  auto found = apps_.find(pid);
  return found == apps_.end() ? std::nullopt : found->second.mainWindow;
}

std::vector<WindowID> SimDesktop::stackingOrder() const {
  std::vector<WindowID> order;
  for (WindowID number : stack_) {
    if (isOnCurrentDesktop(windows_.at(number).desc)) order.push_back(number);
  }
  return order;
}

std::vector<WindowID> SimDesktop::windowsOf(ProcessID pid) const {
  std::vector<WindowID> owned;
  for (WindowID number : stack_) {
    const SimWindowState& state = windows_.at(number);
    if (state.owner() == pid && !state.isSheet() && isOnCurrentDesktop(state.desc)) owned.push_back(number);
  }
  return owned;
}

void SimDesktop::raise(WindowID number) {
  SimWindowState* state = window(number);
  if (!state) return;
  if (state->isSheet()) {
    raise(*state->sheetParent);
    return;
  }
  // The window goes to the very front, its sheets just above it.
  ++changes_;
  std::erase(stack_, number);
  stack_.insert(stack_.begin(), number);
  for (WindowID sheet : state->sheets) {
    std::erase(stack_, sheet);
    stack_.insert(stack_.begin(), sheet);
  }
}

void SimDesktop::focusWithinApplication(WindowID number, bool alsoMain) {
  SimWindowState* state = window(number);
  if (!state || state->isSheet()) return;
  SimAppState* owner = app(state->owner());
  if (!owner) return;
  const AXElement application = SimElements::application(state->owner());
  const AXElement element = elementOf(*state);
  if (alsoMain && owner->mainWindow != number) {
    owner->mainWindow = number;
    notify(application, "AXMainWindowChanged", element);
  }
  if (owner->focusedWindow != number) {
    owner->focusedWindow = number;
    notify(application, "AXFocusedWindowChanged", element);
  }
}

}  // namespace tessarapane
