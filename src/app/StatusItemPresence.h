#pragma once

#include <optional>

#include "geometry/Rect.h"

namespace tessarapane {

// Whether the platform has parked the status item where nobody can see it.
namespace StatusItemPresence {

// All values in toolkit space (points). A window at most 1 point wide or high,
// or lying wholly below the screen's bottom, is parked. Otherwise, with a
// screen and a menu bar, the item is parked when its window hugs the screen's
// right edge (within 1 point) and is lower than the menu bar less 1 point.
bool isParkedOffMenuBar(const Rect& windowFrame, const std::optional<Rect>& screenFrame, double menuBarHeight);

}  // namespace StatusItemPresence

}  // namespace tessarapane
