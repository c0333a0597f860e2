#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "geometry/Rect.h"
#include "platform/ManagedWindow.h"
#include "platform/Screens.h"

namespace tessarapane {

// Naming displays so a layout finds its display again after a
// reconfiguration, choosing the display a set of windows lies on, and
// flipping rectangles between toolkit space (y up) and accessibility space
// (y down). The screens are given in the platform's order, primary first.
namespace ScreenIdentity {

// The screen's display identifier; 0 when it has none.
DisplayID displayID(const Screen& screen);

// The first screen whose identifier equals `id`. None for 0, even when a
// screen reports 0, and none when nothing matches.
std::optional<Screen> screenForDisplayID(DisplayID id, const std::vector<Screen>& screens);

// The same over the live screens; 0 gives none without asking for them.
std::optional<Screen> screenForDisplayID(DisplayID id, Screens& screens);

// The screen holding the largest total window area (both lists in one
// space); equal totals keep the earlier screen. None when either list is
// empty or no window touches any screen.
std::optional<std::size_t> preferredScreenIndex(const std::vector<Rect>& screenFrames,
                                                const std::vector<Rect>& windowFrames);

// The same rectangle in the other space, about the primary display's frame
// (the empty rectangle at the origin when there are no screens). Its own
// inverse.
Rect convertFrame(const Rect& rect, const std::vector<Screen>& screens);

// The same about the live primary screen.
Rect convertFrame(const Rect& rect, Screens& screens);

}  // namespace ScreenIdentity

}  // namespace tessarapane
