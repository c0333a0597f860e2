#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tessarapane::Utf8Text {

// Text that comes from other programs (window titles, class names) as valid
// UTF-8: each maximal ill-formed subsequence becomes one U+FFFD, so every
// later consumer (JSON, D-Bus, the toolkit) can take it as it is. With
// `cutByReader` the bytes were cut off at a length limit: an incomplete
// character at the very end is dropped instead of replaced.
std::string valid(std::string_view bytes, bool cutByReader = false);

bool isValid(std::string_view bytes);

// The first `maxCharacters` characters of `text` (all of it when shorter);
// valid text stays valid.
std::string_view prefix(std::string_view text, std::size_t maxCharacters);

// Untrusted text quoted for a message or log line: in double quotes, cut to
// `maxCharacters` with "…" marking the cut.
std::string quoted(std::string_view text, std::size_t maxCharacters);

}  // namespace tessarapane::Utf8Text
