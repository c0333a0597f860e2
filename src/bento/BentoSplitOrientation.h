#pragma once

#include <array>

namespace tessarapane {

// How a split divides its rectangle.
enum class BentoSplitOrientation {
  vertical,    // side by side: first left, second right; the divider is a vertical strip
  horizontal,  // stacked: first on top, second below; the divider is a horizontal strip
};

inline constexpr std::array<BentoSplitOrientation, 2> kAllBentoSplitOrientations = {
    BentoSplitOrientation::vertical,
    BentoSplitOrientation::horizontal,
};

}  // namespace tessarapane
