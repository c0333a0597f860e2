// Writes, actions and observers of the simulated accessibility interface.
#include <algorithm>
#include <array>
#include <string>

#include "backends/sim/SimAccessibility.h"

namespace tessarapane {

namespace {

// Notifications the simulated applications can send.
constexpr std::array<std::string_view, 10> kKnownNotifications = {
    "AXWindowCreated",      "AXUIElementDestroyed",  "AXTitleChanged",         "AXFocusedWindowChanged",
    "AXMainWindowChanged",  "AXWindowMoved",         "AXWindowResized",        "AXWindowMiniaturized",
    "AXWindowDeminiaturized", "AXSheetCreated",
};

template <typename T>
const T* as(const AXAttributeValue& value) {
  return std::get_if<T>(&value);
}

// A hung application answers nothing for a while; each write or action
// during that time uses up one of the scripted refusals.
bool consumeBusy(SimWindowState& window) {
  int& remaining = window.desc.behavior.cannotCompleteCount;
  if (remaining <= 0) return false;
  --remaining;
  return true;
}

bool isReadOnlyWindowAttribute(std::string_view attribute) {
  return attribute == "AXRole" || attribute == "AXSubrole" || attribute == "AXTitle" || attribute == "AXModal" ||
         attribute == "AXFocused" || attribute == "AXParent" || attribute == "AXSheets" ||
         attribute == "AXCloseButton" || attribute == "AXMinimizeButton" || attribute == "AXZoomButton";
}

}  // namespace

AXError SimAccessibility::setAttributeValue(const AXElement& element, std::string_view attribute,
                                            const AXAttributeValue& value) {
  Target target = resolve(element);
  AXError result = target.error;
  if (result == AXError::success) {
    if (target.control) {
      result = consumeBusy(*target.window) ? AXError::cannotComplete : AXError::attributeUnsupported;
    } else if (target.window) {
      result = writeWindow(*target.window, attribute, value);
    } else {
      result = writeApplication(*target.app, attribute, value);
    }
  }
  record(SimCall::Kind::setAttribute, element, attribute, value, result);
  return result;
}

AXError SimAccessibility::writeApplication(SimAppState& app, std::string_view attribute,
                                           const AXAttributeValue& value) {
  if (attribute == "AXFocusedWindow") {
    const AXElement* window = as<AXElement>(value);
    if (!window || window->kind != AXElementKind::window || window->pid != app.desc.pid) {
      return AXError::illegalArgument;
    }
    const SimWindowState* state = desktop_->window(static_cast<WindowID>(window->token));
    if (!state || state->owner() != app.desc.pid || state->isSheet()) return AXError::illegalArgument;
    // Focus moves within the application; it does not come to the front.
    desktop_->focusWithinApplication(state->number(), false);
    return AXError::success;
  }
  if (attribute == "AXFrontmost") {
    const bool* frontmost = as<bool>(value);
    if (!frontmost) return AXError::illegalArgument;
    if (*frontmost) desktop_->activateApplication(app.desc.pid);
    return AXError::success;
  }
  return AXError::attributeUnsupported;
}

AXError SimAccessibility::writeWindow(SimWindowState& window, std::string_view attribute,
                                      const AXAttributeValue& value) {
  if (consumeBusy(window)) return AXError::cannotComplete;
  const WindowID number = window.number();
  if (attribute == "AXPosition") {
    if (!window.desc.positionSettable) return AXError::attributeUnsupported;
    const Point* position = as<Point>(value);
    return position ? desktop_->requestPosition(number, *position) : AXError::illegalArgument;
  }
  if (attribute == "AXSize") {
    if (!window.desc.sizeSettable) return AXError::attributeUnsupported;
    const Size* size = as<Size>(value);
    return size ? desktop_->requestSize(number, *size) : AXError::illegalArgument;
  }
  const bool* flag = as<bool>(value);
  if (attribute == "AXMain") {
    if (!flag) return AXError::illegalArgument;
    if (*flag) desktop_->focusWithinApplication(number, true);
    return AXError::success;
  }
  if (attribute == "AXMinimized") {
    if (!flag) return AXError::illegalArgument;
    desktop_->setMinimized(number, *flag);
    return AXError::success;
  }
  if (attribute == "AXFullScreen") {
    if (!flag) return AXError::illegalArgument;
    desktop_->setFullScreen(number, *flag);
    return AXError::success;
  }
  return AXError::attributeUnsupported;
}

AXSettableResult SimAccessibility::isAttributeSettable(const AXElement& element, std::string_view attribute) {
  Target target = resolve(element);
  if (target.error != AXError::success) return AXSettableResult{target.error, false};
  if (target.control) {
    const bool known = attribute == "AXRole" || attribute == "AXSubrole" || attribute == "AXEnabled" ||
                       attribute == "AXWindow" || attribute == "AXParent";
    return AXSettableResult{known ? AXError::success : AXError::attributeUnsupported, false};
  }
  if (target.window) {
    const SimWindowSpec& desc = target.window->desc;
    if (attribute == "AXPosition") return AXSettableResult{AXError::success, desc.positionSettable};
    if (attribute == "AXSize") return AXSettableResult{AXError::success, desc.sizeSettable};
    if (attribute == "AXMain" || attribute == "AXMinimized" || attribute == "AXFullScreen") {
      return AXSettableResult{AXError::success, true};
    }
    if (isReadOnlyWindowAttribute(attribute)) return AXSettableResult{AXError::success, false};
    return AXSettableResult{AXError::attributeUnsupported, false};
  }
  if (attribute == "AXFocusedWindow" || attribute == "AXFrontmost") return AXSettableResult{AXError::success, true};
  if (attribute == "AXRole" || attribute == "AXTitle" || attribute == "AXWindows" || attribute == "AXMainWindow") {
    return AXSettableResult{AXError::success, false};
  }
  return AXSettableResult{AXError::attributeUnsupported, false};
}

AXError SimAccessibility::performAction(const AXElement& element, std::string_view action) {
  Target target = resolve(element);
  AXError result = target.error;
  if (result == AXError::success) {
    if (!target.window) {
      result = AXError::actionUnsupported;
    } else if (consumeBusy(*target.window)) {
      result = AXError::cannotComplete;
    } else if (target.control) {
      result = action == "AXPress" ? desktop_->pressControl(target.window->number(), *target.control)
                                   : AXError::actionUnsupported;
    } else if (action == "AXRaise") {
      // Raises on screen without activating the application.
      desktop_->raise(target.window->number());
    } else {
      result = AXError::actionUnsupported;
    }
  }
  record(SimCall::Kind::performAction, element, action, std::nullopt, result);
  return result;
}

AXObserverCreateResult SimAccessibility::createObserver(ProcessID pid, AXObserverCallback callback) {
  if (!desktop_->isProcessTrusted()) return AXObserverCreateResult{AXError::apiDisabled, std::nullopt};
  if (pid <= 0 || !callback) return AXObserverCreateResult{AXError::illegalArgument, std::nullopt};
  if (const SimAppState* app = desktop_->app(pid); app && app->desc.observerCreationFails) {
    return AXObserverCreateResult{AXError::failure, std::nullopt};
  }
  return AXObserverCreateResult{AXError::success, desktop_->observers().create(pid, std::move(callback))};
}

AXError SimAccessibility::addNotification(AXObserver observer, const AXElement& element,
                                          std::string_view notification) {
  if (!desktop_->isProcessTrusted()) return AXError::apiDisabled;
  const auto pid = desktop_->observers().processOf(observer);
  if (!pid) return AXError::invalidUIElementObserver;
  if (element.pid != *pid) return AXError::illegalArgument;
  Target target = resolve(element);
  if (target.error != AXError::success) return target.error;
  if (std::find(kKnownNotifications.begin(), kKnownNotifications.end(), notification) == kKnownNotifications.end()) {
    return AXError::notificationUnsupported;
  }
  return desktop_->observers().add(observer, element, notification);
}

AXError SimAccessibility::removeNotification(AXObserver observer, const AXElement& element,
                                             std::string_view notification) {
  if (!desktop_->isProcessTrusted()) return AXError::apiDisabled;
  return desktop_->observers().remove(observer, element, notification);
}

void SimAccessibility::destroyObserver(AXObserver observer) { desktop_->observers().destroy(observer); }

}  // namespace tessarapane
