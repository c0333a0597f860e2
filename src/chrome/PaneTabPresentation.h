#pragma once

#include <string>

#include "platform/ManagedWindow.h"

namespace tessarapane {

// What one tab shows. The title doubles as the tab's tooltip and accessibility
// label; the owner finds the application icon (see ApplicationIconCache).
struct PaneTabPresentation {
  std::string title;  // already trimmed, never empty for a real window
  ProcessID ownerPID = 0;

  friend bool operator==(const PaneTabPresentation&, const PaneTabPresentation&) = default;
};

}  // namespace tessarapane
