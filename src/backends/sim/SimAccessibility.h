#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimElements.h"
#include "platform/Accessibility.h"

namespace tessarapane {

// The accessibility interface over the simulated desktop: the attributes,
// writes, actions and observers the window code uses, with the platform's
// error codes. Elements of destroyed windows answer invalidUIElement to
// everything; an application that does not answer gives cannotComplete;
// without trust every call gives apiDisabled.
class SimAccessibility final : public Accessibility {
 public:
  explicit SimAccessibility(std::shared_ptr<SimDesktop> desktop);

  bool isProcessTrusted() override;
  bool isProcessTrustedWithPrompt() override;
  WindowManagerReport windowManagerReport() override;
  AXElement createApplication(ProcessID pid) override;
  AXCopyResult copyAttributeValue(const AXElement& element, std::string_view attribute) override;
  AXError setAttributeValue(const AXElement& element, std::string_view attribute,
                            const AXAttributeValue& value) override;
  AXSettableResult isAttributeSettable(const AXElement& element, std::string_view attribute) override;
  AXError performAction(const AXElement& element, std::string_view action) override;
  AXObserverCreateResult createObserver(ProcessID pid, AXObserverCallback callback) override;
  AXError addNotification(AXObserver observer, const AXElement& element, std::string_view notification) override;
  AXError removeNotification(AXObserver observer, const AXElement& element,
                             std::string_view notification) override;
  void destroyObserver(AXObserver observer) override;

 private:
  // What an element stands for right now, or why it cannot be used.
  struct Target {
    AXError error = AXError::success;
    SimAppState* app = nullptr;
    SimWindowState* window = nullptr;          // windows and controls
    std::optional<SimControlKind> control;     // controls only
  };

  Target resolve(const AXElement& element);
  AXCopyResult readApplication(const SimAppState& app, std::string_view attribute);
  AXCopyResult readWindow(const SimAppState& app, const SimWindowState& window, std::string_view attribute);
  AXCopyResult readControl(const SimWindowState& window, SimControlKind control, std::string_view attribute);
  AXError writeApplication(SimAppState& app, std::string_view attribute, const AXAttributeValue& value);
  AXError writeWindow(SimWindowState& window, std::string_view attribute, const AXAttributeValue& value);
  void record(SimCall::Kind kind, const AXElement& element, std::string_view name,
              std::optional<AXAttributeValue> value, AXError result);

  std::shared_ptr<SimDesktop> desktop_;
};

}  // namespace tessarapane
