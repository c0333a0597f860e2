#pragma once

#include <array>
#include <functional>
#include <memory>
#include <utility>

#include "coordinator/WindowTasks.h"
#include "platform/ManagedWindow.h"
#include "platform/Scheduler.h"

namespace tessarapane {

struct FrameEnforcementHooks {
  // Writes the window's frame once; true when nothing more needs doing.
  std::function<bool(WindowID)> enforce;
  // False once the layout has ended: the enforcement stops.
  std::function<bool()> stillWanted;
};

// Writes a window's frame again, on a falling schedule, until it holds: an
// application restoring its own state may move a window back right after the
// layout placed it. At most one enforcement per window.
class FrameEnforcement : public WindowTasks<FrameEnforcementHooks> {
 public:
  using Hooks = FrameEnforcementHooks;
  // Each waited after the last write.
  static constexpr std::array<double, 7> kDelays = {0.0, 0.05, 0.12, 0.25, 0.45, 0.75, 1.2};

  FrameEnforcement(std::shared_ptr<Scheduler> scheduler, Hooks hooks)
      : WindowTasks(std::move(scheduler), std::move(hooks)) {}

  // Starts over for the window: the first write on the next turn.
  void schedule(WindowID windowID);
};

}  // namespace tessarapane
