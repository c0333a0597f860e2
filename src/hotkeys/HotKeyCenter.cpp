#include "hotkeys/HotKeyCenter.h"

#include <string>
#include <utility>

namespace tessarapane {

std::shared_ptr<HotKeyCenter> HotKeyCenter::create(const Platform& platform) {
  std::shared_ptr<HotKeyCenter> center(new HotKeyCenter(platform));
  center->installEventHandler();
  return center;
}

HotKeyCenter::HotKeyCenter(const Platform& platform)
    : hotKeys_(platform.hotKeys), scheduler_(platform.scheduler), log_(platform.log) {}

HotKeyCenter::~HotKeyCenter() { terminate(); }

void HotKeyCenter::installEventHandler() {
  if (!hotKeys_ || eventHandler_.isActive()) return;
  // May run on any thread: it reads only what it captured and posts the
  // rest to the main thread.
  std::weak_ptr<HotKeyCenter> weak = weak_from_this();
  std::weak_ptr<Scheduler> scheduler = scheduler_;
  eventHandler_ = hotKeys_->installHotKeyPressedHandler([weak, scheduler](HotKeyID id) {
    if (id.signature != kSignature) return false;
    if (const auto main = scheduler.lock()) {
      main->postToMainThread([weak, number = id.id] {
        if (const auto center = weak.lock()) center->deliverHotKey(number);
      });
    }
    return true;
  });
}

void HotKeyCenter::deliverHotKey(std::uint32_t id) {
  const auto found = actionByID_.find(id);
  if (found != actionByID_.end()) deliver(found->second);
}

void HotKeyCenter::installCarbonHotKeys() {
  if (!hotKeys_) return;
  HotKeyBindings held;
  for (HotKeyAction action : kAllHotKeyActions) {
    const auto chord = bindings_.find(action);
    if (chord == bindings_.end()) continue;
    const std::uint32_t id = hotKeyID(action);
    const HotKeyRegistration registration =
        hotKeys_->registerHotKey(chord->second.keyCode, chord->second.carbonModifiers, HotKeyID{kSignature, id});
    if (registration.isHeldElsewhere()) held.emplace(action, chord->second);
    if (registration.status != 0 || !registration.ref) continue;
    hotKeyRefs_[id] = *registration.ref;
    actionByID_[id] = action;
  }
  for (const auto& [action, chord] : held) {
    if (!loggedHeld_.insert({chord.keyCode, chord.carbonModifiers}).second || !log_) continue;
    log_->write(kLogSubsystem, "HotKeys",
                chord.displayString() + " (" + std::string(rawValue(action)) +
                    ") is held by another client, most likely the window manager; Tessarapane leaves it alone");
  }
  held_ = std::move(held);
}

void HotKeyCenter::installEventMonitors() {
  if (!hotKeys_ || bindings_.empty()) return;
  std::weak_ptr<HotKeyCenter> weak = weak_from_this();
  localMonitor_ = hotKeys_->addLocalKeyDownMonitor([weak](const KeyEvent& event) {
    const auto center = weak.lock();
    return center ? center->deliver(KeyChord::fromEvent(event), event.isRepeat) : false;
  });
  std::weak_ptr<Scheduler> scheduler = scheduler_;
  globalMonitor_ = hotKeys_->addGlobalKeyDownMonitor([weak, scheduler](const KeyEvent& event) {
    // Read now: the event belongs to the thread that reported it.
    const auto chord = KeyChord::fromEvent(event);
    const bool isRepeat = event.isRepeat;
    const auto main = scheduler.lock();
    if (!main) return;
    main->postToMainThread([weak, chord, isRepeat] {
      const auto center = weak.lock();
      // A key seen just before the center was suspended must not fire while
      // a chord is being recorded.
      if (center && !center->isSuspended_) center->deliver(chord, isRepeat);
    });
  });
}

void HotKeyCenter::removeEventMonitors() {
  localMonitor_.cancel();
  globalMonitor_.cancel();
}

void HotKeyCenter::unregisterAll() {
  const auto refs = std::exchange(hotKeyRefs_, {});
  actionByID_.clear();
  if (hotKeys_) {
    for (const auto& entry : refs) hotKeys_->unregisterHotKey(entry.second);
  }
  removeEventMonitors();
  lastDelivery_.reset();
}

void HotKeyCenter::terminate() {
  unregisterAll();
  eventHandler_.cancel();
}

void HotKeyCenter::reregister() {
  unregisterAll();
  installCarbonHotKeys();
  installEventMonitors();
}

void HotKeyCenter::updateBindings(HotKeyBindings bindings) {
  bindings_ = std::move(bindings);
  if (!isSuspended_) reregister();
}

void HotKeyCenter::setSuspended(bool suspended) {
  isSuspended_ = suspended;
  if (suspended) {
    unregisterAll();
  } else {
    reregister();
  }
}

bool HotKeyCenter::deliver(const std::optional<KeyChord>& chord, bool isRepeat) {
  if (isRepeat || !chord) return false;
  for (const auto& [action, bound] : bindings_) {
    if (bound == *chord) {
      const auto held = held_.find(action);
      if (held != held_.end() && held->second == bound) return false;
      deliver(action);
      return true;
    }
  }
  return false;
}

void HotKeyCenter::deliver(HotKeyAction action) {
  const double now = scheduler_ ? scheduler_->now() : 0.0;
  if (lastDelivery_ && lastDelivery_->action == action && now - lastDelivery_->time < kDeduplicationWindow) return;
  lastDelivery_ = Delivery{action, now};
  if (handler) {
    auto call = handler;  // the handler may replace itself
    call(action);
  }
}

std::vector<HotKeyAction> HotKeyCenter::registeredActions() const {
  std::vector<HotKeyAction> actions;
  for (const auto& entry : actionByID_) actions.push_back(entry.second);
  return actions;
}

}  // namespace tessarapane
