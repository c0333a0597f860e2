#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "geometry/Rect.h"
#include "platform/ManagedWindow.h"
#include "platform/Subscription.h"

namespace tessarapane {

// One display as the toolkit sees it, in toolkit space (origin bottom-left of
// the primary display, y up). `displayID` names the same physical display
// across reconfigurations; 0 means none.
struct Screen {
  DisplayID displayID = 0;
  Rect frame;
  Rect visibleFrame;  // the frame less menu bar and docks: where panes go
  // Pixels per point: the tab strips are sized in points, so they keep their
  // size to the eye on a scaled display.
  double scale = 1.0;
};

// The displays and their changes.
class Screens {
 public:
  virtual ~Screens() = default;

  // Every screen in the platform's order, the primary display first: the
  // primary's frame anchors the flip between the two coordinate spaces.
  virtual std::vector<Screen> screens() = 0;

  // The screen with the keyboard focus; none when there are no screens.
  virtual std::optional<Screen> mainScreen() = 0;

  // Called on the main thread after displays were added, removed, moved or
  // resized, until the handle is cancelled.
  virtual Subscription subscribeScreenParametersChanged(std::function<void()> handler) = 0;
};

}  // namespace tessarapane
