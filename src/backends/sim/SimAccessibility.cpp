// Trust, element resolution and attribute reads of the simulated
// accessibility interface.
#include "backends/sim/SimAccessibility.h"

#include <utility>
#include <vector>

namespace tessarapane {

namespace {

AXCopyResult value(AXAttributeValue v) { return AXCopyResult{AXError::success, std::move(v)}; }
AXCopyResult noValue() { return AXCopyResult{AXError::noValue, std::nullopt}; }
AXCopyResult unsupported() { return AXCopyResult{AXError::attributeUnsupported, std::nullopt}; }

const char* controlAttribute(SimControlKind control) {
  switch (control) {
    case SimControlKind::closeButton:
      return "AXCloseButton";
    case SimControlKind::minimizeButton:
      return "AXMinimizeButton";
    case SimControlKind::zoomButton:
      return "AXZoomButton";
  }
  return "";
}

const SimControl& controlOf(const SimWindowSpec& desc, SimControlKind control) {
  switch (control) {
    case SimControlKind::minimizeButton:
      return desc.minimizeButton;
    case SimControlKind::zoomButton:
      return desc.zoomButton;
    case SimControlKind::closeButton:
      break;
  }
  return desc.closeButton;
}

constexpr SimControlKind kControls[] = {SimControlKind::closeButton, SimControlKind::minimizeButton,
                                        SimControlKind::zoomButton};

}  // namespace

SimAccessibility::SimAccessibility(std::shared_ptr<SimDesktop> desktop) : desktop_(std::move(desktop)) {}

bool SimAccessibility::isProcessTrusted() { return desktop_->isProcessTrusted(); }

WindowManagerReport SimAccessibility::windowManagerReport() { return desktop_->windowManagerReport(); }

bool SimAccessibility::isProcessTrustedWithPrompt() {
  desktop_->notePermissionPrompt();
  return desktop_->isProcessTrusted();
}

AXElement SimAccessibility::createApplication(ProcessID pid) { return SimElements::application(pid); }

SimAccessibility::Target SimAccessibility::resolve(const AXElement& element) {
  Target target;
  if (!desktop_->isProcessTrusted()) {
    target.error = AXError::apiDisabled;
    return target;
  }
  if (element.isNull()) {
    target.error = AXError::illegalArgument;
    return target;
  }
  target.app = desktop_->app(element.pid);
  if (!target.app) {
    target.error = AXError::invalidUIElement;  // the process is gone
    return target;
  }
  if (element.kind != AXElementKind::application) {
    const auto number = SimElements::windowNumber(element);
    target.window = number ? desktop_->window(*number) : nullptr;
    if (!target.window || target.window->owner() != element.pid) {
      target.error = AXError::invalidUIElement;
      return target;
    }
    if (element.kind == AXElementKind::control) {
      target.control = SimElements::controlKind(element);
      if (!target.control || !controlOf(target.window->desc, *target.control).present) {
        target.error = AXError::invalidUIElement;
        return target;
      }
    }
  }
  if (!target.app->desc.answersAccessibility) target.error = AXError::cannotComplete;
  return target;
}

AXCopyResult SimAccessibility::copyAttributeValue(const AXElement& element, std::string_view attribute) {
  desktop_->recorder().countRead();
  Target target = resolve(element);
  if (target.error != AXError::success) return AXCopyResult{target.error, std::nullopt};
  if (target.control) return readControl(*target.window, *target.control, attribute);
  if (target.window) return readWindow(*target.app, *target.window, attribute);
  return readApplication(*target.app, attribute);
}

AXCopyResult SimAccessibility::readApplication(const SimAppState& app, std::string_view attribute) {
  const ProcessID pid = app.desc.pid;
  if (attribute == "AXRole") return value(std::string("AXApplication"));
  if (attribute == "AXTitle") return app.desc.localizedName ? value(*app.desc.localizedName) : noValue();
  if (attribute == "AXFrontmost") return value(desktop_->frontmostApplication() == pid);
  if (attribute == "AXWindows") {
    std::vector<AXElement> windows;
    for (WindowID number : desktop_->windowsOf(pid)) windows.push_back(SimElements::window(pid, number));
    return value(std::move(windows));
  }
  if (attribute == "AXFocusedWindow") {
    return app.focusedWindow ? value(SimElements::window(pid, *app.focusedWindow)) : noValue();
  }
  if (attribute == "AXMainWindow") {
    return app.mainWindow ? value(SimElements::window(pid, *app.mainWindow)) : noValue();
  }
  return unsupported();
}

AXCopyResult SimAccessibility::readWindow(const SimAppState& app, const SimWindowState& window,
                                          std::string_view attribute) {
  const SimWindowSpec& desc = window.desc;
  const ProcessID pid = window.owner();
  if (attribute == "AXRole") return value(desc.role);
  if (attribute == "AXSubrole") return desc.subrole ? value(*desc.subrole) : noValue();
  if (attribute == "AXTitle") return value(desc.title);
  if (attribute == "AXPosition") return value(desc.frame.origin);
  if (attribute == "AXSize") return value(desc.frame.size);
  if (attribute == "AXMinimized") return value(desc.minimized);
  if (attribute == "AXFullScreen") return value(desc.fullScreen);
  if (attribute == "AXModal") return value(desc.modal);
  if (attribute == "AXMain") return value(app.mainWindow == window.number());
  if (attribute == "AXFocused") return value(app.focusedWindow == window.number());
  if (attribute == "AXParent") return value(SimElements::application(pid));
  if (attribute == "AXSheets") {
    std::vector<AXElement> sheets;
    for (WindowID sheet : window.sheets) sheets.push_back(SimElements::window(pid, sheet));
    return value(std::move(sheets));
  }
  for (SimControlKind control : kControls) {
    if (attribute != controlAttribute(control)) continue;
    if (!controlOf(desc, control).present) return noValue();
    return value(SimElements::control(pid, window.number(), control));
  }
  return unsupported();
}

AXCopyResult SimAccessibility::readControl(const SimWindowState& window, SimControlKind control,
                                           std::string_view attribute) {
  if (attribute == "AXRole") return value(std::string("AXButton"));
  if (attribute == "AXSubrole") return value(std::string(controlAttribute(control)));
  if (attribute == "AXEnabled") return value(desktop_->isControlEnabled(window, control));
  if (attribute == "AXWindow" || attribute == "AXParent") {
    return value(SimElements::window(window.owner(), window.number()));
  }
  return unsupported();
}

void SimAccessibility::record(SimCall::Kind kind, const AXElement& element, std::string_view name,
                              std::optional<AXAttributeValue> value, AXError result) {
  SimCall call;
  call.kind = kind;
  call.element = element;
  call.window = SimElements::windowNumber(element).value_or(0);
  call.pid = element.pid;
  call.name = std::string(name);
  call.value = std::move(value);
  call.result = result;
  desktop_->record(std::move(call));
}

}  // namespace tessarapane
