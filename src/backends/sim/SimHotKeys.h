#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "platform/HotKeys.h"

namespace tessarapane {

// Global hot keys and key monitors of the simulated desktop. Tests press
// registered chords and type keys into the monitors; chords can be made
// unavailable as if another program held them.
class SimHotKeys final : public HotKeys {
 public:
  // The event manager's "hot key exists" status.
  static constexpr std::int32_t kHotKeyExistsStatus = HotKeyRegistration::kHeldElsewhere;

  struct Registered {
    HotKeyRef ref;
    std::uint32_t keyCode = 0;
    std::uint32_t modifiers = 0;
    HotKeyID id;
  };

  HotKeyRegistration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, HotKeyID id) override;
  void unregisterHotKey(HotKeyRef ref) override;
  Subscription installHotKeyPressedHandler(std::function<bool(HotKeyID)> handler) override;
  Subscription addLocalKeyDownMonitor(std::function<bool(const KeyEvent&)> monitor) override;
  Subscription addGlobalKeyDownMonitor(std::function<void(const KeyEvent&)> monitor) override;

  // Another program (say, the window manager) holds the chord: registering
  // it fails as held elsewhere.
  void holdChordElsewhere(std::uint32_t keyCode, std::uint32_t modifiers);
  void releaseChordElsewhere(std::uint32_t keyCode, std::uint32_t modifiers);
  // Installing the pressed handler fails (an inactive handle).
  void failHandlerInstallation(bool fails) { handlerInstallationFails_ = fails; }

  // Presses a chord. None when no registration holds it; otherwise what the
  // installed handler answered (false without a handler).
  std::optional<bool> pressHotKey(std::uint32_t keyCode, std::uint32_t modifiers);
  // A key-down while this application is active; true when a monitor
  // consumed it (later monitors do not see a consumed event).
  bool sendLocalKeyDown(const KeyEvent& event);
  // A key-down sent to another application; every global monitor sees it.
  void sendGlobalKeyDown(const KeyEvent& event);

  std::vector<Registered> registrations() const;
  bool isRegistered(std::uint32_t keyCode, std::uint32_t modifiers) const;
  bool hasPressedHandler() const { return static_cast<bool>(state_->handler); }
  std::size_t localMonitorCount() const { return state_->localMonitors.size(); }
  std::size_t globalMonitorCount() const { return state_->globalMonitors.size(); }

 private:
  struct State {
    std::vector<Registered> registered;
    std::function<bool(HotKeyID)> handler;
    std::uint64_t handlerID = 0;
    std::map<std::uint64_t, std::function<bool(const KeyEvent&)>> localMonitors;
    std::map<std::uint64_t, std::function<void(const KeyEvent&)>> globalMonitors;
    std::uint64_t nextID = 1;
  };

  std::shared_ptr<State> state_ = std::make_shared<State>();
  std::set<std::pair<std::uint32_t, std::uint32_t>> heldElsewhere_;
  bool handlerInstallationFails_ = false;
};

}  // namespace tessarapane
