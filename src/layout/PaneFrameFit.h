#pragma once

#include "geometry/Rect.h"

namespace tessarapane::PaneFrameFit {

// Allowed difference of minX and of minY, in points (inclusive).
inline constexpr double kOriginTolerance = 32.0;
// Allowed difference of width and of height, in points (inclusive).
inline constexpr double kSizeTolerance = 40.0;

// Whether a window's observed frame lies close enough to the frame the layout
// gave it. Sizes are compared as standardized (non-negative); anything not a
// number never matches.
bool matches(const Rect& actual, const Rect& expected);

}  // namespace tessarapane::PaneFrameFit
