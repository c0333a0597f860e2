#pragma once

#include <QAbstractNativeEventFilter>

#include <xcb/xcb.h>

#include <cstdint>
#include <functional>

namespace tessarapane::ui {

// Follows whether a compositing manager runs on the X screen: one owns the
// selection _NET_WM_CM_S<screen> while it does. Only then do the clear parts
// of a translucent window show what lies below it. Without an X11 display the
// toolkit blends on its own, which counts as compositing. `changed` runs
// after each change, on the main loop.
class CompositingWatch final : public QAbstractNativeEventFilter {
 public:
  explicit CompositingWatch(std::function<void(bool active)> changed);
  ~CompositingWatch() override;

  CompositingWatch(const CompositingWatch&) = delete;
  CompositingWatch& operator=(const CompositingWatch&) = delete;

  bool active() const { return active_; }

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  std::function<void(bool)> changed_;
  xcb_atom_t selection_ = XCB_NONE;
  // The XFixes selection-notify event code; 0 when the server cannot report
  // owner changes, and the state read at start is all there is.
  std::uint8_t notifyEvent_ = 0;
  bool active_ = true;
};

}  // namespace tessarapane::ui
