#include "ui/services/X11Display.h"

#include <QGuiApplication>

namespace tessarapane::ui {

xcb_connection_t* x11Connection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

int x11ScreenNumber() {
  char* host = nullptr;
  int display = 0;
  int screen = 0;
  if (!xcb_parse_display(nullptr, &host, &display, &screen)) screen = 0;
  std::free(host);
  return screen;
}

xcb_window_t x11Root(xcb_connection_t* connection) {
  const int screen = x11ScreenNumber();
  xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int index = 0; roots.rem > 0; xcb_screen_next(&roots), ++index) {
    if (index == screen) return roots.data->root;
  }
  return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

xcb_atom_t internAtom(xcb_connection_t* connection, const std::string& name) {
  const auto reply = xcbReply(xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.c_str()), nullptr));
  return reply ? reply->atom : XCB_NONE;
}

}  // namespace tessarapane::ui
