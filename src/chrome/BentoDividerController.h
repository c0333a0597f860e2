#pragma once

#include <functional>
#include <vector>

#include "bento/BentoChildSlot.h"
#include "bento/BentoDividerLayout.h"
#include "geometry/Point.h"

namespace tessarapane {

// What the divider handles report while the user drags one: the path of the
// divider's split, and the pointer in screen coordinates (toolkit space).
struct BentoDividerCallbacks {
  std::function<void(const BentoPath& path)> onDragBegan;
  std::function<void(const BentoPath& path, Point locationInScreen)> onDragChanged;
  std::function<void()> onDragEnded;
};

// Owner of the handle panels of one grid layout, made by a ChromeFactory with
// no handles and the three callbacks.
class BentoDividerController {
 public:
  virtual ~BentoDividerController() = default;

  // One handle per divider, reused by position; surplus handles are closed.
  virtual void update(const std::vector<BentoDividerLayout>& dividers) = 0;
  // Removes every handle.
  virtual void tearDown() = 0;
};

}  // namespace tessarapane
