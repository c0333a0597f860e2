#pragma once

#include <memory>

#include "platform/HotKeys.h"
#include "ui/services/QtLocalKeyMonitor.h"

namespace tessarapane::ui {

// The backend's global hot keys with the local key monitor that only the
// toolkit's event loop can provide: everything but local monitors goes to
// the backend.
class QtHotKeys final : public HotKeys {
 public:
  explicit QtHotKeys(std::shared_ptr<HotKeys> backend);

  HotKeyRegistration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, HotKeyID id) override;
  void unregisterHotKey(HotKeyRef ref) override;
  Subscription installHotKeyPressedHandler(std::function<bool(HotKeyID)> handler) override;
  Subscription addLocalKeyDownMonitor(std::function<bool(const KeyEvent&)> monitor) override;
  Subscription addGlobalKeyDownMonitor(std::function<void(const KeyEvent&)> monitor) override;

  QtLocalKeyMonitor& localMonitor() { return *localMonitor_; }

 private:
  std::shared_ptr<HotKeys> backend_;
  std::unique_ptr<QtLocalKeyMonitor> localMonitor_;
};

}  // namespace tessarapane::ui
