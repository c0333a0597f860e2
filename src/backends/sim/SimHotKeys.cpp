#include "backends/sim/SimHotKeys.h"

#include <algorithm>

namespace tessarapane {

HotKeyRegistration SimHotKeys::registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, HotKeyID id) {
  if (heldElsewhere_.count({keyCode, modifiers}) != 0) return HotKeyRegistration{kHotKeyExistsStatus, std::nullopt};
  if (isRegistered(keyCode, modifiers)) return HotKeyRegistration{HotKeyRegistration::kAlreadyRegistered, std::nullopt};
  const HotKeyRef ref{state_->nextID++};
  state_->registered.push_back(Registered{ref, keyCode, modifiers, id});
  return HotKeyRegistration{0, ref};
}

void SimHotKeys::unregisterHotKey(HotKeyRef ref) {
  std::erase_if(state_->registered, [&](const Registered& r) { return r.ref == ref; });
}

Subscription SimHotKeys::installHotKeyPressedHandler(std::function<bool(HotKeyID)> handler) {
  if (handlerInstallationFails_) return Subscription();
  const std::uint64_t id = state_->nextID++;
  state_->handler = std::move(handler);
  state_->handlerID = id;
  std::weak_ptr<State> weak = state_;
  return Subscription([weak, id] {
    auto state = weak.lock();
    // A later installation replaced this one; leave it alone.
    if (!state || state->handlerID != id) return;
    state->handler = nullptr;
    state->handlerID = 0;
  });
}

Subscription SimHotKeys::addLocalKeyDownMonitor(std::function<bool(const KeyEvent&)> monitor) {
  const std::uint64_t id = state_->nextID++;
  state_->localMonitors.emplace(id, std::move(monitor));
  std::weak_ptr<State> weak = state_;
  return Subscription([weak, id] {
    if (auto state = weak.lock()) state->localMonitors.erase(id);
  });
}

Subscription SimHotKeys::addGlobalKeyDownMonitor(std::function<void(const KeyEvent&)> monitor) {
  const std::uint64_t id = state_->nextID++;
  state_->globalMonitors.emplace(id, std::move(monitor));
  std::weak_ptr<State> weak = state_;
  return Subscription([weak, id] {
    if (auto state = weak.lock()) state->globalMonitors.erase(id);
  });
}

void SimHotKeys::holdChordElsewhere(std::uint32_t keyCode, std::uint32_t modifiers) {
  heldElsewhere_.insert({keyCode, modifiers});
}

void SimHotKeys::releaseChordElsewhere(std::uint32_t keyCode, std::uint32_t modifiers) {
  heldElsewhere_.erase({keyCode, modifiers});
}

std::optional<bool> SimHotKeys::pressHotKey(std::uint32_t keyCode, std::uint32_t modifiers) {
  const auto& registered = state_->registered;
  auto found = std::find_if(registered.begin(), registered.end(), [&](const Registered& r) {
    return r.keyCode == keyCode && r.modifiers == modifiers;
  });
  if (found == registered.end()) return std::nullopt;
  const HotKeyID id = found->id;
  auto handler = state_->handler;  // the handler may uninstall itself
  return handler ? handler(id) : false;
}

bool SimHotKeys::sendLocalKeyDown(const KeyEvent& event) {
  // Copied first: a monitor may remove itself or others.
  const auto monitors = state_->localMonitors;
  for (const auto& [id, monitor] : monitors) {
    if (state_->localMonitors.count(id) == 0) continue;
    if (monitor(event)) return true;
  }
  return false;
}

void SimHotKeys::sendGlobalKeyDown(const KeyEvent& event) {
  const auto monitors = state_->globalMonitors;
  for (const auto& [id, monitor] : monitors) {
    if (state_->globalMonitors.count(id) != 0) monitor(event);
  }
}

std::vector<SimHotKeys::Registered> SimHotKeys::registrations() const { return state_->registered; }

bool SimHotKeys::isRegistered(std::uint32_t keyCode, std::uint32_t modifiers) const {
  return std::any_of(state_->registered.begin(), state_->registered.end(),
                     [&](const Registered& r) { return r.keyCode == keyCode && r.modifiers == modifiers; });
}

}  // namespace tessarapane
