// One log line with the displays and every managed window.
#include "coordinator/LayoutCoordinator.h"

namespace tessarapane {

void LayoutCoordinator::logLayoutSnapshot(std::string_view) {}

}  // namespace tessarapane
