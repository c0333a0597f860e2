#include "backends/x11/X11Input.h"

#include <utility>

namespace tessarapane {

X11Input::X11Input(std::shared_ptr<X11Connection> connection) : connection_(std::move(connection)) {}

std::uint32_t X11Input::pressedMouseButtons() {
  X11Connection& x = *connection_;
  auto pointer = x.await<xcb_query_pointer_reply_t>(xcb_query_pointer(x.raw(), x.root()), x.deadline());
  // Unknown counts as nothing pressed: windows are then managed as usual.
  if (!pointer.ok()) return 0;
  std::uint32_t buttons = 0;
  if (pointer->mask & XCB_KEY_BUT_MASK_BUTTON_1) buttons |= kPrimaryButton;
  if (pointer->mask & XCB_KEY_BUT_MASK_BUTTON_3) buttons |= kSecondaryButton;
  if (pointer->mask & XCB_KEY_BUT_MASK_BUTTON_2) buttons |= kMiddleButton;
  return buttons;
}

}  // namespace tessarapane
