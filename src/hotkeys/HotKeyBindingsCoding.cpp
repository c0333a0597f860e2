#include "hotkeys/HotKeyBindingsCoding.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include <nlohmann/json.hpp>

namespace tessarapane::HotKeyBindingsCoding {

namespace {

using nlohmann::json;

constexpr const char* kKeyCode = "keyCode";
constexpr const char* kCarbonModifiers = "carbonModifiers";

// An unsigned 32-bit field: a JSON integer in range, or a number written with
// a fraction or exponent that is exactly such an integer (123.0, 1.23e2).
std::optional<std::uint32_t> uint32Value(const json& value) {
  constexpr auto kMax = std::numeric_limits<std::uint32_t>::max();
  if (value.is_number_unsigned()) {
    const auto n = value.get<std::uint64_t>();
    if (n > kMax) return std::nullopt;
    return static_cast<std::uint32_t>(n);
  }
  if (value.is_number_integer()) {
    const auto n = value.get<std::int64_t>();
    if (n < 0 || static_cast<std::uint64_t>(n) > kMax) return std::nullopt;
    return static_cast<std::uint32_t>(n);
  }
  if (value.is_number_float()) {
    const double d = value.get<double>();
    if (!std::isfinite(d) || d < 0.0 || d > static_cast<double>(kMax) || std::trunc(d) != d) return std::nullopt;
    return static_cast<std::uint32_t>(d);
  }
  return std::nullopt;
}

std::optional<KeyChord> chordValue(const json& value) {
  if (!value.is_object()) return std::nullopt;
  const auto keyCode = value.find(kKeyCode);
  const auto modifiers = value.find(kCarbonModifiers);
  if (keyCode == value.end() || modifiers == value.end()) return std::nullopt;
  const auto code = uint32Value(*keyCode);
  const auto bits = uint32Value(*modifiers);
  if (!code || !bits) return std::nullopt;
  return KeyChord{*code, *bits};
}

std::optional<HotKeyBindings> decodeDocument(const json& document) {
  if (!document.is_object()) return std::nullopt;
  HotKeyBindings bindings;
  for (const auto& [name, value] : document.items()) {
    const auto chord = chordValue(value);
    if (!chord) return std::nullopt;
    // A member of a newer version is skipped, not an error.
    if (const auto action = fromRawValue<HotKeyAction>(name)) bindings[*action] = *chord;
  }
  return bindings;
}

template <typename Input>
std::optional<HotKeyBindings> decodeInput(Input begin, Input end) {
  // The parser takes a NUL byte for the end of the input and would accept
  // "{}\0junk"; valid JSON text never holds a raw NUL.
  if (std::find(begin, end, 0) != end) return std::nullopt;
  // The stored data comes from outside this process: parse without
  // exceptions and treat anything unexpected (including running out of
  // memory) as unreadable data.
  try {
    const json document = json::parse(begin, end, nullptr, /*allow_exceptions=*/false);
    if (document.is_discarded()) return std::nullopt;
    return decodeDocument(document);
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace

std::vector<std::uint8_t> encode(const HotKeyBindings& bindings) {
  json object = json::object();
  for (const auto& [action, chord] : bindings) {
    object[std::string(rawValue(action))] = {{kKeyCode, chord.keyCode}, {kCarbonModifiers, chord.carbonModifiers}};
  }
  const std::string text = object.dump();
  return {text.begin(), text.end()};
}

std::optional<HotKeyBindings> decode(std::span<const std::uint8_t> data) {
  return decodeInput(data.begin(), data.end());
}

std::optional<HotKeyBindings> decode(std::string_view text) { return decodeInput(text.begin(), text.end()); }

HotKeyBindings load(bool saved, const std::optional<std::vector<std::uint8_t>>& data) {
  if (!saved) return KeyChord::defaultBindings();
  if (!data) return {};
  return decode(*data).value_or(HotKeyBindings{});
}

}  // namespace tessarapane::HotKeyBindingsCoding
