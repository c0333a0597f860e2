#include "permission/PermissionGuideWindowController.h"

#include <utility>

namespace tessarapane {

std::shared_ptr<PermissionGuideWindowController> PermissionGuideWindowController::create(
    const Platform& platform, std::shared_ptr<PermissionGuideWindow> window,
    std::shared_ptr<PermissionHelperPanel> helperPanel, Options options) {
  std::shared_ptr<PermissionGuideWindowController> controller(
      new PermissionGuideWindowController(platform, std::move(window), options));
  controller->model_ = PermissionGuideModel::create(platform.accessibility, platform.scheduler);
  controller->dragHelper_ =
      PermissionDragHelper::create(platform, std::move(helperPanel), std::move(options.ownBundleIdentifier));

  std::weak_ptr<PermissionGuideWindowController> weak = controller;
  controller->model_->onAuthorize = [weak](AppPermission permission) {
    if (const auto self = weak.lock()) self->dragHelper_->start(permission);
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
                                                                 std::shared_ptr<PermissionGuideWindow> window,
                                                                 Options options)
    : workspace_(platform.workspace), window_(std::move(window)), options_(std::move(options)) {}

PermissionGuideContent PermissionGuideWindowController::content() const {
  return PermissionGuideContent::make(*model_, options_.osMajorVersion);
}

void PermissionGuideWindowController::refreshWindow() {
  if (window_) window_->refresh(content());
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

void PermissionGuideWindowController::windowWillClose() {
  model_->stopPolling();
  dragHelper_->stop();
}

void PermissionGuideWindowController::authorize(AppPermission permission) { model_->authorize(permission); }

void PermissionGuideWindowController::permissionGranted() {
  dragHelper_->stop();
  if (!window_ || !window_->isVisible()) return;
  activateApplication();
  window_->makeKeyAndOrderFront();
}

}  // namespace tessarapane
