#include "bento/WhitespaceTrim.h"

#include <cstddef>
#include <cstdint>

namespace tessarapane {

namespace {

bool isWhitespaceOrNewline(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

// Decodes the code point at `pos` and its length in bytes; an invalid or
// truncated sequence reads as one byte that is not white space.
std::size_t decodeAt(std::string_view text, std::size_t pos, char32_t& out) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(pos);
  std::size_t length = 0;
  char32_t value = 0;
  if (lead < 0x80) {
    out = lead;
    return 1;
  }
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    value = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    value = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    value = lead & 0x07;
  } else {
    out = 0xFFFD;
    return 1;
  }
  if (pos + length > text.size()) {
    out = 0xFFFD;
    return 1;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const std::uint8_t continuation = byte(pos + i);
    if ((continuation & 0xC0) != 0x80) {
      out = 0xFFFD;
      return 1;
    }
    value = (value << 6) | (continuation & 0x3F);
  }
  // Overlong forms (a space hidden in two bytes) are not text.
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kSmallest[length] || value > 0x10FFFF) {
    out = 0xFFFD;
    return 1;
  }
  out = value;
  return length;
}

}  // namespace

std::string trimmingWhitespaceAndNewlines(std::string_view text) {
  std::size_t keptBegin = text.size();
  std::size_t keptEnd = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    char32_t c = 0;
    const std::size_t length = decodeAt(text, pos, c);
    if (!isWhitespaceOrNewline(c)) {
      if (keptBegin == text.size()) keptBegin = pos;
      keptEnd = pos + length;
    }
    pos += length;
  }
  if (keptBegin >= keptEnd) return {};
  return std::string(text.substr(keptBegin, keptEnd - keptBegin));
}

}  // namespace tessarapane
