// The random step: layouts started and left, displays, system events,
// the mouse button, window-list glitches and the passing of time.
#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "StressFixture.h"
#include "backends/sim/SimElements.h"
#include "bento/BentoEngine.h"
#include "layout/LayoutKind.h"
#include "platform/Input.h"
#include "platform/SystemEvents.h"
#include "windows/NativeFullScreen.h"

namespace tessarapane {

namespace {

std::string text(const Rect& rect) {
  std::ostringstream out;
  out << rect;
  return out.str();
}

}  // namespace

template <std::size_t N>
std::string CoordinatorStress::pick(const std::array<WeightedOperation, N>& table) {
  int total = 0;
  for (const WeightedOperation& entry : table) total += entry.weight;
  int chosen = below(total);
  for (const WeightedOperation& entry : table) {
    if (chosen < entry.weight) return (this->*entry.operation)();
    chosen -= entry.weight;
  }
  return advanceTime();
}

std::string CoordinatorStress::randomStep() {
  static const std::array<WeightedOperation, 23> operations = {{
      {4, &CoordinatorStress::startTabLayout},
      {2, &CoordinatorStress::startGrid},
      {1, &CoordinatorStress::restoreRemembered},
      {9, &CoordinatorStress::openWindow},
      {4, &CoordinatorStress::closeWindow},
      {5, &CoordinatorStress::moveWindow},
      {3, &CoordinatorStress::toggleMinimised},
      {2, &CoordinatorStress::toggleFullScreen},
      {1, &CoordinatorStress::quitApplication},
      {4, &CoordinatorStress::focusWindow},
      {2, &CoordinatorStress::retitleWindow},
      {1, &CoordinatorStress::attachOrCloseSheet},
      {1, &CoordinatorStress::hangOrWakeApplication},
      {6, &CoordinatorStress::clickTab},
      {3, &CoordinatorStress::clickClose},
      {5, &CoordinatorStress::clickMove},
      {4, &CoordinatorStress::hotKeyMove},
      {6, &CoordinatorStress::dragDivider},
      {2, &CoordinatorStress::changeDisplays},
      {2, &CoordinatorStress::systemEvent},
      {2, &CoordinatorStress::toggleMouseButton},
      {2, &CoordinatorStress::windowListGlitch},
      {22, &CoordinatorStress::advanceTime},
  }};
  // While the user simply works, nothing starts, leaves, pauses or drags:
  // long enough for the sweep to come round over windows that changed.
  static const std::array<WeightedOperation, 13> quietOperations = {{
      {4, &CoordinatorStress::openWindow},
      {3, &CoordinatorStress::closeWindow},
      {3, &CoordinatorStress::moveWindow},
      {2, &CoordinatorStress::toggleMinimised},
      {2, &CoordinatorStress::toggleFullScreen},
      {1, &CoordinatorStress::quitApplication},
      {2, &CoordinatorStress::focusWindow},
      {1, &CoordinatorStress::retitleWindow},
      {2, &CoordinatorStress::clickTab},
      {1, &CoordinatorStress::clickClose},
      {2, &CoordinatorStress::clickMove},
      {1, &CoordinatorStress::windowListGlitch},
      {12, &CoordinatorStress::advanceTime},
  }};
  touched.clear();
  stepViolations.clear();
  disrupted = false;
  // Only the current step's calls are ever looked at.
  desktop->recorder().clear();
  chrome->log->clear();

  // A drag in progress moves on often and ends before long, as a hand
  // lets go.
  if (dragController && (dragSteps > 6 || chance(0.4))) return dragDivider();
  // Keep the desktop populated, neither empty nor crowded.
  std::erase_if(windows, [this](WindowID window) { return !desktop->windowExists(window); });
  if (windows.size() < 5 && chance(0.3)) return openWindow();
  if (windows.size() > 20 && chance(0.3)) return closeWindow();
  if (quietSteps > 0) {
    --quietSteps;
    return pick(quietOperations);
  }
  if (!dragController && !coordinator->isPaused() && chance(0.03)) quietSteps = 20 + below(30);
  // A pause ends within a few dozen steps, as a sleeping machine wakes.
  if (coordinator->isPaused() && chance(0.08)) return systemEvent();
  // Exits are rarer than starts, but both come up every few dozen steps.
  if (chance(0.02)) return leaveLayout(chance(0.15));
  if (!coordinator->isLayoutRunning() && chance(0.15)) return chance(0.7) ? startTabLayout() : startGrid();
  return pick(operations);
}

std::string CoordinatorStress::startTabLayout() {
  disrupted = true;
  const LayoutKind kind = kAllLayoutKinds[static_cast<std::size_t>(below(7))];
  coordinator->startLayout(kind);
  return "startLayout(" + std::string(rawValue(kind)) + ")";
}

std::string CoordinatorStress::startGrid() {
  disrupted = true;
  coordinator->startBento();
  return "startBento()";
}

std::string CoordinatorStress::restoreRemembered() {
  disrupted = true;
  coordinator->restoreRememberedLayout();
  return "restoreRememberedLayout() remembered=" + remembered().value_or("none");
}

std::string CoordinatorStress::leaveLayout(bool keepingRememberedLayout) {
  disrupted = true;
  // What the layout holds just before it is left. A window is written
  // through its element, which is what decides where it ends up (a sheet's
  // list entry can carry its parent's element).
  const std::vector<ManagedWindow> managed = coordinator->managedWindows();
  std::map<WindowID, Rect> originals;
  if (const auto* frames = originalFrames()) originals.insert(frames->begin(), frames->end());
  const std::vector<Rect> displays = coordinator->displayRects();
  std::map<WindowID, WindowID> predictable;  // managed id -> the window its element names
  for (const ManagedWindow& window : managed) {
    const WindowID real = SimElements::windowNumber(window.element).value_or(0);
    const SimWindowState* state = desktop->window(real);
    if (!state || !isSteady(real) || state->desc.fullScreen) continue;
    const SimAppState* owner = desktop->app(state->owner());
    if (!owner || !owner->desc.answersAccessibility) continue;
    if (NativeFullScreen::coversDisplay(state->desc.frame, displays)) continue;
    predictable.emplace(window.windowID, real);
  }
  const std::optional<std::string> rememberedBefore = remembered();
  const std::size_t writesBefore = desktop->recorder().calls().size();

  coordinator->exitLayout(keepingRememberedLayout);
  dragController.reset();

  std::size_t frameWrites = 0;
  const auto& calls = desktop->recorder().calls();
  for (std::size_t index = writesBefore; index < calls.size(); ++index) {
    if (calls[index].kind == SimCall::Kind::setAttribute &&
        (calls[index].name == "AXPosition" || calls[index].name == "AXSize")) {
      ++frameWrites;
    }
  }
  if (keepingRememberedLayout) {
    if (frameWrites != 0) {
      stepViolations.push_back("leaving with keeping=true wrote " + std::to_string(frameWrites) + " frames");
    }
    if (remembered() != rememberedBefore) {
      stepViolations.push_back("leaving with keeping=true changed the remembered layout");
    }
  } else {
    if (remembered()) stepViolations.push_back("leaving with keeping=false kept the remembered layout");
    for (const auto& [id, real] : predictable) {
      const auto original = originals.find(id);
      if (original == originals.end()) continue;  // reported by the originals check
      if (frameOf(real) != original->second) {
        stepViolations.push_back("window " + std::to_string(real) + " (managed as " + std::to_string(id) +
                                 ") left at " + text(frameOf(real)) + ", not back at its original " +
                                 text(original->second));
      }
    }
  }
  return "exitLayout(" + std::string(keepingRememberedLayout ? "true" : "false") +
         ") managed=" + std::to_string(managed.size()) + " checked=" + std::to_string(predictable.size());
}

std::string CoordinatorStress::changeDisplays() {
  // Toolkit space: y up from the primary's bottom edge; the visible frame
  // leaves out a 25-point menu bar (and a dock on one of them).
  std::vector<SimDisplay> displays;
  const int choice = below(7);
  switch (choice) {
    case 0:
      displays = {SimDisplay{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875)}};
      break;
    case 1:
      displays = {SimDisplay{2, Rect(0, 0, 1920, 1080), Rect(0, 70, 1920, 985)}};
      break;
    case 2:
      displays = {SimDisplay{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875)},
                  SimDisplay{2, Rect(1440, 0, 1920, 1080), Rect(1440, 0, 1920, 1055)}};
      break;
    case 3:
      displays = {SimDisplay{2, Rect(0, 0, 1920, 1080), Rect(0, 0, 1920, 1055)},
                  SimDisplay{1, Rect(-1440, 100, 1440, 900), Rect(-1440, 100, 1440, 875)}};
      break;
    case 4:
      displays = {SimDisplay{1, Rect(0, 0, 1280, 800), Rect(0, 0, 1280, 775)}};
      break;
    case 5:
      // Waking screens report a degenerate frame for a moment.
      displays = {SimDisplay{1, Rect(0, 0, 1, 1), Rect(0, 0, 1, 1)}};
      break;
    default:
      displays = {};
      break;
  }
  desktop->setDisplays(displays);
  return "setDisplays(config " + std::to_string(choice) + ")";
}

std::string CoordinatorStress::systemEvent() {
  disrupted = true;
  static constexpr std::array<const char*, 8> names = {
      "screensDidSleep",        "screensDidWake",         "systemWillSleep", "systemDidWake",
      "sessionDidResignActive", "sessionDidBecomeActive", "screenLocked",    "screenUnlocked"};
  // Events arrive in any order, but a pause ends more often than not, so
  // that most of a run is spent maintaining a layout rather than waiting.
  std::size_t index = static_cast<std::size_t>(below(8));
  if (coordinator->isPaused() && chance(0.7)) {
    const std::set<LayoutPause::Reason>& reasons = coordinator->pause.reasons;
    const auto held = std::next(reasons.begin(), below(static_cast<int>(reasons.size())));
    switch (chance(0.25) ? LayoutPause::Reason::screenLocked : *held) {
      case LayoutPause::Reason::screensAsleep:
        index = 1;
        break;
      case LayoutPause::Reason::systemAsleep:
        index = 3;
        break;
      case LayoutPause::Reason::sessionInactive:
        index = 5;
        break;
      case LayoutPause::Reason::screenLocked:
        index = 7;
        break;
    }
  }
  desktop->postSystemEvent(kAllSystemEvents[index]);
  return std::string("systemEvent(") + names[index] + ")";
}

std::string CoordinatorStress::toggleMouseButton() {
  mouseDown = !mouseDown;
  desktop->setPressedMouseButtons(mouseDown ? Input::kPrimaryButton : 0U);
  return mouseDown ? "mouse down" : "mouse up";
}

std::string CoordinatorStress::windowListGlitch() {
  lastListGlitch = scheduler->now();
  const int count = 1 + below(3);
  if (chance(0.5)) {
    desktop->failNextWindowListReads(count);
    return "failNextWindowListReads(" + std::to_string(count) + ")";
  }
  desktop->emptyNextWindowListReads(count);
  return "emptyNextWindowListReads(" + std::to_string(count) + ")";
}

std::string CoordinatorStress::advanceTime() {
  double seconds = 0.0;
  const int band = below(10);
  // Mostly the short waits in which notifications and retries interleave
  // with the user, and often long enough for sweeps to come round.
  if (band == 0) {
    seconds = 0.0;
  } else if (band < 5) {
    seconds = between(0.0, 0.3);
  } else if (band < 7) {
    seconds = between(0.3, 2.0);
  } else {
    seconds = between(2.0, 10.0);
  }
  if (!scheduler->advance(seconds)) stepViolations.push_back("the scheduler hit its step limit (work that never ends)");
  if (dragController) ++dragSteps;
  return "advance(" + std::to_string(seconds) + ")";
}

std::string CoordinatorStress::dragDivider() {
  const std::shared_ptr<BentoSession> grid = coordinator->bentoSession;
  // A torn-down handle reports nothing more; the hand lets go.
  if (dragController && (!grid || dragController->isTornDown)) {
    dragController.reset();
    mouseDown = false;
    desktop->setPressedMouseButtons(0U);
    return "drag abandoned (its grid ended)";
  }
  if (!grid) return "drag: no grid";
  const auto controller = std::find_if(chrome->dividerControllers.rbegin(), chrome->dividerControllers.rend(),
                                       [](const auto& candidate) { return !candidate->isTornDown; });
  if (controller == chrome->dividerControllers.rend()) return "drag: no divider handles";

  if (!dragController) {
    if ((*controller)->dividers.empty()) return "drag: no dividers";
    const BentoDividerLayout& divider =
        (*controller)->dividers[static_cast<std::size_t>(below(static_cast<int>((*controller)->dividers.size())))];
    dragController = *controller;
    dragPath = divider.path;
    dragSteps = 0;
    mouseDown = true;
    desktop->setPressedMouseButtons(Input::kPrimaryButton);
    dragController->callbacks.onDragBegan(dragPath);
    const Point at{divider.frame.midX(), divider.frame.midY()};
    dragController->callbacks.onDragChanged(dragPath, at);
    return "drag began path of length " + std::to_string(dragPath.size());
  }
  ++dragSteps;
  if (dragSteps > 6 || chance(0.3)) {
    const auto ending = std::exchange(dragController, nullptr);
    mouseDown = false;
    desktop->setPressedMouseButtons(0U);
    ending->callbacks.onDragEnded();
    return "drag ended";
  }
  const Rect visible = grid->screen.visibleFrame;
  const Point at{between(visible.minX() - 50, visible.maxX() + 50), between(visible.minY() - 50, visible.maxY() + 50)};
  dragController->callbacks.onDragChanged(dragPath, at);
  std::ostringstream out;
  out << "drag moved to " << at.x << "," << at.y;
  return out.str();
}

}  // namespace tessarapane
