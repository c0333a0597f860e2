#include "layout/RememberedLayout.h"

namespace tessarapane {

namespace {
constexpr std::string_view kGrid = "grid";
constexpr std::string_view kTabsPrefix = "tabs:";
}  // namespace

std::string rawValue(const RememberedLayout& layout) {
  if (const std::optional<LayoutKind> kind = layout.tabsKind()) {
    return std::string(kTabsPrefix) + std::string(rawValue(*kind));
  }
  return std::string(kGrid);
}

template <>
std::optional<RememberedLayout> fromRawValue<RememberedLayout>(std::string_view raw) {
  if (raw == kGrid) return RememberedLayout::grid();
  if (!raw.starts_with(kTabsPrefix)) return std::nullopt;
  const std::optional<LayoutKind> kind = fromRawValue<LayoutKind>(raw.substr(kTabsPrefix.size()));
  if (!kind) return std::nullopt;
  return RememberedLayout::tabs(*kind);
}

}  // namespace tessarapane
