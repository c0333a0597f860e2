#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "geometry/Rect.h"
#include "platform/AXError.h"
#include "platform/ManagedWindow.h"
#include "platform/Workspace.h"

namespace tessarapane {

// How a simulated application answers the accessibility interface.
struct SimAppSpec {
  ProcessID pid = 0;  // 0: the desktop picks the next free process id
  ActivationPolicy activationPolicy = ActivationPolicy::regular;
  std::optional<std::string> bundleIdentifier;
  std::optional<std::string> localizedName;
  // False: every attribute, write, action and notification registration on
  // the application's elements answers cannotComplete (a hung or
  // accessibility-blind process). Observer creation still succeeds, as it
  // does on the real platform.
  bool answersAccessibility = true;
  // True: creating an observer for the process fails outright.
  bool observerCreationFails = false;
};

// A window control ("AXCloseButton" ...). Absent controls read as noValue.
struct SimControl {
  bool present = true;
  bool enabled = true;
};

// What pressing the close button does.
enum class SimCloseResponse : std::uint8_t {
  closes,             // the window goes away at once
  closesAfterDelay,   // the window goes away `closeDelay` seconds later
  asksConfirmation,   // the press succeeds, the window stays (a prompt inside the window)
  refuses,            // the press answers `closeRefusalError`, the window stays
};

// What a sheet attached to the window does to a press of its close button.
enum class SimSheetBlocking : std::uint8_t {
  pressFails,            // the press answers `sheetPressError` and nothing happens
  disablesCloseButton,   // "AXEnabled" of the close button reads false while a sheet is attached
};

// A move the application makes on its own, e.g. restoring a saved position
// right after the window appeared.
struct SimSelfMove {
  double delay = 0.0;  // seconds after the window was created
  Rect frame;          // accessibility space
};

// Per-window quirks of real applications. The defaults describe a window that
// takes every frame exactly and closes when asked.
struct SimWindowBehavior {
  // Size snaps down to base + k * increment (a terminal's character cells).
  std::optional<Size> sizeIncrement;
  Size baseSize;  // the part of the size that is not cells (title bar, padding)
  std::optional<Size> minimumSize;
  std::optional<Size> maximumSize;

  // Position writes change nothing. With `moveRefusalError` success the write
  // still answers success; any other code is returned instead.
  bool refusesMove = false;
  AXError moveRefusalError = AXError::success;

  // The next N writes of "AXPosition" or "AXSize" answer success and change
  // nothing (an application still busy restoring its state).
  int ignoredFrameWrites = 0;

  // The next N attribute writes or actions on the window or its controls
  // answer cannotComplete (-25204) and change nothing.
  int cannotCompleteCount = 0;

  // Accepted frames take effect this many seconds after the write; reading
  // back before that shows the old frame.
  double frameApplyDelay = 0.0;

  std::vector<SimSelfMove> selfMoves;

  SimCloseResponse closeResponse = SimCloseResponse::closes;
  double closeDelay = 0.0;
  AXError closeRefusalError = AXError::failure;

  SimSheetBlocking sheetBlocking = SimSheetBlocking::pressFails;
  AXError sheetPressError = AXError::cannotComplete;
};

// The desktop of a window shown on every desktop.
inline constexpr int kSimAllDesktops = -1;

// A window to create. Frames are in accessibility space (top-left origin).
struct SimWindowSpec {
  WindowID number = 0;  // 0: the desktop picks the next free window number
  ProcessID owner = 0;
  std::string title;
  bool titleInWindowList = true;  // whether the window list shares the title
  Rect frame{100, 100, 800, 600};
  std::int32_t layer = 0;
  std::optional<double> alpha = 1.0;
  std::string role = "AXWindow";
  std::optional<std::string> subrole = std::string("AXStandardWindow");
  bool modal = false;
  bool minimized = false;
  bool fullScreen = false;
  bool positionSettable = true;
  bool sizeSettable = true;
  SimControl closeButton;
  SimControl minimizeButton;
  SimControl zoomButton;
  bool onScreen = true;
  // Set: the window stays out of the window list for this many seconds after
  // creation (the server lists it later than the creation notification).
  std::optional<double> listedAfter;
  int desktop = 0;  // which virtual desktop the window lives on; kSimAllDesktops: every one
  // Becomes the application's focused and main window on creation.
  bool focused = true;
  SimWindowBehavior behavior;
};

// A display, in toolkit space (bottom-left origin of the primary display).
struct SimDisplay {
  DisplayID displayID = 0;
  Rect frame;
  Rect visibleFrame;
};

// Answer of a workspace "bring process to front" request.
enum class SimFrontProcessMode : std::uint8_t { unavailable, fails, succeeds };

}  // namespace tessarapane
