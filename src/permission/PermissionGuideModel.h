#pragma once

#include <functional>
#include <memory>
#include <set>

#include "permission/AppPermission.h"
#include "platform/Accessibility.h"
#include "platform/Scheduler.h"
#include "tasks/DelayedTask.h"

namespace tessarapane {

// What the permission guide shows: the permissions held right now and the
// window manager's report behind them, refreshed twice a second while the
// guide is open. Made with create(): the polling
// task holds the model weakly. Main thread only.
class PermissionGuideModel : public std::enable_shared_from_this<PermissionGuideModel> {
 public:
  static constexpr double kPollInterval = 0.5;

  static std::shared_ptr<PermissionGuideModel> create(std::shared_ptr<Accessibility> accessibility,
                                                      std::shared_ptr<Scheduler> scheduler);

  PermissionGuideModel(const PermissionGuideModel&) = delete;
  PermissionGuideModel& operator=(const PermissionGuideModel&) = delete;

  const std::set<AppPermission>& granted() const { return granted_; }
  const WindowManagerReport& report() const { return report_; }
  // Every permission is held.
  bool isReady() const;

  // Called when a permission is newly held.
  std::function<void()> onPermissionGranted;
  // The row's authorise button.
  std::function<void(AppPermission)> onAuthorize;
  // Called whenever `granted` or the report changed (the view redraws).
  std::function<void()> onGrantedChange;

  // Reads the permission state once.
  void refresh();
  // Refreshes at once, then every 0.5 s until stopPolling (a running poll is
  // replaced).
  void startPolling();
  void stopPolling();
  bool isPolling() const { return pollTask_.isPending(); }

  // The authorise button of a row.
  void authorize(AppPermission permission);

 private:
  PermissionGuideModel(std::shared_ptr<Accessibility> accessibility, std::shared_ptr<Scheduler> scheduler);

  std::shared_ptr<Accessibility> accessibility_;
  std::shared_ptr<Scheduler> scheduler_;
  std::set<AppPermission> granted_;
  WindowManagerReport report_;
  DelayedTask pollTask_;
};

}  // namespace tessarapane
