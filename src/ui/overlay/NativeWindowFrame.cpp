#include "ui/overlay/NativeWindowFrame.h"

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "ui/services/X11Display.h"

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

bool applyNativeShape(QWidget& window, const std::optional<QRegion>& region) {
  if (!window.isWindow() || !window.testAttribute(Qt::WA_WState_Created)) return false;
  xcb_connection_t* connection = x11Connection();
  if (!connection) return false;
  const auto id = static_cast<xcb_window_t>(window.winId());
  if (!region) {
    xcb_shape_mask(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, id, 0, 0, XCB_NONE);
  } else {
    // Every X pixel a drawn device-independent pixel touches stays.
    const double ratio = window.devicePixelRatioF();
    std::vector<xcb_rectangle_t> rectangles;
    for (const QRect& rect : *region) {
      const auto left = static_cast<int>(std::floor(rect.x() * ratio));
      const auto top = static_cast<int>(std::floor(rect.y() * ratio));
      const auto right = static_cast<int>(std::ceil((rect.x() + rect.width()) * ratio));
      const auto bottom = static_cast<int>(std::ceil((rect.y() + rect.height()) * ratio));
      rectangles.push_back(xcb_rectangle_t{static_cast<std::int16_t>(left), static_cast<std::int16_t>(top),
                                           static_cast<std::uint16_t>(right - left),
                                           static_cast<std::uint16_t>(bottom - top)});
    }
    xcb_shape_rectangles(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_UNSORTED, id, 0, 0,
                         static_cast<std::uint32_t>(rectangles.size()), rectangles.data());
  }
  xcb_flush(connection);
  return true;
}

}  // namespace tessarapane::ui
