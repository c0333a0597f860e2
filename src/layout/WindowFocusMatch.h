#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace tessarapane::WindowFocusMatch {

// A candidate further than this from the focused window's frame never matches.
inline constexpr double kMaximumDelta = 48.0;
// Candidates within this of the best one make the match ambiguous.
inline constexpr double kAmbiguityMargin = 1.0;

// The index of the candidate with the smallest delta (the lowest index among
// equal ones) when it is at most kMaximumDelta and no other candidate within
// that bound lies within kAmbiguityMargin of it. Deltas that are not numbers
// belong to no candidate that can match.
std::optional<std::size_t> bestIndex(const std::vector<double>& deltas);

}  // namespace tessarapane::WindowFocusMatch
