// Stored hot-key bindings come from the user defaults, which anything can
// write. Decoding must never crash, and what it accepts must survive a save.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "hotkeys/HotKeyBindingsCoding.h"
#include "text/Utf8Text.h"

using namespace tessarapane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  std::vector<std::string> ignored;
  const auto decoded = HotKeyBindingsCoding::decode(input, &ignored);
  // What was left out is told in lines fit for a log.
  for (const std::string& line : ignored) {
    if (line.size() > 400 || !Utf8Text::isValid(line)) __builtin_trap();
  }
  if (!decoded && ignored.empty()) __builtin_trap();

  // Loading follows decoding: data that is no object means no bindings.
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

  // Every bound chord shows as text, and no two actions share one.
  for (const auto& [action, chord] : *decoded) {
    if (chord.displayString().empty()) __builtin_trap();
    if (KeyChord::conflictingAction(chord, action, *decoded)) __builtin_trap();
  }
  return 0;
}
