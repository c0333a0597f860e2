#include "bento/BentoGeometry.h"

#include <algorithm>
#include <cmath>

namespace tessarapane::BentoEngine {

namespace {

double finiteLengthOrZero(double length) { return std::isfinite(length) ? length : 0.0; }

// The first child's share, rounded down. A ratio computed as length / free
// (a drag to its limit) must give that length back, not one point less
// through the rounding error of the division.
double firstShare(double ratio, double free) { return std::floor(ratio * free + 1e-9); }

// Free length of a side once the gap is taken out; never negative or NaN.
double freeLength(double length, double gap) {
  const double free = length - gap;
  return free > 0.0 ? free : 0.0;
}

}  // namespace

double clampedLayoutRatio(double ratio) {
  if (std::isnan(ratio)) return 0.5;
  if (ratio <= kMinimumLayoutRatio) return kMinimumLayoutRatio;
  if (ratio > kMaximumLayoutRatio) return kMaximumLayoutRatio;
  return ratio;
}

double usableGap(double gap) { return std::isfinite(gap) && gap > 0.0 ? gap : 0.0; }

Rect normalizedFrame(const Rect& rect) {
  if (rect.isNull()) return rect;
  const Rect standard = rect.standardized();
  return Rect(standard.x(), standard.y(), finiteLengthOrZero(standard.width()),
              finiteLengthOrZero(standard.height()));
}

BentoSplitFrames splitFrames(const Rect& rect, BentoSplitOrientation orientation, double ratio, double gap) {
  const Rect frame = normalizedFrame(rect);
  const double g = usableGap(gap);
  const double c = clampedLayoutRatio(ratio);
  const double x = frame.x();
  const double y = frame.y();
  const double w = frame.width();
  const double h = frame.height();
  if (orientation == BentoSplitOrientation::vertical) {
    const double free = freeLength(w, g);
    const double a = firstShare(c, free);
    const double b = free - a;
    return {Rect(x, y, a, h), Rect(x + a + g, y, b, h), Rect(x + a, y, g, h)};
  }
  // y grows upwards, so the first child is the upper part.
  const double free = freeLength(h, g);
  const double a = firstShare(c, free);
  const double b = free - a;
  return {Rect(x, y + b + g, w, a), Rect(x, y, w, b), Rect(x, y + b, w, g)};
}

Rect hitFrame(const Rect& strip, BentoSplitOrientation orientation) {
  // Measured on the long side, so only strips shorter than 16 points get
  // more than the minimum outset.
  const double longSide = std::max(strip.width(), strip.height());
  const double centred = (kDividerHitTargetLength - longSide) / 2;
  const double outset = centred > kMinimumDividerHitOutset ? centred : kMinimumDividerHitOutset;
  if (orientation == BentoSplitOrientation::vertical) {
    return Rect(strip.x() - outset, strip.y(), strip.width() + 2 * outset, strip.height());
  }
  return Rect(strip.x(), strip.y() - outset, strip.width(), strip.height() + 2 * outset);
}

std::optional<double> ratioFromPointer(BentoSplitOrientation orientation, const Rect& nodeFrame, Point pointer,
                                       double gap) {
  const Rect frame = normalizedFrame(nodeFrame);
  const double g = usableGap(gap);
  const bool horizontal = orientation == BentoSplitOrientation::horizontal;
  const double length = horizontal ? frame.height() : frame.width();
  const double free = std::max(1.0, length - g);
  // Measured from the edge where the first child sits: the top for stacked
  // children, the left for side-by-side ones.
  const double offset = horizontal ? frame.maxY() - pointer.y : pointer.x - frame.minX();

  const double lower = kMinimumDraggedSideLength / free;
  const double upper = 1.0 - lower;
  if (upper <= lower) return 0.5;
  if (std::isnan(offset)) return std::nullopt;
  const double ratio = offset / free;
  if (ratio < lower) return lower;
  if (ratio > upper) return upper;
  return ratio;
}

}  // namespace tessarapane::BentoEngine
