#include "permission/PermissionDragHelper.h"

#include <utility>
#include <vector>

#include "permission/PermissionHelperPlacement.h"
#include "permission/Permissions.h"
#include "tasks/PollLoop.h"

namespace tessarapane {

std::shared_ptr<PermissionDragHelper> PermissionDragHelper::create(const Platform& platform,
                                                                   std::shared_ptr<PermissionHelperPanel> panel,
                                                                   std::optional<std::string> ownBundleIdentifier) {
  return std::shared_ptr<PermissionDragHelper>(
      new PermissionDragHelper(platform, std::move(panel), std::move(ownBundleIdentifier)));
}

PermissionDragHelper::PermissionDragHelper(const Platform& platform, std::shared_ptr<PermissionHelperPanel> panel,
                                           std::optional<std::string> ownBundleIdentifier)
    : accessibility_(platform.accessibility),
      workspace_(platform.workspace),
      screens_(platform.screens),
      windowServer_(platform.windowServer),
      scheduler_(platform.scheduler),
      panel_(std::move(panel)),
      ownBundleIdentifier_(std::move(ownBundleIdentifier)) {
  if (panel_) panel_->setText(text(PermissionHelperHint::turnOnOrDrag));
}

void PermissionDragHelper::start(AppPermission permission) {
  if (accessibility_) Permissions::prompt(*accessibility_);
  if (workspace_) Permissions::openSettings(permission, *workspace_);
  startedAt_ = scheduler_ ? scheduler_->wallClock() : 0.0;
  Poll<PermissionDragHelper> poll;
  poll.interval = kFollowInterval;
  poll.sample = [](PermissionDragHelper& helper) {
    helper.follow();
    return PollAnswer::notYet;
  };
  followTimer_ = pollUntil(scheduler_, weak_from_this(), std::move(poll));
}

void PermissionDragHelper::stop() {
  followTimer_.cancel();
  hidePanel();
}

void PermissionDragHelper::hidePanel() {
  if (panel_) panel_->hide();
}

bool PermissionDragHelper::settingsOrSelfInFront() const {
  if (!workspace_) return false;
  const auto front = workspace_->frontmostApplication();
  const std::optional<std::string> frontIdentifier = front ? front->bundleIdentifier : std::nullopt;
  if (frontIdentifier == kSettingsBundleIdentifier) return true;
  if (front && front->processIdentifier == workspace_->currentProcessID()) return true;
  // As the platform compares optional identifiers: two missing ones are equal.
  return frontIdentifier == ownBundleIdentifier_;
}

void PermissionDragHelper::follow() {
  if (!panel_ || !workspace_ || !screens_ || !windowServer_) return;
  if (!settingsOrSelfInFront()) {
    hidePanel();
    return;
  }
  const std::optional<Rect> settingsFrame = settingsWindowFrame(*workspace_, *screens_, *windowServer_);
  if (!settingsFrame) {
    hidePanel();
    return;
  }
  const Point centre{settingsFrame->midX(), settingsFrame->midY()};
  std::optional<Screen> screen;
  for (const Screen& candidate : screens_->screens()) {
    if (candidate.frame.contains(centre)) {
      screen = candidate;
      break;
    }
  }
  if (!screen) screen = screens_->mainScreen();
  if (!screen) return;

  const double elapsed = (scheduler_ ? scheduler_->wallClock() : 0.0) - startedAt_;
  const PermissionHelperHint hint =
      elapsed >= kSecondHintDelay ? PermissionHelperHint::removeAndAuthorize : PermissionHelperHint::turnOnOrDrag;
  const std::string hintText = text(hint);
  if (panel_->text() != hintText) panel_->setText(hintText);

  const Rect frame = PermissionHelperPlacement::frame(Size{panel_->fittingWidth(), kPanelHeight}, *settingsFrame,
                                                      screen->visibleFrame);
  if (panel_->frame() != frame) panel_->setFrame(frame);
  if (!panel_->isVisible()) panel_->orderFrontRegardless();
}

std::optional<Rect> PermissionDragHelper::settingsWindowFrame(Workspace& workspace, Screens& screens,
                                                              WindowServer& windowServer) {
  std::optional<ProcessID> settingsPID;
  for (const RunningApplication& application : workspace.runningApplications()) {
    if (application.bundleIdentifier == kSettingsBundleIdentifier) {
      settingsPID = application.processIdentifier;
      break;
    }
  }
  if (!settingsPID) return std::nullopt;
  const std::vector<Screen> allScreens = screens.screens();
  if (allScreens.empty()) return std::nullopt;
  const auto windows = windowServer.onScreenWindowList();
  if (!windows) return std::nullopt;

  std::optional<Rect> largest;
  for (const WindowInfo& info : *windows) {
    if (info.ownerPID != settingsPID || info.layer != 0 || !info.bounds) continue;
    const Rect bounds = info.bounds->standardized();
    if (!(bounds.width() > kMinimumSettingsWindowSide) || !(bounds.height() > kMinimumSettingsWindowSide)) continue;
    if (!largest || bounds.area() > largest->area()) largest = bounds;
  }
  if (!largest) return std::nullopt;
  // From the window server's top-left origin to the toolkit's bottom-left one.
  const double y = allScreens.front().frame.maxY() - largest->maxY();
  return Rect(largest->minX(), y, largest->width(), largest->height());
}

}  // namespace tessarapane
