#include "windows/WindowController.h"

#include <cmath>
#include <cstddef>
#include <utility>

#include "layout/WindowFocusMatch.h"
#include "windows/AXHelpers.h"
#include "windows/NativeFullScreen.h"
#include "windows/ScreenIdentity.h"

namespace tessarapane {

namespace {

// A frame this close to the target on every edge is left as it is: writing
// it again would only make the application redraw.
constexpr double kFrameTolerance = 1.0;

double frameDelta(const Rect& a, const Rect& b) {
  return std::abs(a.minX() - b.minX()) + std::abs(a.minY() - b.minY()) + std::abs(a.width() - b.width()) +
         std::abs(a.height() - b.height());
}

bool withinTolerance(const Rect& a, const Rect& b) {
  return std::abs(a.minX() - b.minX()) <= kFrameTolerance && std::abs(a.minY() - b.minY()) <= kFrameTolerance &&
         std::abs(a.width() - b.width()) <= kFrameTolerance && std::abs(a.height() - b.height()) <= kFrameTolerance;
}

// An element-valued attribute; none when it fails, is empty or is not an
// element.
std::optional<AXElement> elementValue(const AXCopyResult& result) {
  if (result.error != AXError::success || !result.value) return std::nullopt;
  const auto* element = std::get_if<AXElement>(&*result.value);
  if (!element || element->isNull()) return std::nullopt;
  return *element;
}

bool isEmpty(const AXCopyResult& result) {
  if (result.error != AXError::success || !result.value) return true;
  const auto* element = std::get_if<AXElement>(&*result.value);
  return element && element->isNull();
}

}  // namespace

WindowController::WindowController(const Platform& platform)
    : accessibility_(platform.accessibility),
      windowServer_(platform.windowServer),
      workspace_(platform.workspace),
      screens_(platform.screens),
      scheduler_(platform.scheduler) {}

std::optional<WindowIDSet> WindowController::onScreenWindowIDs() {
  auto list = windowServer_->onScreenWindowList();
  if (!list) return std::nullopt;
  WindowIDSet numbers;
  numbers.reserve(list->size());
  for (const WindowInfo& info : *list) {
    if (info.number) numbers.insert(*info.number);
  }
  return numbers;
}

bool WindowController::isInNativeFullScreen(const AXElement& element) {
  if (AXHelpers::boolean(*accessibility_, "AXFullScreen", element) == true) return true;
  const auto frame = AXHelpers::frame(*accessibility_, element);
  return frame && NativeFullScreen::coversDisplay(*frame, NativeFullScreen::displayBounds(*windowServer_));
}

std::optional<ManagedWindow> WindowController::focusedManagedWindow(const std::vector<ManagedWindow>& windows) {
  Accessibility& ax = *accessibility_;
  const auto front = workspace_->frontmostApplication();
  if (!front) return std::nullopt;
  const ProcessID pid = front->processIdentifier;
  bool listed = false;
  for (const ManagedWindow& window : windows) listed = listed || window.ownerPID == pid;
  if (!listed) return std::nullopt;

  const AXElement application = ax.createApplication(pid);
  AXCopyResult focusedValue = ax.copyAttributeValue(application, "AXFocusedWindow");
  if (isEmpty(focusedValue)) focusedValue = ax.copyAttributeValue(application, "AXMainWindow");
  const auto focused = elementValue(focusedValue);
  if (!focused || isInNativeFullScreen(*focused)) return std::nullopt;

  const auto onScreen = onScreenWindowIDs();
  std::vector<const ManagedWindow*> candidates;
  for (const ManagedWindow& window : windows) {
    if (window.ownerPID != pid) continue;
    if (onScreen && onScreen->count(window.windowID) == 0) continue;
    candidates.push_back(&window);
  }
  for (const ManagedWindow* candidate : candidates) {
    if (candidate->element == *focused) return *candidate;
  }

  // Some applications hand out a fresh element for the focused window:
  // fall back to the frame.
  if (const auto focusedFrame = AXHelpers::frame(ax, *focused)) {
    std::vector<const ManagedWindow*> readable;
    std::vector<double> deltas;
    for (const ManagedWindow* candidate : candidates) {
      const auto frame = AXHelpers::frame(ax, candidate->element);
      if (!frame) continue;
      readable.push_back(candidate);
      deltas.push_back(frameDelta(*frame, *focusedFrame));
    }
    if (const auto best = WindowFocusMatch::bestIndex(deltas)) return *readable[*best];
  }
  if (candidates.size() == 1) return *candidates.front();
  return std::nullopt;
}

bool WindowController::setAccessibilityFrame(const Rect& frame, const ManagedWindow& window) {
  Accessibility& ax = *accessibility_;
  if (!AXHelpers::string(ax, "AXRole", window.element)) return false;
  if (isInNativeFullScreen(window.element)) return false;
  const AXError moved = ax.setAttributeValue(window.element, "AXPosition", frame.origin);
  const AXError resized = ax.setAttributeValue(window.element, "AXSize", frame.size);
  return moved == AXError::success && resized == AXError::success;
}

bool WindowController::setAppKitFrameIfNeeded(const Rect& frame, const ManagedWindow& window) {
  const Rect target = ScreenIdentity::convertFrame(frame, *screens_);
  const auto current = AXHelpers::frame(*accessibility_, window.element);
  if (current && withinTolerance(*current, target)) return true;
  return setAccessibilityFrame(target, window);
}

bool WindowController::raise(const ManagedWindow& window, const std::optional<WindowIDSet>& onScreenWindowIDs) {
  Accessibility& ax = *accessibility_;
  if (!AXHelpers::string(ax, "AXRole", window.element)) return false;
  if (onScreenWindowIDs && onScreenWindowIDs->count(window.windowID) == 0) return false;
  if (isInNativeFullScreen(window.element)) return false;

  const AXElement application = ax.createApplication(window.ownerPID);
  const AXError focused = ax.setAttributeValue(application, "AXFocusedWindow", window.element);
  const AXError main = ax.setAttributeValue(window.element, "AXMain", true);
  const AXError raised = ax.performAction(window.element, "AXRaise");
  const bool orderedFront =
      focused == AXError::success || main == AXError::success || raised == AXError::success;

  const FrontProcessResult front = workspace_->bringProcessToFront(window.ownerPID);
  return orderedFront || front == FrontProcessResult::succeeded;
}

bool WindowController::isClosed(const ManagedWindow& window, const WindowIDSet& onScreenWindowIDs) {
  if (!AXHelpers::string(*accessibility_, "AXRole", window.element)) return true;
  if (onScreenWindowIDs.count(window.windowID) != 0) return false;
  return AXHelpers::boolean(*accessibility_, "AXMinimized", window.element) != true;
}

}  // namespace tessarapane
