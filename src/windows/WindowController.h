#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

#include "geometry/Rect.h"
#include "platform/Accessibility.h"
#include "platform/ManagedWindow.h"
#include "platform/Platform.h"
#include "windows/WindowCloseOperation.h"
#include "windows/WindowCloseResult.h"

namespace tessarapane {

// Window numbers the window server shows on screen.
using WindowIDSet = std::unordered_set<WindowID>;

// Every action on other applications' windows: what is on screen, which
// managed window has the focus, moving, raising, whether a window closed,
// and asking one to close. Holds nothing but the platform services it
// calls, so copies are interchangeable. Moving, raising and focus detection
// leave windows in the platform's own full-screen mode alone.
class WindowController {
 public:
  // Waited before each close attempt (the first at once): an application
  // busy for a moment gets two more chances.
  static constexpr std::array<double, 3> closeRetryDelays = {0.0, 0.05, 0.15};
  // After a successful press, how long and how often to look for the window
  // to go.
  static constexpr double kCloseConfirmationPeriod = 0.6;
  static constexpr double kCloseConfirmationInterval = 0.06;

  explicit WindowController(const Platform& platform);

  // Every number in the window list, unfiltered; none when it cannot be read.
  std::optional<WindowIDSet> onScreenWindowIDs();

  // The window of `windows` that has the system focus, if any.
  std::optional<ManagedWindow> focusedManagedWindow(const std::vector<ManagedWindow>& windows);

  // Writes position then size (both, even when the first fails); true when
  // both were accepted. Never for a gone or full-screen window.
  bool setAccessibilityFrame(const Rect& frame, const ManagedWindow& window);

  // `frame` in toolkit space. A window already within 1 point of it on every
  // edge is left alone (true); otherwise as setAccessibilityFrame.
  bool setAppKitFrameIfNeeded(const Rect& frame, const ManagedWindow& window);

  // Brings the window to the front of its application and, where the
  // platform can, its application to the front. With a set given, a window
  // not in it is not raised.
  bool raise(const ManagedWindow& window, const std::optional<WindowIDSet>& onScreenWindowIDs);

  // Gone: its element no longer answers, or it left the on-screen set
  // without being minimised.
  bool isClosed(const ManagedWindow& window, const WindowIDSet& onScreenWindowIDs);

  // A sheet on the window, or a modal window or dialog elsewhere in its
  // application.
  bool hasBlockingModalUI(const ManagedWindow& window);

  // One press of the close button, classified.
  WindowCloseResult closeOnce(const ManagedWindow& window);

  // Asks the window to close: up to three attempts on closeRetryDelays while
  // the application cannot complete the request, then, after a successful
  // press, a confirmation period. `completion` receives the result on a later
  // turn of the main loop, never from inside this call. See
  // WindowCloseOperation for cancelling.
  WindowCloseOperation close(const ManagedWindow& window, std::function<void(WindowCloseResult)> completion);

 private:
  friend struct detail::CloseRun;

  bool isInNativeFullScreen(const AXElement& element);
  // After a successful press: the window is gone.
  bool confirmedClosed(const ManagedWindow& window);

  std::shared_ptr<Accessibility> accessibility_;
  std::shared_ptr<WindowServer> windowServer_;
  std::shared_ptr<Workspace> workspace_;
  std::shared_ptr<Screens> screens_;
  std::shared_ptr<Scheduler> scheduler_;
};

}  // namespace tessarapane
