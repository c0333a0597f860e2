#pragma once

#include <array>

namespace tessarapane {

// How much of each visible tab is drawn, from most to least.
enum class PaneTabDisplayMode {
  full,           // icon, title, close button and move arrows
  iconWithMoves,  // icon and move arrows, no title
  iconOnly,       // icon only
};

inline constexpr std::array<PaneTabDisplayMode, 3> kAllPaneTabDisplayModes = {
    PaneTabDisplayMode::full,
    PaneTabDisplayMode::iconWithMoves,
    PaneTabDisplayMode::iconOnly,
};

}  // namespace tessarapane
