#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "platform/KeyEvent.h"
#include "platform/Subscription.h"

namespace tessarapane {

// A four-character code packed big-endian: fourCharCode("TsHk") == 0x5473486B.
constexpr std::uint32_t fourCharCode(std::string_view code) {
  std::uint32_t packed = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const auto byte = i < code.size() ? static_cast<unsigned char>(code[i]) : static_cast<unsigned char>(' ');
    packed = (packed << 8) | byte;
  }
  return packed;
}

// Identifies a registered hot key when it is pressed.
struct HotKeyID {
  std::uint32_t signature = 0;  // the application's four-character code
  std::uint32_t id = 0;

  friend bool operator==(const HotKeyID&, const HotKeyID&) = default;
};

// A registered hot key, to unregister it later.
struct HotKeyRef {
  std::uint64_t token = 0;

  friend bool operator==(const HotKeyRef&, const HotKeyRef&) = default;
};

struct HotKeyRegistration {
  // Another client holds the chord (on a desktop, the window manager as a
  // rule): whatever this program did with it would come on top of theirs.
  static constexpr std::int32_t kHeldElsewhere = -9878;
  // This program registered the chord already.
  static constexpr std::int32_t kAlreadyRegistered = -9879;

  std::int32_t status = 0;        // 0 = registered
  std::optional<HotKeyRef> ref;   // none when the key could not be taken

  bool isHeldElsewhere() const { return status == kHeldElsewhere; }
};

// Global hot keys and keyboard monitors.
class HotKeys {
 public:
  // Modifier bits of a registered chord (the classic event manager's).
  static constexpr std::uint32_t kCommandKey = 1U << 8;
  static constexpr std::uint32_t kShiftKey = 1U << 9;
  static constexpr std::uint32_t kOptionKey = 1U << 11;
  static constexpr std::uint32_t kControlKey = 1U << 12;

  virtual ~HotKeys() = default;

  // Takes the chord system-wide. A key another program holds fails with
  // HotKeyRegistration::kHeldElsewhere, other failures with another
  // non-zero status; either way nothing is registered.
  virtual HotKeyRegistration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, HotKeyID id) = 0;

  // Gives the chord back. Unknown references are ignored.
  virtual void unregisterHotKey(HotKeyRef ref) = 0;

  // Installs the one handler for registered hot keys. It may be called on any
  // thread and must only schedule work; it returns whether it handled the
  // press (false passes it on). An inactive handle means installation failed.
  virtual Subscription installHotKeyPressedHandler(std::function<bool(HotKeyID)> handler) = 0;

  // Key-downs while this application is active, on the main thread. Returning
  // true consumes the event.
  virtual Subscription addLocalKeyDownMonitor(std::function<bool(const KeyEvent&)> monitor) = 0;

  // Key-downs sent to other applications, which can only be observed. May be
  // called on any thread; the monitor must only schedule work.
  virtual Subscription addGlobalKeyDownMonitor(std::function<void(const KeyEvent&)> monitor) = 0;
};

}  // namespace tessarapane
