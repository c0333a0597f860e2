// How simulated windows respond to frame writes and control presses: the
// quirks of real applications selected per window by SimWindowBehavior.
#include <algorithm>
#include <cmath>
#include <utility>

#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimElements.h"

namespace tessarapane {

namespace {

double snapDown(double requested, double base, double increment) {
  if (!(increment > 0)) return requested;
  const double cells = std::floor((requested - base) / increment);
  return base + std::max(0.0, cells) * increment;
}

// The size the application really takes for a requested size.
Size acceptedSize(const SimWindowBehavior& behavior, Size requested) {
  Size size = requested;
  if (behavior.sizeIncrement) {
    size.width = snapDown(size.width, behavior.baseSize.width, behavior.sizeIncrement->width);
    size.height = snapDown(size.height, behavior.baseSize.height, behavior.sizeIncrement->height);
  }
  if (behavior.maximumSize) {
    size.width = std::min(size.width, behavior.maximumSize->width);
    size.height = std::min(size.height, behavior.maximumSize->height);
  }
  if (behavior.minimumSize) {
    size.width = std::max(size.width, behavior.minimumSize->width);
    size.height = std::max(size.height, behavior.minimumSize->height);
  }
  return size;
}

}  // namespace

AXError SimDesktop::requestPosition(WindowID number, Point position) {
  SimWindowState* state = window(number);
  if (!state) return AXError::invalidUIElement;
  SimWindowBehavior& behavior = state->desc.behavior;
  if (behavior.ignoredFrameWrites > 0) {
    --behavior.ignoredFrameWrites;
    return AXError::success;
  }
  if (behavior.refusesMove) return behavior.moveRefusalError;
  // A window in native full screen owns its display; writes are swallowed.
  if (state->desc.fullScreen) return AXError::success;
  applyLater(number, behavior.frameApplyDelay, [this, position](SimWindowState& later) {
    applyFrame(later.number(), Rect(position, later.desc.frame.size));
  });
  return AXError::success;
}

AXError SimDesktop::requestSize(WindowID number, Size size) {
  SimWindowState* state = window(number);
  if (!state) return AXError::invalidUIElement;
  SimWindowBehavior& behavior = state->desc.behavior;
  if (behavior.ignoredFrameWrites > 0) {
    --behavior.ignoredFrameWrites;
    return AXError::success;
  }
  if (state->desc.fullScreen) return AXError::success;
  const Size accepted = acceptedSize(behavior, size);
  applyLater(number, behavior.frameApplyDelay, [this, accepted](SimWindowState& later) {
    applyFrame(later.number(), Rect(later.desc.frame.origin, accepted));
  });
  return AXError::success;
}

void SimDesktop::applyLater(WindowID number, double delay, std::function<void(SimWindowState&)> change) {
  if (!(delay > 0)) {
    if (SimWindowState* state = window(number)) change(*state);
    return;
  }
  std::weak_ptr<SimDesktop> weak = weak_from_this();
  timers_.after(delay, [weak, number, change = std::move(change)] {
    auto desktop = weak.lock();
    if (!desktop) return;
    if (SimWindowState* state = desktop->window(number)) change(*state);
  });
}

void SimDesktop::applyFrame(WindowID number, Rect frame) {
  SimWindowState* state = window(number);
  if (!state) return;
  const Rect old = state->desc.frame;
  if (old == frame) return;
  state->desc.frame = frame;
  // Sheets hang from their window and travel with it.
  const double dx = frame.x() - old.x();
  const double dy = frame.y() - old.y();
  for (WindowID sheet : state->sheets) {
    if (SimWindowState* sheetState = window(sheet)) {
      sheetState->desc.frame.origin = Point{sheetState->desc.frame.x() + dx, sheetState->desc.frame.y() + dy};
    }
  }
  const AXElement element = SimElements::window(state->owner(), number);
  if (old.origin != frame.origin) notify(element, "AXWindowMoved");
  if (old.size != frame.size) notify(element, "AXWindowResized");
}

void SimDesktop::scheduleSelfMoves(const SimWindowState& state) {
  const WindowID number = state.number();
  for (const SimSelfMove& move : state.desc.behavior.selfMoves) {
    std::weak_ptr<SimDesktop> weak = weak_from_this();
    timers_.after(move.delay, [weak, number, frame = move.frame] {
      if (auto desktop = weak.lock()) desktop->applyFrame(number, frame);
    });
  }
}

bool SimDesktop::isControlEnabled(const SimWindowState& state, SimControlKind control) const {
  switch (control) {
    case SimControlKind::closeButton:
      return state.desc.closeButton.enabled &&
             !(!state.sheets.empty() && state.desc.behavior.sheetBlocking == SimSheetBlocking::disablesCloseButton);
    case SimControlKind::minimizeButton:
      return state.desc.minimizeButton.enabled;
    case SimControlKind::zoomButton:
      return state.desc.zoomButton.enabled;
  }
  return false;
}

AXError SimDesktop::pressControl(WindowID number, SimControlKind control) {
  SimWindowState* state = window(number);
  if (!state) return AXError::invalidUIElement;
  // A greyed-out button does not react.
  if (!isControlEnabled(*state, control)) return AXError::cannotComplete;
  switch (control) {
    case SimControlKind::minimizeButton:
      setMinimized(number, true);
      return AXError::success;
    case SimControlKind::zoomButton:
      toggleZoom(number);
      return AXError::success;
    case SimControlKind::closeButton:
      break;
  }
  const SimWindowBehavior& behavior = state->desc.behavior;
  if (!state->sheets.empty() && behavior.sheetBlocking == SimSheetBlocking::pressFails) {
    return behavior.sheetPressError;
  }
  switch (behavior.closeResponse) {
    case SimCloseResponse::refuses:
      return behavior.closeRefusalError;
    case SimCloseResponse::closes:
      destroyWindow(number, true);
      break;
    case SimCloseResponse::closesAfterDelay:
      if (!state->closePending) {
        state->closePending = true;
        std::weak_ptr<SimDesktop> weak = weak_from_this();
        timers_.after(behavior.closeDelay, [weak, number] {
          if (auto desktop = weak.lock()) desktop->destroyWindow(number, true);
        });
      }
      break;
    case SimCloseResponse::asksConfirmation:
      break;
  }
  return AXError::success;
}

void SimDesktop::toggleZoom(WindowID number) {
  SimWindowState* state = window(number);
  if (!state) return;
  if (auto previous = std::exchange(state->frameBeforeZoom, std::nullopt)) {
    applyFrame(number, *previous);
    return;
  }
  const auto displayID = displayContaining(state->desc.frame);
  if (!displayID) return;
  for (const SimDisplay& display : displays_) {
    if (display.displayID != *displayID) continue;
    state->frameBeforeZoom = state->desc.frame;
    applyFrame(number, toAccessibilitySpace(display.visibleFrame));
    break;
  }
}

}  // namespace tessarapane
