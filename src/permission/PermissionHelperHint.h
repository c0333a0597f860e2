#pragma once

#include <array>
#include <string>

namespace tessarapane {

// Which hint the drag-helper pill shows.
enum class PermissionHelperHint {
  turnOnOrDrag,       // 0: at first
  removeAndAuthorize, // 1: after ten seconds
};

inline constexpr std::array<PermissionHelperHint, 2> kAllPermissionHelperHints = {
    PermissionHelperHint::turnOnOrDrag,
    PermissionHelperHint::removeAndAuthorize,
};

// The localised text of the hint.
std::string text(PermissionHelperHint hint);

}  // namespace tessarapane
