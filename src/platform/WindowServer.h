#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "geometry/Rect.h"
#include "platform/ManagedWindow.h"

namespace tessarapane {

// One entry of the window server's on-screen list. Every field is optional
// because the platform may omit any of them; readers drop an entry that lacks
// what they need.
struct WindowInfo {
  std::optional<WindowID> number;
  std::optional<ProcessID> ownerPID;
  std::optional<std::int32_t> layer;  // 0 = ordinary application windows
  std::optional<Rect> bounds;         // accessibility space
  std::optional<double> alpha;        // 0 = invisible
  std::optional<std::string> ownerName;
  std::optional<std::string> name;    // the window's title, when the platform shares it
};

// The active displays, as a count query or a list. `error` is the platform's
// status, 0 for success; `count` is the number of displays reported, and
// `displays` holds at most the number asked for.
struct ActiveDisplayList {
  std::int32_t error = 0;
  std::uint32_t count = 0;
  std::vector<DisplayID> displays;
};

// Which windows exist, in which order, and where the displays are.
class WindowServer {
 public:
  virtual ~WindowServer() = default;

  // Windows on screen on the current desktop, desktop elements excluded,
  // front-most first. None when the list cannot be read: callers must tell
  // "unknown" from "empty".
  virtual std::optional<std::vector<WindowInfo>> onScreenWindowList() = 0;

  // maxDisplays 0 asks only for the count; otherwise up to that many display
  // identifiers are returned, in the platform's order.
  virtual ActiveDisplayList activeDisplayList(std::uint32_t maxDisplays) = 0;

  // A display's rectangle in accessibility space; the null rectangle for an
  // unknown display.
  virtual Rect displayBounds(DisplayID display) = 0;

  // Whether every window in the platform's own full-screen mode says so
  // ("AXFullScreen"). There a window that merely fills a display (maximised
  // on a desktop without panels) is an ordinary window, not a full-screen one.
  virtual bool marksFullScreenWindows() { return false; }

  // A count that grows whenever the platform learns that a window, the
  // window list, a desktop or a display may have changed (any event of the
  // window system counts). Equal counts mean nothing changed in between.
  // None when the platform cannot tell: anything may change at any time.
  virtual std::optional<std::uint64_t> changeCount() { return std::nullopt; }
};

}  // namespace tessarapane
