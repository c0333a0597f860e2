#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/coordinator_grid/GridSimFixture.h"

namespace tessarapane {

// The coordinator on the simulated desktop, with the system's sleep, lock
// and session events and the pause log.
class PauseSim : public GridSim {
 protected:
  // The system sends an event; it arrives on the next turn of the main loop.
  void post(SystemEvent event) {
    desktop->postSystemEvent(event);
    scheduler->runPending();
  }

  // The pause log as read by a person: event lines whole, snapshot lines by
  // their label only (what precedes " screens=").
  std::vector<std::string> pauseLog() const {
    std::vector<std::string> result;
    for (const SimLog::Line& line : desktop->log()->lines()) {
      if (line.category != "Pause") continue;
      const std::size_t screens = line.text.find(" screens=");
      result.push_back(screens == std::string::npos ? line.text : line.text.substr(0, screens));
    }
    return result;
  }

  std::size_t logged(const std::string& text) const {
    const std::vector<std::string> lines = pauseLog();
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), text));
  }

  bool maintenanceRuns() const {
    return coordinator->reconciliationTimer.isActive() && coordinator->windowObservationService &&
           coordinator->windowObservationService->isRunning();
  }

  bool resumePending() const { return coordinator->resumeTask && coordinator->resumeTask->isPending(); }
};

}  // namespace tessarapane
