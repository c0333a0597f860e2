#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hotkeys/KeyChord.h"

namespace tessarapane {

// The stored form of the bindings: compact UTF-8 JSON text of one object whose
// member names are action raw values and whose values are chords
// {"keyCode": n, "carbonModifiers": m}. Only bound actions appear.
namespace HotKeyBindingsCoding {

std::vector<std::uint8_t> encode(const HotKeyBindings& bindings);

// Reads stored data back. Never throws. Nothing comes back when the data is
// not one JSON object (trailing NUL bytes aside). Otherwise one bad member
// costs only itself: a member whose value is not a chord object with both
// keys holding integers from 0 to 2^32 - 1, a member naming no known action,
// and a chord an earlier action (in the order of kAllHotKeyActions) already
// holds are left out, each with a line in `ignored` when given. Members
// inside a chord beyond the two keys are ignored silently.
std::optional<HotKeyBindings> decode(std::span<const std::uint8_t> data, std::vector<std::string>* ignored = nullptr);
std::optional<HotKeyBindings> decode(std::string_view text, std::vector<std::string>* ignored = nullptr);

// The bindings to start with: the defaults while the user has never saved;
// afterwards what could be read of the stored data, with no stored or
// unreadable data meaning no bindings at all (defaults are never merged back
// in). What was left out is told in `ignored`.
HotKeyBindings load(bool saved, const std::optional<std::vector<std::uint8_t>>& data,
                    std::vector<std::string>* ignored = nullptr);

}  // namespace HotKeyBindingsCoding

}  // namespace tessarapane
