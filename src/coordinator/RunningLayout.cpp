#include "coordinator/RunningLayout.h"

#include "coordinator/LayoutCoordinator.h"

namespace tessarapane {

bool RunningLayout::isCurrent() const { return coordinator_.running.get() == this; }

}  // namespace tessarapane
