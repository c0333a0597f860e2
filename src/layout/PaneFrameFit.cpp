#include "layout/PaneFrameFit.h"

#include <cmath>

namespace tessarapane::PaneFrameFit {

bool matches(const Rect& actual, const Rect& expected) {
  const Rect a = actual.standardized();
  const Rect e = expected.standardized();
  // Written as "difference <= bound" so that a NaN anywhere makes it false.
  return std::abs(a.minX() - e.minX()) <= kOriginTolerance && std::abs(a.minY() - e.minY()) <= kOriginTolerance &&
         std::abs(a.width() - e.width()) <= kSizeTolerance && std::abs(a.height() - e.height()) <= kSizeTolerance;
}

}  // namespace tessarapane::PaneFrameFit
