#include "bento/BentoSession.h"

#include <utility>

namespace tessarapane {

BentoSession::BentoSession(const Screen& screen, const std::vector<ManagedWindow>& windows,
                           BentoNode<ManagedWindow> tree, double gap)
    : screen(screen), displayID(screen.displayID), gap(gap), tree(std::move(tree)) {
  for (const ManagedWindow& window : windows) originalFrames[window.windowID] = window.frame;
}

std::vector<BentoTilePresentation> BentoSession::tilePresentations() const {
  return tessarapane::tilePresentations(tree, screen.visibleFrame, gap);
}

}  // namespace tessarapane
