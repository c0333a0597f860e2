#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "coordinator/WindowTasks.h"
#include "geometry/Rect.h"
#include "platform/ManagedWindow.h"
#include "platform/Scheduler.h"

namespace tessarapane {

struct SettledAdoptionHooks {
  std::function<bool(const ManagedWindow&)> isGone;
  std::function<std::optional<Rect>(const ManagedWindow&)> liveFrame;
  std::function<bool()> isPrimaryMouseButtonDown;
  // False once the layout has ended: the adoption stops.
  std::function<bool()> stillWanted;
  // The window has settled (or the timeout passed).
  std::function<void(const ManagedWindow&)> settled;
};

// A new window joins the layout only once it has stopped moving: its frame is
// sampled until it holds still for a few samples in a row (or a timeout
// passes), and is not settled while the user holds the primary mouse button.
// At most one adoption per window.
class SettledAdoption : public WindowTasks<SettledAdoptionHooks> {
 public:
  using Hooks = SettledAdoptionHooks;
  // Samples this far apart, quiet when the frame moved by at most
  // kMaximumDelta (sum over x, y, width, height); settled after
  // kQuietSamplesNeeded quiet samples in a row, or at the timeout.
  static constexpr double kSampleInterval = 0.05;
  static constexpr double kTimeout = 8.0;
  static constexpr double kMaximumDelta = 12.0;
  static constexpr int kQuietSamplesNeeded = 3;

  SettledAdoption(std::shared_ptr<Scheduler> scheduler, Hooks hooks)
      : WindowTasks(std::move(scheduler), std::move(hooks)) {}

  void schedule(const ManagedWindow& window);
};

}  // namespace tessarapane
