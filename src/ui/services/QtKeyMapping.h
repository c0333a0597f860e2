#pragma once

#include <Qt>

#include <cstdint>
#include <optional>

#include "platform/KeyEvent.h"

class QKeyEvent;

namespace tessarapane::ui {

// Qt's key events in the platform's terms: the virtual key code of the ANSI
// key position (the table KeyChord names) and the toolkit's modifier flags
// (Alt is Option, Super is Command).
namespace QtKeyMapping {

// Shifted symbols map to the key that types them ("!" is the 1 key); keypad
// keys (with the keypad modifier) to the keypad's own codes. None for keys
// without a position (modifiers alone, media keys).
std::optional<std::uint16_t> virtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);

std::uint64_t modifierFlags(Qt::KeyboardModifiers modifiers);

// A key-down for a key press with a position; none otherwise.
std::optional<KeyEvent> keyDown(const QKeyEvent& event);

}  // namespace QtKeyMapping

}  // namespace tessarapane::ui
