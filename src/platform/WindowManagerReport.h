#pragma once

#include <string>
#include <vector>

namespace tessarapane {

// What stands between this process and other applications' windows. On X11
// there is no permission to grant: what is needed is a window manager that
// announces itself and the requests the layouts send through it.
struct WindowManagerReport {
  bool found = false;                // a window manager announced itself
  std::string name;                  // as it names itself; may be empty
  std::vector<std::string> missing;  // needed features it does not list

  bool usable() const { return found && missing.empty(); }

  friend bool operator==(const WindowManagerReport&, const WindowManagerReport&) = default;
};

}  // namespace tessarapane
