#include "layout/WindowFocusMatch.h"

#include <cmath>

namespace tessarapane::WindowFocusMatch {

std::optional<std::size_t> bestIndex(const std::vector<double>& deltas) {
  std::optional<std::size_t> best;
  for (std::size_t i = 0; i < deltas.size(); ++i) {
    if (std::isnan(deltas[i])) continue;
    if (!best || deltas[i] < deltas[*best]) best = i;
  }
  if (!best || !(deltas[*best] <= kMaximumDelta)) return std::nullopt;

  const double smallest = deltas[*best];
  int close = 0;
  for (double delta : deltas) {
    if (delta <= kMaximumDelta && delta - smallest <= kAmbiguityMargin) ++close;
  }
  if (close != 1) return std::nullopt;
  return best;
}

}  // namespace tessarapane::WindowFocusMatch
