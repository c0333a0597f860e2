// Feeds arbitrary bytes to the remembered-layout parser. Whatever parses must
// write back to exactly the bytes it came from (the parser accepts only the
// written forms) and parse again to the same value.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "layout/RememberedLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using tessarapane::RememberedLayout;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::optional<RememberedLayout> parsed = tessarapane::fromRawValue<RememberedLayout>(input);
  if (!parsed) return 0;
  const std::string raw = tessarapane::rawValue(*parsed);
  if (raw != input) __builtin_trap();
  if (tessarapane::fromRawValue<RememberedLayout>(raw) != parsed) __builtin_trap();
  if (parsed->isGrid() == parsed->tabsKind().has_value()) __builtin_trap();
  return 0;
}
