// Keeping the running layout consistent with the live windows.
#include "coordinator/LayoutCoordinator.h"

namespace tessarapane {

WindowObservationService& LayoutCoordinator::observationService() {
  if (!windowObservationService) {
    windowObservationService = WindowObservationService::create(platform, [](ProcessID) {}, [] {}, [] {}, [] {});
  }
  return *windowObservationService;
}
void LayoutCoordinator::startObservingWindows() {}
void LayoutCoordinator::reconcileAllWindows() {}
void LayoutCoordinator::scheduleWindowReconciliation(ProcessID) {}
int LayoutCoordinator::reconcileNewWindows(ProcessID) { return 0; }
void LayoutCoordinator::scheduleSettledAdoption(const ManagedWindow&) {}
void LayoutCoordinator::addNewWindow(const ManagedWindow&, const std::shared_ptr<LayoutSession>&) {}
std::vector<ManagedWindow> LayoutCoordinator::unmanagedWindows(const std::vector<ManagedWindow>&,
                                                               const std::vector<ManagedWindow>&) {
  return {};
}
void LayoutCoordinator::markWindowsClosedOutsideTessarapane(const std::vector<ManagedWindow>&) {}
void LayoutCoordinator::removeClosedWindows(const std::shared_ptr<LayoutSession>&) {}
void LayoutCoordinator::releaseNativeFullScreenWindows(const std::shared_ptr<LayoutSession>&) {}
void LayoutCoordinator::forgetReleasedWindows(const std::vector<ManagedWindow>&, std::unordered_map<WindowID, Rect>&) {}
void LayoutCoordinator::refreshWindowTitles() {}
std::vector<ManagedWindow> LayoutCoordinator::visibleManagedWindows() { return {}; }
void LayoutCoordinator::cancelAllAdoptions() { adoptionTasks.cancelAll(); }
void LayoutCoordinator::reconcileLayout(const std::shared_ptr<LayoutSession>&) {}

}  // namespace tessarapane
