#pragma once

#include <optional>

#include "bento/BentoSplitOrientation.h"
#include "geometry/Point.h"
#include "geometry/Rect.h"

namespace tessarapane {

// The two child rectangles of a split and the gap strip between them.
struct BentoSplitFrames {
  Rect first;
  Rect second;
  Rect divider;

  friend bool operator==(const BentoSplitFrames&, const BentoSplitFrames&) = default;
};

}  // namespace tessarapane

// The arithmetic behind bento layouts and divider drags, on plain rectangles.
namespace tessarapane::BentoEngine {

// Every stored ratio is read within these bounds when laid out.
inline constexpr double kMinimumLayoutRatio = 0.05;
inline constexpr double kMaximumLayoutRatio = 0.95;
// A drag leaves each side of a split at least this long, when it can.
inline constexpr double kMinimumDraggedSideLength = 120;
// Hit areas of short strips grow towards this length; others by 4 a side.
inline constexpr double kDividerHitTargetLength = 24;
inline constexpr double kMinimumDividerHitOutset = 4;

// The ratio a layout uses: within 0.05 ... 0.95; a NaN ratio lays out as an
// even split instead of spreading NaN through every frame below it.
double clampedLayoutRatio(double ratio);

// A gap that is negative, NaN or infinite counts as no gap, so tiles never
// overlap and sizes stay finite.
double usableGap(double gap);

// The rectangle with non-negative size (a negative size covers the same
// area); a NaN or infinite width or height counts as 0.
Rect normalizedFrame(const Rect& rect);

// Splits the rectangle: `first` gets the rounded-down share of the free
// length (size less one gap), `second` the exact remainder.
BentoSplitFrames splitFrames(const Rect& rect, BentoSplitOrientation orientation, double ratio, double gap);

// The strip grown across its thickness only; its length stays.
Rect hitFrame(const Rect& strip, BentoSplitOrientation orientation);

// The ratio a divider drag sets for a split laid out in `nodeFrame` with
// the pointer at `pointer` (toolkit space): each side keeps 120 points while
// the split is long enough, 0.5 otherwise. Nothing when the position is
// unusable (NaN), so the event is ignored.
std::optional<double> ratioFromPointer(BentoSplitOrientation orientation, const Rect& nodeFrame, Point pointer,
                                       double gap);

}  // namespace tessarapane::BentoEngine
