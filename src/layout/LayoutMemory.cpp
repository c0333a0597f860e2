#include "layout/LayoutMemory.h"

namespace tessarapane {

std::optional<RememberedLayout> LayoutMemory::read() const {
  if (!defaults) return std::nullopt;
  const std::optional<std::string> raw = defaults->stringValue(kRememberedLayoutDefaultsKey);
  if (!raw) return std::nullopt;
  return fromRawValue<RememberedLayout>(*raw);
}

void LayoutMemory::write(const RememberedLayout& layout) const {
  if (defaults) defaults->setString(kRememberedLayoutDefaultsKey, rawValue(layout));
}

void LayoutMemory::remove() const {
  if (defaults) defaults->removeValue(kRememberedLayoutDefaultsKey);
}

}  // namespace tessarapane
