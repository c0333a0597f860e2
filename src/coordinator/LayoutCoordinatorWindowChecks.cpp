// The small window checks every part of the coordinator makes before it
// moves, raises or adopts a window.
#include "coordinator/LayoutCoordinator.h"
#include "platform/Input.h"
#include "windows/AXHelpers.h"
#include "windows/NativeFullScreen.h"
#include "windows/ScreenIdentity.h"

namespace tessarapane {

std::vector<ManagedWindow> LayoutCoordinator::managedWindows() const {
  if (running) return running->managedWindows();
  return {};
}

bool LayoutCoordinator::isGone(const ManagedWindow& window) {
  return !AXHelpers::string(*platform.accessibility, "AXRole", window.element).has_value();
}

bool LayoutCoordinator::isInNativeFullScreen(const ManagedWindow& window, const std::vector<Rect>& displays) {
  if (AXHelpers::boolean(*platform.accessibility, "AXFullScreen", window.element) == true) return true;
  const std::optional<Rect> frame = liveFrame(window);
  return frame && NativeFullScreen::coversDisplay(*frame, displays);
}

bool LayoutCoordinator::isInNativeFullScreen(const ManagedWindow& window) {
  return isInNativeFullScreen(window, displayRects());
}

std::vector<Rect> LayoutCoordinator::displayRects() { return NativeFullScreen::displayBounds(*platform.windowServer); }

std::optional<Rect> LayoutCoordinator::liveFrame(const ManagedWindow& window) {
  return AXHelpers::frame(*platform.accessibility, window.element);
}

Rect LayoutCoordinator::convertFrame(const Rect& rect) { return ScreenIdentity::convertFrame(rect, *platform.screens); }

void LayoutCoordinator::bringProcessForward(ProcessID pid) { platform.workspace->bringProcessToFront(pid); }

bool LayoutCoordinator::isPrimaryMouseButtonDown() {
  return (platform.input->pressedMouseButtons() & Input::kPrimaryButton) != 0;
}

}  // namespace tessarapane
