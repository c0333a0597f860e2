// Tab operations: selecting, closing and moving tabs, the tab bars, and laying
// a tab layout out again.
#include "coordinator/LayoutCoordinator.h"

namespace tessarapane {

void LayoutCoordinator::selectTab(int, int) {}
void LayoutCoordinator::closeTab(int, int) {}
void LayoutCoordinator::moveTab(int, int, PaneMoveDirection) {}
void LayoutCoordinator::moveFocusedTab(PaneMoveDirection) {}
void LayoutCoordinator::moveTab(int, int, int, const std::shared_ptr<LayoutSession>&) {}
void LayoutCoordinator::expandFullScreenToSplit2(int, int, PaneMoveDirection, const std::shared_ptr<LayoutSession>&) {}
void LayoutCoordinator::createOrUpdateTabBar(int, const std::shared_ptr<LayoutSession>&, bool) {}
void LayoutCoordinator::relayoutTabSession(const std::shared_ptr<LayoutSession>&) {}
void LayoutCoordinator::refreshTabSession(const std::shared_ptr<LayoutSession>&, bool) {}
void LayoutCoordinator::bringLayoutToFront() {}

}  // namespace tessarapane
