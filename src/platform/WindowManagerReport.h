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
  // It tiles: it places every window itself and ignores the frames asked for.
  bool tiling = false;

  bool usable() const { return found && missing.empty() && !tiling; }

  friend bool operator==(const WindowManagerReport&, const WindowManagerReport&) = default;
};

}  // namespace tessarapane
