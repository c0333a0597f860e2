#include "ui/NativeWindowFrame.h"

#include <xcb/xcb.h>

#include <QWidget>

#include <algorithm>
#include <cstdint>

#include "ui/X11Display.h"

namespace tessarapane::ui {

bool applyNativeFrame(QWidget& window, const QRect& pixels) {
  if (!window.isWindow() || !window.testAttribute(Qt::WA_WState_Created)) return false;
  xcb_connection_t* connection = x11Connection();
  if (!connection) return false;
  // X carries the position as signed 16-bit numbers in a 32-bit slot.
  const std::uint32_t values[] = {static_cast<std::uint32_t>(pixels.x()), static_cast<std::uint32_t>(pixels.y()),
                                  static_cast<std::uint32_t>(std::max(pixels.width(), 1)),
                                  static_cast<std::uint32_t>(std::max(pixels.height(), 1))};
  xcb_configure_window(connection, static_cast<xcb_window_t>(window.winId()),
                       XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                       values);
  xcb_flush(connection);
  return true;
}

}  // namespace tessarapane::ui
