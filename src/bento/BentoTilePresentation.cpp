#include "bento/BentoTilePresentation.h"

#include <charconv>
#include <cmath>

#include "bento/BentoEngine.h"
#include "bento/WhitespaceTrim.h"

namespace tessarapane {

namespace {

// The whole-number part of a length. A length that is not finite reads as 0
// rather than failing.
std::string wholeNumberText(double length) {
  if (!std::isfinite(length)) return "0";
  // Adding +0 turns the -0 of a small negative fraction into 0.
  const double whole = std::trunc(length) + 0.0;
  char buffer[400];  // the largest double has 309 digits
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, whole, std::chars_format::fixed, 0);
  return std::string(buffer, result.ptr);
}

}  // namespace

std::string BentoTilePresentation::dimensionText() const {
  return wholeNumberText(frame.width()) + " \u00D7 " + wholeNumberText(frame.height());
}

std::string tileTitle(const ManagedWindow& window) {
  std::string title = trimmingWhitespaceAndNewlines(window.title);
  if (!title.empty()) return title;
  return trimmingWhitespaceAndNewlines(window.appName);
}

std::vector<BentoTilePresentation> tilePresentations(const BentoNode<ManagedWindow>& tree, const Rect& visibleFrame,
                                                     double gap) {
  const BentoTreeLayout<ManagedWindow> laidOut = BentoEngine::layout(tree, visibleFrame, gap);
  std::vector<BentoTilePresentation> tiles;
  tiles.reserve(laidOut.leaves.size());
  for (const auto& leaf : laidOut.leaves) {
    tiles.push_back(BentoTilePresentation{tileTitle(leaf.value), leaf.value.ownerPID, leaf.frame});
  }
  return tiles;
}

}  // namespace tessarapane
