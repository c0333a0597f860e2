// Text of other programs (window titles) goes through Utf8Text before
// anything else sees it: whatever the bytes, the result must be valid UTF-8
// for an independent reader (the JSON writer), leave valid text alone, and
// cut only on character boundaries.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "text/Utf8Text.h"

using namespace tessarapane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string text = Utf8Text::valid(input);
  if (!Utf8Text::isValid(text) || Utf8Text::valid(text) != text) __builtin_trap();
  if (Utf8Text::isValid(input) != (text == input)) __builtin_trap();
  try {
    (void)nlohmann::json(text).dump();
  } catch (...) {
    __builtin_trap();
  }
  // Cut by a reader: at most an incomplete last character goes.
  const std::string cut = Utf8Text::valid(input, true);
  if (text.compare(0, cut.size(), cut) != 0 || text.size() - cut.size() > 3) __builtin_trap();

  const std::size_t count = size == 0 ? 0 : data[0] % 64;
  const std::string_view start = Utf8Text::prefix(text, count);
  if (!Utf8Text::isValid(start) || text.compare(0, start.size(), start) != 0) __builtin_trap();
  const std::string quoted = Utf8Text::quoted(text, count);
  if (!Utf8Text::isValid(quoted)) __builtin_trap();
  return 0;
}
