// Pause and resume. Placeholder bodies so the library links; the pause side
// of the coordinator is filled in separately.
#include "coordinator/LayoutCoordinator.h"

namespace tessarapane {

void LayoutCoordinator::observeSystemPause() {}

void LayoutCoordinator::beginPause(LayoutPause::Reason) {}

void LayoutCoordinator::endPause(LayoutPause::Reason) {}

void LayoutCoordinator::endAllPauses() {}

void LayoutCoordinator::scheduleResume() {}

}  // namespace tessarapane
