#pragma once

#include <vector>

#include "geometry/Rect.h"
#include "platform/ManagedWindow.h"

namespace tessarapane {

// Which of a layout's visible windows must be raised again because windows
// of the front window's application came up over them.
namespace WindowStacking {

// One window of the window server's on-screen stack.
struct StackEntry {
  WindowID windowID = 0;
  ProcessID ownerPID = 0;
  Rect frame;  // window-server bounds, accessibility space
};

// The visible windows of other applications than the kept-front window's, in
// the given order: raising the front application's own windows would only
// reorder that application.
std::vector<ManagedWindow> coveringWindows(const ManagedWindow& keepingFront,
                                           const std::vector<ManagedWindow>& visibleWindows);

// The covering windows over which, higher in `stack` (front-most first), some
// other window of the kept-front window's application covers at least 5 % of
// their area; in the order of `visibleWindows`. A window missing from the
// stack, front-most in it, or without positive area is never listed.
std::vector<ManagedWindow> windowsNeedingRestack(const ManagedWindow& keepingFront,
                                                 const std::vector<ManagedWindow>& visibleWindows,
                                                 const std::vector<StackEntry>& stack);

}  // namespace WindowStacking

}  // namespace tessarapane
