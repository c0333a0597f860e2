#include "app/CoordinatorLayoutControl.h"

namespace tessarapane {

std::optional<LayoutKind> CoordinatorLayoutControl::runningLayoutKind() const {
  const auto coordinator = coordinator_.lock();
  if (!coordinator) return std::nullopt;
  return coordinator->snapshot().kind;
}

std::optional<std::size_t> CoordinatorLayoutControl::runningBentoTileCount() const {
  const auto coordinator = coordinator_.lock();
  if (!coordinator) return std::nullopt;
  const LayoutSnapshot snapshot = coordinator->snapshot();
  if (snapshot.family != LayoutSnapshot::Family::grid) return std::nullopt;
  return snapshot.tiles.size();
}

void CoordinatorLayoutControl::startLayout(LayoutKind kind) {
  if (const auto coordinator = coordinator_.lock()) coordinator->startLayout(kind);
}

void CoordinatorLayoutControl::startBento() {
  if (const auto coordinator = coordinator_.lock()) coordinator->startBento();
}

void CoordinatorLayoutControl::exitLayout(bool keepingRememberedLayout) {
  const auto coordinator = coordinator_.lock();
  if (!coordinator) return;
  // Leaving puts the windows back: it may have to wait until they can move.
  if (keepingRememberedLayout) coordinator->exitLayout(true);
  else coordinator->leaveLayout();
}

}  // namespace tessarapane
