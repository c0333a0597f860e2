#include "permission/PermissionGuideModel.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "tasks/PollLoop.h"

namespace tessarapane {

std::shared_ptr<PermissionGuideModel> PermissionGuideModel::create(std::shared_ptr<Accessibility> accessibility,
                                                                   std::shared_ptr<Scheduler> scheduler) {
  return std::shared_ptr<PermissionGuideModel>(new PermissionGuideModel(std::move(accessibility), std::move(scheduler)));
}

PermissionGuideModel::PermissionGuideModel(std::shared_ptr<Accessibility> accessibility,
                                           std::shared_ptr<Scheduler> scheduler)
    : accessibility_(std::move(accessibility)), scheduler_(std::move(scheduler)) {}

bool PermissionGuideModel::isReady() const {
  return std::all_of(kAllAppPermissions.begin(), kAllAppPermissions.end(),
                     [this](AppPermission permission) { return granted_.count(permission) != 0; });
}

void PermissionGuideModel::refresh() {
  WindowManagerReport report = accessibility_ ? accessibility_->windowManagerReport() : WindowManagerReport{};
  std::set<AppPermission> now;
  if (report.usable()) now.insert(AppPermission::accessibility);
  std::set<AppPermission> added;
  std::set_difference(now.begin(), now.end(), granted_.begin(), granted_.end(), std::inserter(added, added.end()));
  const bool changed = now != granted_ || report != report_;
  granted_ = std::move(now);
  report_ = std::move(report);
  if (changed && onGrantedChange) {
    auto call = onGrantedChange;
    call();
  }
  if (!added.empty() && onPermissionGranted) {
    auto call = onPermissionGranted;
    call();
  }
}

void PermissionGuideModel::startPolling() {
  refresh();
  Poll<PermissionGuideModel> poll;
  poll.interval = kPollInterval;
  poll.sample = [](PermissionGuideModel& model) {
    model.refresh();
    return PollAnswer::notYet;
  };
  pollTask_ = pollUntil(scheduler_, weak_from_this(), std::move(poll));
}

void PermissionGuideModel::stopPolling() { pollTask_.cancel(); }

void PermissionGuideModel::authorize(AppPermission permission) {
  if (onAuthorize) {
    auto call = onAuthorize;
    call(permission);
  }
}

}  // namespace tessarapane
