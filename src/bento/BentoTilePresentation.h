#pragma once

#include <string>
#include <vector>

#include "bento/BentoNode.h"
#include "geometry/Rect.h"
#include "platform/ManagedWindow.h"

namespace tessarapane {

// What the drag preview draws for one tile.
struct BentoTilePresentation {
  std::string title;
  ProcessID ownerPID = 0;
  Rect frame;  // toolkit space, from the layout of the current tree

  // Width and height with their fractions dropped, as "1280 × 800".
  std::string dimensionText() const;

  friend bool operator==(const BentoTilePresentation&, const BentoTilePresentation&) = default;
};

// A tile's label: the window's title trimmed, else its application's name
// trimmed (which may be empty).
std::string tileTitle(const ManagedWindow& window);

// One tile per leaf, in leaf order, for the tree laid out in the visible
// frame with the gap. Built from the tree rather than the windows' real
// frames, so a drag previews what its end will apply.
std::vector<BentoTilePresentation> tilePresentations(const BentoNode<ManagedWindow>& tree, const Rect& visibleFrame,
                                                     double gap);

}  // namespace tessarapane
