#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "geometry/Rect.h"
#include "platform/Accessibility.h"
#include "platform/ManagedWindow.h"
#include "platform/Platform.h"
#include "platform/WindowServer.h"
#include "platform/Workspace.h"
#include "windows/WindowStacking.h"

namespace tessarapane {

// Which windows of other applications on the current desktop may be managed,
// each tied to its accessibility element, and the window server's
// front-to-back order. The window list says which windows exist and in which
// order; the accessibility interface gives frames, titles and the handle to
// move a window. Neither names the other's windows, so every list entry is
// matched to an element by geometry and title. Keeps nothing between calls.
class WindowIndexer {
 public:
  // System components whose windows are never managed.
  const std::set<std::string> excludedBundleIdentifiers{
      "com.apple.dock",         "com.apple.systemuiserver", "com.apple.notificationcenterui",
      "com.apple.controlcenter", "com.apple.WindowManager", "com.apple.loginwindow",
      "com.apple.ScreenSaver.Engine",
  };
  const std::set<std::string> excludedOwnerNames{
      "Dock",   "Window Server", "SystemUIServer", "Control Center", "Notification Center",
      "Wallpaper", "屏幕保护程序",
  };

  explicit WindowIndexer(const Platform& platform);

  // The manageable windows, of one application or (none) of all, front-most
  // first.
  std::vector<ManagedWindow> currentSpaceWindows(std::optional<ProcessID> ownerPID = std::nullopt);

  // Every window-list entry that passes the record filter, front-most first.
  std::vector<WindowStacking::StackEntry> onScreenWindowStack();

 private:
  // One usable entry of the window list.
  struct CGWindowRecord {
    WindowID windowID = 0;
    ProcessID ownerPID = 0;
    std::string title;
    Rect frame;  // window-list bounds, accessibility space
  };

  // The eligible window elements of one application, for one call.
  // Frames and titles are read once per call: matching compares every entry
  // of an application with every candidate, and reading them again each
  // time made the call quadratic in accessibility round trips.
  struct AppCandidates {
    std::vector<AXElement> elements;
    std::vector<Rect> frames;  // as read when eligibility was judged
    std::vector<std::optional<std::optional<std::string>>> titles;  // outer: not read yet
    std::vector<bool> used;  // matched to an earlier record of the application
  };

  // Running applications looked up at most once per call.
  using AppCache = std::unordered_map<ProcessID, std::optional<RunningApplication>>;

  const std::optional<RunningApplication>& application(ProcessID pid, AppCache& cache);
  std::vector<CGWindowRecord> records(std::optional<ProcessID> ownerPID, AppCache& cache);
  std::optional<CGWindowRecord> makeRecord(const WindowInfo& info, ProcessID self, AppCache& cache);
  // On yes, `frame` holds the frame read while judging.
  bool isEligibleAXWindow(const AXElement& element, const std::vector<Rect>& displays, Rect& frame);
  const std::optional<std::string>& title(AppCandidates& candidates, std::size_t index);
  AppCandidates candidates(ProcessID pid, const std::vector<Rect>& displays);
  std::optional<std::size_t> bestMatch(const CGWindowRecord& record, AppCandidates& candidates);

  std::shared_ptr<Accessibility> accessibility_;
  std::shared_ptr<WindowServer> windowServer_;
  std::shared_ptr<Workspace> workspace_;
};

}  // namespace tessarapane
