#include "hotkeys/HotKeyBindingsCoding.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include <nlohmann/json.hpp>

#include "text/Utf8Text.h"

namespace tessarapane::HotKeyBindingsCoding {

namespace {

using nlohmann::json;

constexpr const char* kKeyCode = "keyCode";
constexpr const char* kCarbonModifiers = "carbonModifiers";
// Stored member names may be of any length; log lines show their start.
constexpr std::size_t kShownCharacters = 60;

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

void tell(std::vector<std::string>* ignored, std::string line) {
  if (ignored) ignored->push_back(std::move(line));
}

std::optional<HotKeyBindings> decodeDocument(const json& document, std::vector<std::string>* ignored) {
  if (!document.is_object()) {
    tell(ignored, "the stored hot keys are not a JSON object");
    return std::nullopt;
  }
  HotKeyBindings read;
  for (const auto& [name, value] : document.items()) {
    const auto chord = chordValue(value);
    const auto action = fromRawValue<HotKeyAction>(name);
    if (!chord) {
      tell(ignored, "the hot key " + Utf8Text::quoted(name, kShownCharacters) +
                        " is not a key code and modifiers from 0 to 4294967295");
    } else if (!action) {
      // A member of a newer version, or a misspelt one.
      tell(ignored, "the hot key " + Utf8Text::quoted(name, kShownCharacters) + " names no known action");
    } else {
      read[*action] = *chord;
    }
  }
  // Two actions on one chord would both fire: the earlier action keeps it.
  HotKeyBindings bindings;
  for (const auto& [action, chord] : read) {
    if (const auto holder = KeyChord::conflictingAction(chord, action, bindings)) {
      tell(ignored, "the hot key \"" + std::string(rawValue(action)) + "\" uses the chord of \"" +
                        std::string(rawValue(*holder)) + "\"");
      continue;
    }
    bindings[action] = chord;
  }
  return bindings;
}

template <typename Input>
std::optional<HotKeyBindings> decodeInput(Input begin, Input end, std::vector<std::string>* ignored) {
  // Some writers end the data with NUL bytes.
  if (begin != end && *(end - 1) == 0) {
    while (begin != end && *(end - 1) == 0) --end;
    tell(ignored, "NUL bytes after the stored hot keys");
  }
  // The parser takes a NUL byte for the end of the input and would accept
  // "{}\0junk"; valid JSON text never holds a raw NUL.
  if (std::find(begin, end, 0) != end) {
    tell(ignored, "the stored hot keys hold a NUL byte");
    return std::nullopt;
  }
  // The stored data comes from outside this process: parse without
  // exceptions and treat anything unexpected (including running out of
  // memory) as unreadable data.
  try {
    const json document = json::parse(begin, end, nullptr, /*allow_exceptions=*/false);
    if (document.is_discarded()) {
      tell(ignored, "the stored hot keys are not valid JSON (cut short or damaged)");
      return std::nullopt;
    }
    return decodeDocument(document, ignored);
  } catch (...) {
    tell(ignored, "the stored hot keys cannot be read");
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

std::optional<HotKeyBindings> decode(std::span<const std::uint8_t> data, std::vector<std::string>* ignored) {
  return decodeInput(data.begin(), data.end(), ignored);
}

std::optional<HotKeyBindings> decode(std::string_view text, std::vector<std::string>* ignored) {
  return decodeInput(text.begin(), text.end(), ignored);
}

HotKeyBindings load(bool saved, const std::optional<std::vector<std::uint8_t>>& data,
                    std::vector<std::string>* ignored) {
  if (!saved) return KeyChord::defaultBindings();
  if (!data) return {};
  return decode(*data, ignored).value_or(HotKeyBindings{});
}

}  // namespace tessarapane::HotKeyBindingsCoding
