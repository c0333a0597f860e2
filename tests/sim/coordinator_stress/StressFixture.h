#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "layout/LayoutKind.h"
#include "layout/LayoutSession.h"
#include "sim/coordinator/CoordinatorSimFixture.h"
#include "sim/coordinator/RecordingChrome.h"

namespace tessarapane {

// The coordinator on the simulated desktop driven by a seeded stream of
// random user, application and system events. Every operation is one step;
// after each step the invariants are checked (StressInvariants.cpp) against
// the live state and against what held after the step before.
class CoordinatorStress : public CoordinatorSim, public ::testing::WithParamInterface<std::uint32_t> {
 protected:
  struct WeightedOperation {
    int weight;
    std::string (CoordinatorStress::*operation)();
  };

  // One random operation; returns what it did, for the trace.
  std::string randomStep();

  // One operation of the table, chosen by weight.
  template <std::size_t N>
  std::string pick(const std::array<WeightedOperation, N>& table);

  // Everything that must hold between any two steps, one line per violation
  // (including those an operation found itself, e.g. on leaving a layout).
  std::vector<std::string> violations();
  // Takes the state the next step's checks compare with.
  void rememberState();
  // The layout runs unpaused with its sweep timer, and no divider is held.
  bool isMaintained() const;

  // --- Operations (StressOperations.cpp, StressUserOperations.cpp) ---------

  std::string startTabLayout();
  std::string startGrid();
  std::string leaveLayout(bool keepingRememberedLayout);
  std::string restoreRemembered();
  std::string openWindow();
  std::string closeWindow();
  std::string moveWindow();
  std::string toggleMinimised();
  std::string toggleFullScreen();
  std::string quitApplication();
  std::string focusWindow();
  std::string retitleWindow();
  std::string attachOrCloseSheet();
  std::string hangOrWakeApplication();
  std::string clickTab();
  std::string clickClose();
  std::string clickMove();
  std::string hotKeyMove();
  std::string dragDivider();
  std::string changeDisplays();
  std::string systemEvent();
  std::string toggleMouseButton();
  std::string windowListGlitch();
  std::string advanceTime();

  // --- Helpers ----------------------------------------------------------------

  int below(int bound) { return bound <= 0 ? 0 : static_cast<int>(rng() % static_cast<std::uint32_t>(bound)); }
  double between(double low, double high) {
    return low + (high - low) * (static_cast<double>(rng()) / static_cast<double>(std::mt19937::max()));
  }
  bool chance(double probability) { return between(0.0, 1.0) < probability; }

  // A live top-level window the run opened, or none.
  std::optional<WindowID> someWindow();
  // A random frame on one of the displays, accessibility space.
  Rect someFrame();
  // The window takes any frame at once and exactly, and has no move of its
  // own to come: where it is can be predicted.
  bool isSteady(WindowID window) const;
  // An ordinary, visible, answering window that the window list names
  // unambiguously (a unique title among its application's windows and no
  // sheets that could be matched to it).
  bool isPlainlyAdoptable(WindowID window) const;
  // The tab strip of a pane of the running tab layout, when it has one.
  std::shared_ptr<RecordingTabBarPanel> someTabBar(int& pane);
  std::vector<WindowID> managedIDs() const;
  const std::unordered_map<WindowID, Rect>* originalFrames() const;

  std::mt19937 rng;
  std::vector<ProcessID> apps;
  std::vector<WindowID> windows;  // top-level windows opened by the run (pruned when gone)
  std::vector<WindowID> sheets;
  std::map<WindowID, double> selfMovesUntil;
  int nextName = 0;
  // Steps left in a stretch of plain work (see randomStep).
  int quietSteps = 0;
  bool mouseDown = false;

  // A divider drag in progress, through the handles of this controller.
  std::shared_ptr<RecordingDividerController> dragController;
  BentoPath dragPath;
  int dragSteps = 0;

  // Windows whose frame this step's operation changed by the user's hand.
  std::set<WindowID> touched;
  // Found by an operation itself.
  std::vector<std::string> stepViolations;

  // Set by operations after which the sweep timer may start afresh (layouts
  // started or left, system events).
  bool disrupted = false;
  // Since when the layout has been maintained without a break: running,
  // unpaused, its sweep timer and observation on, no divider held.
  double maintainedSince = 0.0;
  // Every window the run opened, and since when each has been gone or
  // unanswering, or in full screen (as seen at the end of a step).
  std::vector<WindowID> everOpened;
  std::map<WindowID, double> unavailableSince;
  std::map<WindowID, double> fullScreenSince;
  // Since when each window could join a layout, as far as can be told
  // without the indexer's own guesswork (see isPlainlyAdoptable).
  std::map<WindowID, double> adoptableSince;
  double lastListGlitch = -1e9;

  // The running tab layout and the kind it started as.
  std::weak_ptr<LayoutSession> trackedSession;
  LayoutKind startedKind = LayoutKind::fullScreen;

  // After the previous step.
  std::map<WindowID, Rect> originalsBefore;  // managed windows' recorded original frames
  std::map<WindowID, Rect> framesBefore;     // every live window's frame
  std::set<WindowID> steadyBefore;
};

}  // namespace tessarapane
