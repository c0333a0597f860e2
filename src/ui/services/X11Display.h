#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace tessarapane::ui {

// Qt's own X connection, so requests about the program's windows stay in
// order with Qt's; null when the display is not X11.
xcb_connection_t* x11Connection();
// The screen DISPLAY names (0 without one).
int x11ScreenNumber();
xcb_window_t x11Root(xcb_connection_t* connection);
// XCB_NONE when the server does not answer.
xcb_atom_t internAtom(xcb_connection_t* connection, const std::string& name);

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply>
using XcbReply = std::unique_ptr<Reply, FreeReply>;

template <typename Reply>
XcbReply<Reply> xcbReply(Reply* reply) {
  return XcbReply<Reply>(reply);
}

}  // namespace tessarapane::ui
