#include "text/TextFormat.h"

#include <cstddef>

namespace tessarapane::TextFormat {

namespace {

// The length of "@" or "ld" at `at`, 0 when neither is there.
std::size_t conversionLength(std::string_view text, std::size_t at) {
  if (text.substr(at, 1) == "@") return 1;
  if (text.substr(at, 2) == "ld") return 2;
  return 0;
}

}  // namespace

std::string format(std::string_view format, const std::vector<std::string>& arguments) {
  std::string result;
  std::size_t next = 0;
  std::size_t i = 0;
  while (i < format.size()) {
    if (format[i] != '%' || i + 1 >= format.size()) {
      result += format[i++];
      continue;
    }
    if (format[i + 1] == '%') {
      result += '%';
      i += 2;
      continue;
    }
    // Positional: digits, '$', conversion.
    std::size_t j = i + 1;
    std::size_t position = 0;
    while (j < format.size() && format[j] >= '0' && format[j] <= '9' && position < 100) {
      position = position * 10 + static_cast<std::size_t>(format[j] - '0');
      ++j;
    }
    if (j > i + 1 && j < format.size() && format[j] == '$' && position > 0) {
      const std::size_t length = conversionLength(format, j + 1);
      if (length != 0 && position <= arguments.size()) {
        result += arguments[position - 1];
        i = j + 1 + length;
        continue;
      }
    }
    const std::size_t length = conversionLength(format, i + 1);
    if (length != 0 && next < arguments.size()) {
      result += arguments[next++];
      i += 1 + length;
      continue;
    }
    result += format[i++];
  }
  return result;
}

}  // namespace tessarapane::TextFormat
