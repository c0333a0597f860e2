#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <utility>

#include "app/LayoutControl.h"
#include "coordinator/LayoutCoordinator.h"

namespace tessarapane {

// The status menu's view of the layout coordinator. Holds it weakly: once
// the coordinator is gone nothing runs and every command is dropped.
class CoordinatorLayoutControl final : public LayoutControl {
 public:
  explicit CoordinatorLayoutControl(std::weak_ptr<LayoutCoordinator> coordinator)
      : coordinator_(std::move(coordinator)) {}

  std::optional<LayoutKind> runningLayoutKind() const override;
  std::optional<std::size_t> runningBentoTileCount() const override;

  void startLayout(LayoutKind kind) override;
  void startBento() override;
  void exitLayout(bool keepingRememberedLayout) override;

 private:
  std::weak_ptr<LayoutCoordinator> coordinator_;
};

}  // namespace tessarapane
