#include "permission/PermissionGuideWindowController.h"

#include <utility>

#include "permission/Permissions.h"

namespace tessarapane {

std::shared_ptr<PermissionGuideWindowController> PermissionGuideWindowController::create(
    const Platform& platform, std::shared_ptr<PermissionGuideWindow> window) {
  std::shared_ptr<PermissionGuideWindowController> controller(
      new PermissionGuideWindowController(platform, std::move(window)));
  controller->model_ = PermissionGuideModel::create(platform.accessibility, platform.scheduler);

  std::weak_ptr<PermissionGuideWindowController> weak = controller;
  // Nothing to grant on this desktop: the button asks the platform again, so
  // a window manager started a moment ago shows at once.
  controller->model_->onAuthorize = [weak](AppPermission) {
    const auto self = weak.lock();
    if (!self) return;
    if (self->accessibility_) Permissions::prompt(*self->accessibility_);
    self->model_->refresh();
  };
  controller->model_->onPermissionGranted = [weak] {
    if (const auto self = weak.lock()) self->permissionGranted();
  };
  controller->model_->onGrantedChange = [weak] {
    if (const auto self = weak.lock()) self->refreshWindow();
  };
  return controller;
}

PermissionGuideWindowController::PermissionGuideWindowController(const Platform& platform,
                                                                 std::shared_ptr<PermissionGuideWindow> window)
    : accessibility_(platform.accessibility), log_(platform.log), workspace_(platform.workspace), window_(std::move(window)) {}

PermissionGuideContent PermissionGuideWindowController::content() const {
  return PermissionGuideContent::make(*model_);
}

void PermissionGuideWindowController::refreshWindow() {
  const PermissionGuideContent shown = content();
  // What the guide says is also what a user reading the log needs.
  const std::string status = shown.rows.empty() ? std::string() : shown.rows.front().status;
  if (log_ && status != loggedStatus_) log_->write(kLogSubsystem, "Permission", "guide: " + status);
  loggedStatus_ = status;
  if (window_) window_->refresh(shown);
}

void PermissionGuideWindowController::activateApplication() {
  if (workspace_) workspace_->activate(workspace_->currentProcessID());
}

void PermissionGuideWindowController::show() {
  model_->startPolling();
  refreshWindow();
  activateApplication();
  if (!window_) return;
  if (!window_->isVisible()) window_->center();
  window_->makeKeyAndOrderFront();
}

void PermissionGuideWindowController::close() {
  if (window_) window_->close();
}

void PermissionGuideWindowController::windowWillClose() { model_->stopPolling(); }

void PermissionGuideWindowController::authorize(AppPermission permission) { model_->authorize(permission); }

void PermissionGuideWindowController::permissionGranted() {
  if (!window_ || !window_->isVisible()) return;
  activateApplication();
  window_->makeKeyAndOrderFront();
}

}  // namespace tessarapane
