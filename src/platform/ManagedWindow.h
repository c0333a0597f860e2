#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "geometry/Rect.h"
#include "platform/AXElement.h"

namespace tessarapane {

using WindowID = std::uint32_t;
using ProcessID = std::int32_t;
using DisplayID = std::uint32_t;

// One window of another application. Identified by `windowID` alone; `title`
// and `frame` are snapshots taken when the record was made. Deliberately
// without equality: compare window IDs.
struct ManagedWindow {
  WindowID windowID = 0;
  ProcessID ownerPID = 0;
  std::optional<std::string> bundleIdentifier;
  std::string appName;
  std::string title;
  Rect frame;  // accessibility space (top-left origin, y down)
  AXElement element;
};

}  // namespace tessarapane
