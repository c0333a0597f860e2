#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "hotkeys/HotKeyAction.h"
#include "hotkeys/KeyChord.h"
#include "platform/HotKeys.h"
#include "platform/Log.h"
#include "platform/Platform.h"
#include "platform/Scheduler.h"
#include "platform/Subscription.h"

namespace tessarapane {

// Turns the bindings into live global hot keys and hands each pressed action
// to one handler. Presses arrive on three paths at once (registered hot keys,
// a local and a global key-down monitor); a press seen on more than one path
// is delivered once. A chord another client holds (the window manager, as a
// rule) is left to that client on every path: acting on it too would do two
// things at one press.
//
// Made with create(): every platform callback holds the center weakly, and a
// callback that fires after the center is gone does nothing. Everything runs
// on the main thread except the pressed handler and the global monitor, which
// only post work to it.
class HotKeyCenter : public std::enable_shared_from_this<HotKeyCenter> {
 public:
  // The signature of every identifier this application registers.
  static constexpr std::uint32_t kSignature = fourCharCode("TsHk");
  // A second delivery of the same action within this many seconds is dropped.
  static constexpr double kDeduplicationWindow = 0.08;

  // Installs the one pressed handler; its failure is ignored (the monitors
  // still work).
  static std::shared_ptr<HotKeyCenter> create(const Platform& platform);
  ~HotKeyCenter();

  HotKeyCenter(const HotKeyCenter&) = delete;
  HotKeyCenter& operator=(const HotKeyCenter&) = delete;

  // The registration identifier of an action: its ordinal plus 1.
  static std::uint32_t hotKeyID(HotKeyAction action) { return static_cast<std::uint32_t>(ordinal(action)) + 1; }

  // Where delivered actions go.
  std::function<void(HotKeyAction)> handler;

  // Stores the bindings and, unless suspended, registers them afresh.
  void updateBindings(HotKeyBindings bindings);
  // True drops every hot key and monitor; false registers the current
  // bindings again.
  void setSuspended(bool suspended);
  // Gives back every hot key, removes the monitors and forgets the last
  // delivery.
  void unregisterAll();
  // unregisterAll, then uninstalls the pressed handler (at termination).
  void terminate();

  // Registers each bound action in case order; a chord the platform refuses
  // is skipped, one held elsewhere is also kept in heldBindings() and logged
  // (once per chord and process). Does not unregister anything first.
  void installCarbonHotKeys();
  // The local and global key-down monitors; nothing for empty bindings.
  void installEventMonitors();
  void removeEventMonitors();

  // Whether the chord of a key-down belongs to an action (then delivered).
  // Auto-repeats, events without a chord and chords held elsewhere are not
  // handled.
  bool deliver(const std::optional<KeyChord>& chord, bool isRepeat);
  // Hands the action to the handler unless the same action was delivered
  // less than 80 ms ago.
  void deliver(HotKeyAction action);

  bool isSuspended() const { return isSuspended_; }
  const HotKeyBindings& bindings() const { return bindings_; }
  // Actions whose hot key is registered right now, in identifier order.
  std::vector<HotKeyAction> registeredActions() const;
  // The bindings whose chord another client held at the last registration.
  // Kept while suspended, so the settings window can still show them.
  const HotKeyBindings& heldBindings() const { return held_; }
  bool hasEventHandler() const { return eventHandler_.isActive(); }
  bool hasLocalMonitor() const { return localMonitor_.isActive(); }
  bool hasGlobalMonitor() const { return globalMonitor_.isActive(); }

 private:
  struct Delivery {
    HotKeyAction action = HotKeyAction::moveLeft;
    double time = 0.0;
  };

  explicit HotKeyCenter(const Platform& platform);
  void installEventHandler();
  void reregister();
  // Runs on the main thread for a press of a registered hot key.
  void deliverHotKey(std::uint32_t id);

  std::shared_ptr<HotKeys> hotKeys_;
  std::shared_ptr<Scheduler> scheduler_;
  std::shared_ptr<Log> log_;
  HotKeyBindings bindings_;
  HotKeyBindings held_;
  std::set<std::pair<std::uint32_t, std::uint32_t>> loggedHeld_;
  std::map<std::uint32_t, HotKeyRef> hotKeyRefs_;
  std::map<std::uint32_t, HotKeyAction> actionByID_;
  Subscription eventHandler_;
  Subscription localMonitor_;
  Subscription globalMonitor_;
  std::optional<Delivery> lastDelivery_;
  bool isSuspended_ = false;
};

}  // namespace tessarapane
