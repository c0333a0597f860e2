#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "hotkeys/HotKeyAction.h"
#include "platform/KeyEvent.h"

namespace tessarapane {

struct KeyChord;

// The chord bound to each action; an action without an entry has no hot key.
using HotKeyBindings = std::map<HotKeyAction, KeyChord>;

// One key plus modifiers, in the form global hot-key registration takes.
struct KeyChord {
  // Modifier bits of the registration call.
  static constexpr std::uint32_t kCommand = 0x0100;
  static constexpr std::uint32_t kShift = 0x0200;
  static constexpr std::uint32_t kOption = 0x0800;
  static constexpr std::uint32_t kControl = 0x1000;
  // Every default chord uses Control+Option.
  static constexpr std::uint32_t kDefaultModifiers = kControl | kOption;

  std::uint32_t keyCode = 0;  // virtual key code (ANSI key positions)
  std::uint32_t carbonModifiers = 0;

  friend bool operator==(const KeyChord&, const KeyChord&) = default;

  // Nothing unless the event is a key-down. Only Control, Option, Shift and
  // Command are kept; Caps Lock, Function, keypad and help are ignored. A
  // key-down without modifiers gives a chord with no modifier bits (the
  // caller decides whether to accept it).
  static std::optional<KeyChord> fromEvent(const KeyEvent& event);

  // Modifier symbols in the order ⌃ ⌥ ⇧ ⌘, then the key's name, no separators.
  std::string displayString() const;

  // The key's symbol or letter, or "Key" plus the decimal code when the key
  // has no name.
  static std::string keyName(std::uint32_t keyCode);

  // The first action other than `excluding` whose chord equals `chord`, in
  // the map's order, or nothing.
  static std::optional<HotKeyAction> conflictingAction(const KeyChord& chord, HotKeyAction excluding,
                                                       const HotKeyBindings& bindings);

  // The chord an action has before the user ever saves bindings.
  static KeyChord defaultChord(HotKeyAction action);
  // Every action bound to its default chord.
  static HotKeyBindings defaultBindings();
};

// The refusal text when a chord is already bound to `holder`:
// "快捷键已被「<holder's title>」占用", format and title localized.
std::string conflictMessage(HotKeyAction holder);

}  // namespace tessarapane

template <>
struct std::hash<tessarapane::KeyChord> {
  std::size_t operator()(const tessarapane::KeyChord& chord) const noexcept {
    const std::uint64_t packed = (static_cast<std::uint64_t>(chord.keyCode) << 32) | chord.carbonModifiers;
    return std::hash<std::uint64_t>{}(packed);
  }
};
