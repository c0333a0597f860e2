#include "backends/x11/X11HotKeys.h"

#include <xcb/xinput.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "backends/x11/X11KeyCodes.h"

namespace tessarapane {

namespace {

constexpr std::uint32_t kNumLockKeysym = 0xff7f;
constexpr std::uint16_t kChordMasks = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

std::uint16_t xMaskFor(std::uint32_t modifiers) {
  std::uint16_t mask = 0;
  if (modifiers & HotKeys::kCommandKey) mask |= XCB_MOD_MASK_4;
  if (modifiers & HotKeys::kShiftKey) mask |= XCB_MOD_MASK_SHIFT;
  if (modifiers & HotKeys::kOptionKey) mask |= XCB_MOD_MASK_1;
  if (modifiers & HotKeys::kControlKey) mask |= XCB_MOD_MASK_CONTROL;
  return mask;
}

std::uint64_t flagsFor(std::uint16_t mask) {
  std::uint64_t flags = 0;
  if (mask & XCB_MOD_MASK_SHIFT) flags |= KeyEvent::kShift;
  if (mask & XCB_MOD_MASK_CONTROL) flags |= KeyEvent::kControl;
  if (mask & XCB_MOD_MASK_1) flags |= KeyEvent::kOption;
  if (mask & XCB_MOD_MASK_4) flags |= KeyEvent::kCommand;
  return flags;
}

}  // namespace

std::shared_ptr<X11HotKeys> X11HotKeys::create(std::shared_ptr<X11Connection> connection) {
  std::shared_ptr<X11HotKeys> hotKeys(new X11HotKeys(std::move(connection)));
  std::weak_ptr<X11HotKeys> weak = hotKeys;
  hotKeys->events_ = hotKeys->connection_->addEventHandler([weak](const xcb_generic_event_t& event) {
    if (auto self = weak.lock()) self->handleEvent(event);
  });
  return hotKeys;
}

X11HotKeys::X11HotKeys(std::shared_ptr<X11Connection> connection) : connection_(std::move(connection)) {
  symbols_ = xcb_key_symbols_alloc(connection_->raw());
  refreshKeyboard();
}

X11HotKeys::~X11HotKeys() {
  for (const auto& [ref, grab] : grabs_) ungrab(grab);
  if (!monitors_.empty()) selectRawEvents(false);
  connection_->flush();
  if (symbols_) xcb_key_symbols_free(symbols_);
}

void X11HotKeys::refreshKeyboard() {
  X11Connection& x = *connection_;
  numLockMask_ = 0;
  modifierKeys_.clear();
  auto mapping = x.await<xcb_get_modifier_mapping_reply_t>(xcb_get_modifier_mapping(x.raw()), x.deadline());
  if (!mapping.ok()) return;
  const int perModifier = mapping->keycodes_per_modifier;
  const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(mapping.value.get());
  xcb_keycode_t* numLock = symbols_ ? xcb_key_symbols_get_keycode(symbols_, kNumLockKeysym) : nullptr;
  for (int modifier = 0; modifier < 8; ++modifier) {
    for (int k = 0; k < perModifier; ++k) {
      const xcb_keycode_t keycode = keycodes[modifier * perModifier + k];
      if (keycode == 0) continue;
      modifierKeys_[keycode] = static_cast<std::uint16_t>(1U << modifier);
      for (xcb_keycode_t* n = numLock; n && *n != 0; ++n) {
        if (*n == keycode) numLockMask_ = static_cast<std::uint16_t>(1U << modifier);
      }
    }
  }
  std::free(numLock);
}

std::vector<std::uint16_t> X11HotKeys::lockVariants() const {
  std::vector<std::uint16_t> variants{0, XCB_MOD_MASK_LOCK};
  if (numLockMask_ != 0) {
    variants.push_back(numLockMask_);
    variants.push_back(static_cast<std::uint16_t>(numLockMask_ | XCB_MOD_MASK_LOCK));
  }
  return variants;
}

std::int32_t X11HotKeys::grab(Grab& grab) {
  X11Connection& x = *connection_;
  grab.keycodes.clear();
  const auto keysym = X11KeyCodes::keysymForVirtualKey(grab.keyCode);
  if (!keysym || !symbols_) return kUnknownKeyStatus;
  xcb_keycode_t* keycodes = xcb_key_symbols_get_keycode(symbols_, *keysym);
  for (xcb_keycode_t* k = keycodes; k && *k != 0; ++k) {
    if (std::find(grab.keycodes.begin(), grab.keycodes.end(), *k) == grab.keycodes.end()) grab.keycodes.push_back(*k);
  }
  std::free(keycodes);
  if (grab.keycodes.empty()) return kUnknownKeyStatus;
  if (heldThroughXInput(grab)) return kKeyTakenStatus;

  std::vector<xcb_void_cookie_t> cookies;
  for (xcb_keycode_t keycode : grab.keycodes) {
    for (std::uint16_t variant : lockVariants()) {
      cookies.push_back(xcb_grab_key_checked(x.raw(), 1, x.root(), static_cast<std::uint16_t>(grab.mask | variant),
                                             keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
  }
  const std::vector<ReplyStatus> results = x.checkRequests(cookies, x.deadline());
  if (std::all_of(results.begin(), results.end(), [](ReplyStatus s) { return s == ReplyStatus::ok; })) return 0;
  // All or nothing: what was taken is given back.
  ungrab(grab);
  // Only a refusal (BadAccess) says that another client holds the key; a
  // server that did not answer says nothing about it.
  const bool refused = std::find(results.begin(), results.end(), ReplyStatus::xError) != results.end();
  return refused ? kKeyTakenStatus : kServerStatus;
}

bool X11HotKeys::heldThroughXInput(const Grab& grab) {
  X11Connection& x = *connection_;
  if (!x.xinputOpcode()) return false;
  std::vector<std::uint32_t> modifiers;
  for (std::uint16_t variant : lockVariants()) modifiers.push_back(grab.mask | variant);
  const auto count = static_cast<std::uint16_t>(modifiers.size());
  const std::uint32_t mask = XCB_INPUT_XI_EVENT_MASK_KEY_PRESS;
  bool held = false;
  for (xcb_keycode_t keycode : grab.keycodes) {
    // The reply lists the modifier sets the trial grab did not get.
    const auto trial = x.await<xcb_input_xi_passive_grab_device_reply_t>(
        xcb_input_xi_passive_grab_device(x.raw(), XCB_CURRENT_TIME, x.root(), XCB_CURSOR_NONE, keycode,
                                         XCB_INPUT_DEVICE_ALL_MASTER, count, 1, XCB_INPUT_GRAB_TYPE_KEYCODE,
                                         XCB_INPUT_GRAB_MODE_22_ASYNC, XCB_INPUT_GRAB_MODE_22_ASYNC,
                                         XCB_INPUT_GRAB_OWNER_NO_OWNER, &mask, modifiers.data()),
        x.deadline());
    held = held || (trial.ok() && trial->num_modifiers > 0);
    xcb_input_xi_passive_ungrab_device(x.raw(), x.root(), keycode, XCB_INPUT_DEVICE_ALL_MASTER, count,
                                       XCB_INPUT_GRAB_TYPE_KEYCODE, modifiers.data());
  }
  return held;
}

void X11HotKeys::ungrab(const Grab& grab) {
  X11Connection& x = *connection_;
  for (xcb_keycode_t keycode : grab.keycodes) {
    for (std::uint16_t variant : lockVariants()) {
      xcb_ungrab_key(x.raw(), keycode, x.root(), static_cast<std::uint16_t>(grab.mask | variant));
    }
  }
  // A round trip: once this returns, other programs can take the key.
  x.await<xcb_get_input_focus_reply_t>(xcb_get_input_focus(x.raw()), x.deadline());
}

HotKeyRegistration X11HotKeys::registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, HotKeyID id) {
  Grab entry{keyCode, modifiers, id, {}, xMaskFor(modifiers)};
  if (!X11KeyCodes::keysymForVirtualKey(keyCode)) return HotKeyRegistration{kUnknownKeyStatus, std::nullopt};
  // A chord this process already holds is taken twice only in name.
  for (const auto& [ref, existing] : grabs_) {
    if (existing.keyCode == keyCode && existing.mask == entry.mask) {
      return HotKeyRegistration{HotKeyRegistration::kAlreadyRegistered, std::nullopt};
    }
  }
  if (const std::int32_t status = grab(entry); status != 0) return HotKeyRegistration{status, std::nullopt};
  const std::uint64_t ref = nextRef_++;
  grabs_.emplace(ref, std::move(entry));
  return HotKeyRegistration{0, HotKeyRef{ref}};
}

void X11HotKeys::unregisterHotKey(HotKeyRef ref) {
  auto found = grabs_.find(ref.token);
  if (found == grabs_.end()) return;
  ungrab(found->second);
  grabs_.erase(found);
}

Subscription X11HotKeys::installHotKeyPressedHandler(std::function<bool(HotKeyID)> handler) {
  if (!handler) return {};
  handler_ = std::make_shared<std::function<bool(HotKeyID)>>(std::move(handler));
  const std::uint64_t generation = ++handlerGeneration_;
  return Subscription([weak = weak_from_this(), generation] {
    auto self = weak.lock();
    if (self && self->handlerGeneration_ == generation) self->handler_.reset();
  });
}

// Key presses while this application is active reach the toolkit's own
// event loop, which is where a local monitor has to live.
Subscription X11HotKeys::addLocalKeyDownMonitor(std::function<bool(const KeyEvent&)>) { return {}; }

Subscription X11HotKeys::addGlobalKeyDownMonitor(std::function<void(const KeyEvent&)> monitor) {
  if (!monitor || !connection_->xinputOpcode()) return {};
  if (monitors_.empty()) selectRawEvents(true);
  const std::uint64_t id = nextMonitor_++;
  monitors_.emplace(id, std::make_shared<std::function<void(const KeyEvent&)>>(std::move(monitor)));
  return Subscription([weak = weak_from_this(), id] {
    auto self = weak.lock();
    if (!self || self->monitors_.erase(id) == 0) return;
    if (self->monitors_.empty()) self->selectRawEvents(false);
  });
}

void X11HotKeys::selectRawEvents(bool on) {
  X11Connection& x = *connection_;
  struct {
    xcb_input_event_mask_t head;
    std::uint32_t bits;
  } mask{};
  mask.head.deviceid = XCB_INPUT_DEVICE_ALL_MASTER;
  mask.head.mask_len = 1;
  mask.bits = on ? (XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE) : 0;
  if (!on) pressedModifiers_.clear();
  xcb_input_xi_select_events(x.raw(), x.root(), 1, &mask.head);
  x.flush();
}

void X11HotKeys::handleEvent(const xcb_generic_event_t& event) {
  const std::uint8_t type = event.response_type & 0x7F;
  if (type == XCB_KEY_PRESS) {
    const auto& press = reinterpret_cast<const xcb_key_press_event_t&>(event);
    const bool repeat = lastRelease_ && lastRelease_->first == press.detail && lastRelease_->second == press.time;
    lastRelease_.reset();
    if (repeat || !handler_) return;
    const std::uint16_t mask = press.state & kChordMasks;
    for (const auto& [ref, grab] : grabs_) {
      if (grab.mask != mask) continue;
      if (std::find(grab.keycodes.begin(), grab.keycodes.end(), press.detail) == grab.keycodes.end()) continue;
      const auto handler = handler_;
      (*handler)(grab.id);
      return;
    }
    return;
  }
  if (type == XCB_KEY_RELEASE) {
    const auto& release = reinterpret_cast<const xcb_key_release_event_t&>(event);
    lastRelease_ = std::make_pair(release.detail, release.time);
    // While this client holds a grab, raw events reach it only through the
    // grab, so modifiers let go meanwhile went unseen: the release's own
    // state says which are still down.
    std::erase_if(pressedModifiers_, [&](xcb_keycode_t modifier) {
      return (release.state & modifierKeys_[modifier]) == 0;
    });
    return;
  }
  if (type == XCB_MAPPING_NOTIFY) {
    auto mapping = reinterpret_cast<const xcb_mapping_notify_event_t&>(event);
    if (mapping.request == XCB_MAPPING_POINTER) return;
    // The keys moved: grab them where they are now.
    for (const auto& [ref, grab] : grabs_) ungrab(grab);
    if (symbols_) xcb_refresh_keyboard_mapping(symbols_, &mapping);
    refreshKeyboard();
    for (auto& [ref, grab] : grabs_) this->grab(grab);
    return;
  }
  if (type == XCB_GE_GENERIC) {
    const auto& generic = reinterpret_cast<const xcb_ge_generic_event_t&>(event);
    if (!connection_->xinputOpcode() || generic.extension != *connection_->xinputOpcode()) return;
    if (generic.event_type == XCB_INPUT_RAW_KEY_PRESS) handleRawKey(event, true);
    if (generic.event_type == XCB_INPUT_RAW_KEY_RELEASE) handleRawKey(event, false);
  }
}

void X11HotKeys::handleRawKey(const xcb_generic_event_t& event, bool press) {
  const auto& raw = reinterpret_cast<const xcb_input_raw_key_press_event_t&>(event);
  const auto keycode = static_cast<xcb_keycode_t>(raw.detail);
  // Raw events carry no modifier state: it is followed key by key.
  // Modifiers change flags; they are not key-downs of their own.
  if (modifierKeys_.count(keycode) != 0) {
    if (press) pressedModifiers_.insert(keycode);
    else pressedModifiers_.erase(keycode);
    return;
  }
  if (!press || monitors_.empty() || !symbols_) return;
  const auto virtualKey = X11KeyCodes::virtualKeyForKeysym(xcb_key_symbols_get_keysym(symbols_, keycode, 0));
  if (!virtualKey) return;
  std::uint16_t mask = 0;
  for (xcb_keycode_t modifier : pressedModifiers_) mask |= modifierKeys_[modifier];
  KeyEvent key;
  key.type = KeyEvent::Type::keyDown;
  key.keyCode = *virtualKey;
  key.modifierFlags = flagsFor(mask);
  key.isRepeat = (raw.flags & XCB_INPUT_KEY_EVENT_FLAGS_KEY_REPEAT) != 0;
  std::vector<std::pair<std::uint64_t, std::shared_ptr<std::function<void(const KeyEvent&)>>>> monitors(
      monitors_.begin(), monitors_.end());
  for (const auto& [id, monitor] : monitors) {
    if (monitors_.count(id) != 0) (*monitor)(key);
  }
}

}  // namespace tessarapane
