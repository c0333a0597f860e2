// Stored hot-key bindings come from the user defaults, which anything can
// write. Decoding must never crash, and what it accepts must survive a save.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "hotkeys/HotKeyBindingsCoding.h"

using namespace tessarapane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  const auto decoded = HotKeyBindingsCoding::decode(input);

  // Loading follows decoding: unreadable data means no bindings at all.
  const HotKeyBindings loaded = HotKeyBindingsCoding::load(true, std::vector<std::uint8_t>(input.begin(), input.end()));
  if (loaded != decoded.value_or(HotKeyBindings{})) __builtin_trap();
  if (HotKeyBindingsCoding::load(false, std::vector<std::uint8_t>(input.begin(), input.end())) !=
      KeyChord::defaultBindings()) {
    __builtin_trap();
  }
  if (!decoded) return 0;

  // Whatever was accepted is written back and read back unchanged, and the
  // written form is stable.
  const auto encoded = HotKeyBindingsCoding::encode(*decoded);
  const auto again = HotKeyBindingsCoding::decode(encoded);
  if (!again || *again != *decoded) __builtin_trap();
  if (HotKeyBindingsCoding::encode(*again) != encoded) __builtin_trap();

  // Every bound chord shows as text, and the conflict search finds a holder
  // for each chord unless the holder is excluded.
  for (const auto& [action, chord] : *decoded) {
    if (chord.displayString().empty()) __builtin_trap();
    const auto holder = KeyChord::conflictingAction(chord, action, *decoded);
    if (holder && (*holder == action || decoded->at(*holder) != chord)) __builtin_trap();
  }
  return 0;
}
