#include "ui/services/QtHotKeys.h"

#include <utility>

namespace tessarapane::ui {

QtHotKeys::QtHotKeys(std::shared_ptr<HotKeys> backend)
    : backend_(std::move(backend)), localMonitor_(std::make_unique<QtLocalKeyMonitor>()) {}

HotKeyRegistration QtHotKeys::registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, HotKeyID id) {
  if (!backend_) return HotKeyRegistration{-1, std::nullopt};
  return backend_->registerHotKey(keyCode, modifiers, id);
}

void QtHotKeys::unregisterHotKey(HotKeyRef ref) {
  if (backend_) backend_->unregisterHotKey(ref);
}

Subscription QtHotKeys::installHotKeyPressedHandler(std::function<bool(HotKeyID)> handler) {
  if (!backend_) return {};
  return backend_->installHotKeyPressedHandler(std::move(handler));
}

Subscription QtHotKeys::addLocalKeyDownMonitor(std::function<bool(const KeyEvent&)> monitor) {
  return localMonitor_->add(std::move(monitor));
}

Subscription QtHotKeys::addGlobalKeyDownMonitor(std::function<void(const KeyEvent&)> monitor) {
  if (!backend_) return {};
  return backend_->addGlobalKeyDownMonitor(std::move(monitor));
}

}  // namespace tessarapane::ui
