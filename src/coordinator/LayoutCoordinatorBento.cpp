// Grid layout coordination. Placeholder bodies so the library links; the
// grid side of the coordinator is filled in separately.
#include "coordinator/LayoutCoordinator.h"

namespace tessarapane {

void LayoutCoordinator::startBento() {}

void LayoutCoordinator::applyBentoFrames(const std::shared_ptr<BentoSession>&) {}

void LayoutCoordinator::installBentoChrome(const std::shared_ptr<BentoSession>&) {}

void LayoutCoordinator::updateBentoDividers(const std::shared_ptr<BentoSession>&) {}

void LayoutCoordinator::beginBentoDividerDrag() {}

void LayoutCoordinator::updateBentoDividerDrag(const BentoPath&, Point) {}

void LayoutCoordinator::endBentoDividerDrag() {}

void LayoutCoordinator::addNewWindowToBento(const ManagedWindow&, const std::shared_ptr<BentoSession>&) {}

void LayoutCoordinator::refreshBentoSession(const std::shared_ptr<BentoSession>&, bool) {}

void LayoutCoordinator::releaseNativeFullScreenWindows(const std::shared_ptr<BentoSession>&) {}

void LayoutCoordinator::relayoutBentoSession(const std::shared_ptr<BentoSession>&) {}

}  // namespace tessarapane
