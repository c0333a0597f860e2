#pragma once

#include <cstddef>
#include <optional>

#include "layout/LayoutKind.h"

namespace tessarapane {

// What the status menu needs of the layout coordinator: which layout runs,
// and the three layout commands. The coordinator implements it.
class LayoutControl {
 public:
  virtual ~LayoutControl() = default;

  // The kind of the running tab layout; none when no tab layout runs.
  virtual std::optional<LayoutKind> runningLayoutKind() const = 0;
  // The number of tiles of the running grid layout; none when no grid runs.
  virtual std::optional<std::size_t> runningBentoTileCount() const = 0;

  virtual void startLayout(LayoutKind kind) = 0;
  virtual void startBento() = 0;
  // Leaves the running layout; false also forgets the remembered layout.
  virtual void exitLayout(bool keepingRememberedLayout) = 0;
};

}  // namespace tessarapane
