#pragma once

#include <string>
#include <string_view>

namespace tessarapane {

// The UTF-8 text without leading and trailing white space and line breaks
// (Unicode separators, tab, line feed to carriage return, next line), so an
// ideographic space or no-break space is trimmed too. Bytes that are not
// valid UTF-8 are kept.
std::string trimmingWhitespaceAndNewlines(std::string_view text);

}  // namespace tessarapane
