#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "backends/x11/X11Connection.h"
#include "platform/HotKeys.h"

namespace tessarapane {

// Global hot keys as passive key grabs on the root window (taken with every
// combination of NumLock and CapsLock, which would otherwise break the
// match), and the global key monitor through XInput2 raw key presses. Option
// is Alt (Mod1), Command is Super (Mod4). Local key monitors belong to the
// toolkit's event loop: this backend cannot install one.
class X11HotKeys final : public HotKeys, public std::enable_shared_from_this<X11HotKeys> {
 public:
  // Status of a registration the X server refused (another client holds
  // the key), of a key code without a key on this keyboard, and of a server
  // that did not answer.
  static constexpr std::int32_t kKeyTakenStatus = HotKeyRegistration::kHeldElsewhere;
  static constexpr std::int32_t kUnknownKeyStatus = -50;
  static constexpr std::int32_t kServerStatus = -108;

  static std::shared_ptr<X11HotKeys> create(std::shared_ptr<X11Connection> connection);
  ~X11HotKeys() override;

  HotKeyRegistration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, HotKeyID id) override;
  void unregisterHotKey(HotKeyRef ref) override;
  Subscription installHotKeyPressedHandler(std::function<bool(HotKeyID)> handler) override;
  Subscription addLocalKeyDownMonitor(std::function<bool(const KeyEvent&)> monitor) override;
  Subscription addGlobalKeyDownMonitor(std::function<void(const KeyEvent&)> monitor) override;

 private:
  struct Grab {
    std::uint32_t keyCode = 0;
    std::uint32_t modifiers = 0;  // the chord's bits
    HotKeyID id;
    std::vector<xcb_keycode_t> keycodes;
    std::uint16_t mask = 0;  // X modifier mask
  };

  explicit X11HotKeys(std::shared_ptr<X11Connection> connection);
  void handleEvent(const xcb_generic_event_t& event);
  void handleRawKey(const xcb_generic_event_t& event, bool press);
  void refreshKeyboard();
  std::vector<std::uint16_t> lockVariants() const;
  // 0 once every lock variant is grabbed, else the failure's status.
  std::int32_t grab(Grab& grab);
  void ungrab(const Grab& grab);
  // A client grabbing through XInput2 (mutter does) neither refuses a core
  // grab of its chord nor is refused by one, and the newer core grab would
  // take the chord from it unseen: a trial XInput2 grab of the chord, given
  // back at once, tells whether another client holds it that way.
  bool heldThroughXInput(const Grab& grab);
  void selectRawEvents(bool on);

  std::shared_ptr<X11Connection> connection_;
  Subscription events_;
  xcb_key_symbols_t* symbols_ = nullptr;
  std::uint16_t numLockMask_ = 0;
  std::map<xcb_keycode_t, std::uint16_t> modifierKeys_;  // keycode -> X modifier bit

  std::map<std::uint64_t, Grab> grabs_;
  std::uint64_t nextRef_ = 1;
  std::shared_ptr<std::function<bool(HotKeyID)>> handler_;
  std::uint64_t handlerGeneration_ = 0;

  // Without detectable auto-repeat the server sends a release and a press
  // with one timestamp for every repeat.
  std::optional<std::pair<xcb_keycode_t, xcb_timestamp_t>> lastRelease_;

  std::map<std::uint64_t, std::shared_ptr<std::function<void(const KeyEvent&)>>> monitors_;
  std::uint64_t nextMonitor_ = 1;
  std::set<xcb_keycode_t> pressedModifiers_;
};

}  // namespace tessarapane
