#pragma once

#include <memory>

#include "backends/x11/X11Desktop.h"
#include "platform/WindowServer.h"

namespace tessarapane {

// The window list from the window manager's stacking order: viewable
// clients on the current desktop, front-most first, with outer frames in
// accessibility space. The displays are the RandR monitors.
class X11WindowServer final : public WindowServer {
 public:
  // Layers as the list reports them: ordinary windows are 0.
  static constexpr std::int32_t kNormalLayer = 0;
  static constexpr std::int32_t kFloatingLayer = 3;  // kept above (_NET_WM_STATE_ABOVE)
  static constexpr std::int32_t kDockLayer = 20;

  explicit X11WindowServer(std::shared_ptr<X11Desktop> desktop);

  std::optional<std::vector<WindowInfo>> onScreenWindowList() override;
  ActiveDisplayList activeDisplayList(std::uint32_t maxDisplays) override;
  Rect displayBounds(DisplayID display) override;
  // _NET_WM_STATE_FULLSCREEN: a maximised window filling a monitor is not
  // full screen.
  bool marksFullScreenWindows() override { return true; }
  // Every change of a client, of the window manager's lists or of the
  // monitors is an event on the shared connection.
  std::optional<std::uint64_t> changeCount() override { return desktop_->x().eventCount(); }

 private:
  std::shared_ptr<X11Desktop> desktop_;
};

}  // namespace tessarapane
