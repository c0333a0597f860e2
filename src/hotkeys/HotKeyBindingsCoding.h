#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "hotkeys/KeyChord.h"

namespace tessarapane {

// The stored form of the bindings: compact UTF-8 JSON text of one object whose
// member names are action raw values and whose values are chords
// {"keyCode": n, "carbonModifiers": m}. Only bound actions appear.
namespace HotKeyBindingsCoding {

std::vector<std::uint8_t> encode(const HotKeyBindings& bindings);

// Reads stored data back. Never throws. The whole data is refused (nothing
// comes back) when it is not one JSON object whose every member is a chord
// object with both keys holding integers from 0 to 2^32 - 1; members inside a
// chord beyond the two keys are ignored. Members naming no known action are
// then skipped.
std::optional<HotKeyBindings> decode(std::span<const std::uint8_t> data);
std::optional<HotKeyBindings> decode(std::string_view text);

// The bindings to start with: the defaults while the user has never saved;
// afterwards what was stored, with no stored or unreadable data meaning no
// bindings at all (defaults are never merged back in).
HotKeyBindings load(bool saved, const std::optional<std::vector<std::uint8_t>>& data);

}  // namespace HotKeyBindingsCoding

}  // namespace tessarapane
