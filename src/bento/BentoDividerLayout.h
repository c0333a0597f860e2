#pragma once

#include "bento/BentoChildSlot.h"
#include "bento/BentoSplitOrientation.h"
#include "geometry/Rect.h"

namespace tessarapane {

// The gap strip between the two children of one split, and the wider area
// that accepts the pointer for dragging it (toolkit space, y up).
struct BentoDividerLayout {
  BentoPath path;
  BentoSplitOrientation orientation = BentoSplitOrientation::vertical;
  Rect frame;
  Rect hitFrame;

  friend bool operator==(const BentoDividerLayout&, const BentoDividerLayout&) = default;
};

}  // namespace tessarapane
