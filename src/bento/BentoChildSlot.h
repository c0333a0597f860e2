#pragma once

#include <array>
#include <vector>

namespace tessarapane {

// One step down from a split.
enum class BentoChildSlot {
  first,
  second,
};

inline constexpr std::array<BentoChildSlot, 2> kAllBentoChildSlots = {
    BentoChildSlot::first,
    BentoChildSlot::second,
};

// Slots read from the root; empty names the root. A split (and so its
// divider) keeps its path across re-layouts as long as the shape holds.
using BentoPath = std::vector<BentoChildSlot>;

}  // namespace tessarapane
