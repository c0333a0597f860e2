#include "text/Utf8Text.h"

namespace tessarapane::Utf8Text {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length of the well-formed sequence at `at` (1 to 4), or 0 when it is
// ill-formed; `*maximalPart` then holds how many bytes form its maximal
// ill-formed prefix (at least 1), and `*incomplete` whether that prefix
// only ran into the end of the text.
std::size_t sequenceAt(std::string_view text, std::size_t at, std::size_t* maximalPart, bool* incomplete) {
  const auto lead = static_cast<unsigned char>(text[at]);
  *incomplete = false;
  *maximalPart = 1;
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  for (std::size_t i = 1; i < length; ++i) {
    if (at + i >= text.size()) {
      *incomplete = true;
      *maximalPart = i;
      return 0;
    }
    const auto c = static_cast<unsigned char>(text[at + i]);
    const bool fits = i == 1 ? (c >= low && c <= high) : isContinuation(c);
    if (!fits) {
      *maximalPart = i;
      return 0;
    }
  }
  return length;
}

}  // namespace

std::string valid(std::string_view bytes, bool cutByReader) {
  std::string text;
  text.reserve(bytes.size());
  std::size_t at = 0;
  while (at < bytes.size()) {
    std::size_t part = 0;
    bool incomplete = false;
    const std::size_t length = sequenceAt(bytes, at, &part, &incomplete);
    if (length > 0) {
      text.append(bytes.substr(at, length));
      at += length;
      continue;
    }
    if (incomplete && cutByReader) break;
    text.append(kReplacement);
    at += part;
  }
  return text;
}

bool isValid(std::string_view bytes) {
  std::size_t at = 0;
  while (at < bytes.size()) {
    std::size_t part = 0;
    bool incomplete = false;
    const std::size_t length = sequenceAt(bytes, at, &part, &incomplete);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

std::string_view prefix(std::string_view text, std::size_t maxCharacters) {
  std::size_t characters = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (isContinuation(static_cast<unsigned char>(text[at]))) continue;
    if (characters == maxCharacters) return text.substr(0, at);
    ++characters;
  }
  return text;
}

std::string quoted(std::string_view text, std::size_t maxCharacters) {
  const std::string_view shown = prefix(text, maxCharacters);
  return "\"" + std::string(shown) + (shown.size() < text.size() ? "…\"" : "\"");
}

}  // namespace tessarapane::Utf8Text
