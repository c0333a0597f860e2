#pragma once

#include <vector>

#include "geometry/Rect.h"
#include "layout/LayoutKind.h"
#include "layout/PaneGeometry.h"
#include "platform/ManagedWindow.h"

namespace tessarapane {

// One ordered window list per pane, in pane-index order.
using WindowsByPane = std::vector<std::vector<ManagedWindow>>;

namespace LayoutEngine {

// Height of the tab strip at the top of every pane of a tab layout.
inline constexpr double kTabBarHeight = 32.0;

// The pane rectangles of `kind` over `rect`, in pane-index order, without gaps:
// the left column and bottom row take the floored share, the right column and
// top row the remainder, so the panes cover `rect` exactly. A rectangle with a
// negative width or height is first standardized (it describes the same area).
std::vector<Rect> paneFrames(LayoutKind kind, const Rect& rect);

// One geometry per pane of paneFrames(kind, rect): a strip of `tabBarHeight`
// (negative or NaN counts as 0, at most the pane's height) along the pane's top
// edge and the window area below it.
std::vector<PaneGeometry> geometries(LayoutKind kind, const Rect& rect, double tabBarHeight);

// Distribution in order, when the user starts a layout: pane i takes the next
// contiguous run of count / paneCount windows, one more for the first
// count % paneCount panes. Every pane gets a list, possibly empty; a pane count
// below 1 gives no lists.
WindowsByPane assign(const std::vector<ManagedWindow>& windows, int paneCount);

// Distribution by position, when the last layout is restored: each window goes
// to the pane containing the centre of its frame, else to the pane it uniquely
// overlaps most, else to pane 0. One list per pane rectangle; when the numbers
// of windows and frames differ, all lists are empty. Frames and pane rectangles
// must be in one coordinate space.
WindowsByPane assignByPlacement(const std::vector<ManagedWindow>& windows, const std::vector<Rect>& windowFrames,
                                const std::vector<Rect>& paneFrames);

}  // namespace LayoutEngine
}  // namespace tessarapane
