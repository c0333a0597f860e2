// Acting on the outcome of a close request, and the alerts it may show.
#include "coordinator/LayoutCoordinator.h"

namespace tessarapane {

void LayoutCoordinator::handleCloseResult(WindowCloseResult, const ManagedWindow&) {}
void LayoutCoordinator::showMessage(std::string_view, std::string_view) {}

}  // namespace tessarapane
