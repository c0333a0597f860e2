#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "geometry/Rect.h"
#include "permission/AppPermission.h"
#include "permission/PermissionHelperHint.h"
#include "permission/PermissionHelperPanel.h"
#include "platform/Platform.h"
#include "tasks/DelayedTask.h"

namespace tessarapane {

// Keeps the drag-helper pill at the bottom of the platform's settings window
// while the user grants a permission: every 0.2 s it follows that window,
// hides while another application is in front, and after ten seconds
// switches to the second hint. Made with create(): its timer holds it weakly.
// Main thread only.
class PermissionDragHelper : public std::enable_shared_from_this<PermissionDragHelper> {
 public:
  static constexpr double kFollowInterval = 0.2;
  static constexpr double kSecondHintDelay = 10.0;
  static constexpr double kPanelHeight = 36.0;
  static constexpr std::string_view kSettingsBundleIdentifier = "com.apple.systempreferences";
  // Settings windows are larger than this in both directions.
  static constexpr double kMinimumSettingsWindowSide = 200.0;

  // `ownBundleIdentifier` is this application's identifier (none when it has
  // none): the pill also stays while this application is in front.
  static std::shared_ptr<PermissionDragHelper> create(const Platform& platform,
                                                      std::shared_ptr<PermissionHelperPanel> panel,
                                                      std::optional<std::string> ownBundleIdentifier);

  PermissionDragHelper(const PermissionDragHelper&) = delete;
  PermissionDragHelper& operator=(const PermissionDragHelper&) = delete;

  // Prompts, opens the permission's settings and starts following.
  void start(AppPermission permission);
  // Stops following and hides the pill.
  void stop();
  // One step of following; run by the timer.
  void follow();
  bool isFollowing() const { return followTimer_.isPending(); }

  // The largest window of the settings application, in toolkit space.
  static std::optional<Rect> settingsWindowFrame(Workspace& workspace, Screens& screens, WindowServer& windowServer);

 private:
  PermissionDragHelper(const Platform& platform, std::shared_ptr<PermissionHelperPanel> panel,
                       std::optional<std::string> ownBundleIdentifier);
  bool settingsOrSelfInFront() const;
  void hidePanel();

  std::shared_ptr<Accessibility> accessibility_;
  std::shared_ptr<Workspace> workspace_;
  std::shared_ptr<Screens> screens_;
  std::shared_ptr<WindowServer> windowServer_;
  std::shared_ptr<Scheduler> scheduler_;
  std::shared_ptr<PermissionHelperPanel> panel_;
  std::optional<std::string> ownBundleIdentifier_;
  DelayedTask followTimer_;
  double startedAt_ = 0.0;  // wall clock
};

}  // namespace tessarapane
