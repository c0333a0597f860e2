// Frame enforcement, restacking, following the system focus, and screen
// changes.
#include "coordinator/LayoutCoordinator.h"

namespace tessarapane {

void LayoutCoordinator::scheduleFrameEnforcement(WindowID) {}
bool LayoutCoordinator::enforceManagedWindowFrame(WindowID) { return true; }
void LayoutCoordinator::cancelAllFrameEnforcement() { frameEnforcementTasks.cancelAll(); }
void LayoutCoordinator::restackVisibleWindows(const ManagedWindow&, bool, bool) {}
void LayoutCoordinator::scheduleStackRecheck(const ManagedWindow&) {}
void LayoutCoordinator::synchronizeTabSelectionWithSystemFocus(const std::shared_ptr<LayoutSession>&) {}
void LayoutCoordinator::screenParametersDidChange() {}
void LayoutCoordinator::scheduleScreenRelayout() {}

}  // namespace tessarapane
