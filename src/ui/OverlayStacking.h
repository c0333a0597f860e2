#pragma once

#include <QAbstractNativeEventFilter>
#include <QTimer>

#include <xcb/xcb.h>

#include <functional>
#include <unordered_map>
#include <vector>

namespace tessarapane::ui {

// Keeps the overlay panels above the managed windows. They are
// override-redirect windows, which the window manager neither stacks nor
// keeps on top, so whenever a top-level window is restacked or mapped, or
// the client stacking list or the active window changes, they are put back
// directly above the topmost managed window: above every application window, still below menus and
// tooltips that other programs open over everything. A full-screen window
// on top keeps its place over them. `overlays` lists the shown panels'
// windows, bottom to top. Nothing is asked of the server while nothing
// changes.
class OverlayStacking final : public QAbstractNativeEventFilter {
 public:
  explicit OverlayStacking(std::function<std::vector<xcb_window_t>()> overlays);
  ~OverlayStacking() override;

  OverlayStacking(const OverlayStacking&) = delete;
  OverlayStacking& operator=(const OverlayStacking&) = delete;

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  void restack();
  bool isOverlay(xcb_window_t window) const;
  // The child of the root that holds `window` (its frame when reparented).
  xcb_window_t topLevelOf(xcb_window_t window) const;
  bool fullScreen(xcb_window_t client) const;

  std::function<std::vector<xcb_window_t>()> overlays_;
  xcb_connection_t* connection_ = nullptr;
  xcb_window_t root_ = XCB_NONE;
  xcb_atom_t clientListStacking_ = XCB_NONE;
  xcb_atom_t activeWindow_ = XCB_NONE;
  xcb_atom_t state_ = XCB_NONE;
  xcb_atom_t stateFullScreen_ = XCB_NONE;
  // The window each top-level window was last seen directly above: a
  // configure event with the same one is a move, not a restack.
  std::unordered_map<xcb_window_t, xcb_window_t> above_;
  // Coalesces a burst of restacks into one pass on the next loop turn.
  QTimer pass_;
};

}  // namespace tessarapane::ui
