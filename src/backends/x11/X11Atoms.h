#pragma once

#include <xcb/xcb.h>

#include <array>
#include <cstddef>

namespace tessarapane {

// Every atom the backend uses, interned once per connection.
#define TESSARAPANE_X11_ATOMS(X)                                                                                \
  X(UTF8_STRING) X(WM_PROTOCOLS) X(WM_DELETE_WINDOW) X(WM_STATE) X(WM_CHANGE_STATE) X(_NET_SUPPORTED)            \
  X(_NET_SUPPORTING_WM_CHECK) X(_NET_CLIENT_LIST) X(_NET_CLIENT_LIST_STACKING) X(_NET_ACTIVE_WINDOW)             \
  X(_NET_CURRENT_DESKTOP) X(_NET_WM_DESKTOP) X(_NET_WM_NAME) X(_NET_WM_PID) X(_NET_WM_WINDOW_TYPE)               \
  X(_NET_WM_WINDOW_TYPE_NORMAL) X(_NET_WM_WINDOW_TYPE_DIALOG) X(_NET_WM_WINDOW_TYPE_UTILITY)                     \
  X(_NET_WM_WINDOW_TYPE_TOOLBAR) X(_NET_WM_WINDOW_TYPE_DOCK) X(_NET_WM_WINDOW_TYPE_DESKTOP)                      \
  X(_NET_WM_WINDOW_TYPE_SPLASH) X(_NET_WM_WINDOW_TYPE_MENU) X(_NET_WM_WINDOW_TYPE_DROPDOWN_MENU)                 \
  X(_NET_WM_WINDOW_TYPE_POPUP_MENU) X(_NET_WM_WINDOW_TYPE_TOOLTIP) X(_NET_WM_WINDOW_TYPE_NOTIFICATION)           \
  X(_NET_WM_WINDOW_TYPE_COMBO) X(_NET_WM_WINDOW_TYPE_DND) X(_NET_WM_STATE) X(_NET_WM_STATE_HIDDEN)               \
  X(_NET_WM_STATE_FULLSCREEN) X(_NET_WM_STATE_MODAL) X(_NET_WM_STATE_MAXIMIZED_VERT)                             \
  X(_NET_WM_STATE_MAXIMIZED_HORZ) X(_NET_WM_STATE_ABOVE) X(_NET_FRAME_EXTENTS) X(_NET_MOVERESIZE_WINDOW)         \
  X(_NET_CLOSE_WINDOW) X(_NET_RESTACK_WINDOW) X(_NET_WM_ALLOWED_ACTIONS) X(_NET_WM_ACTION_MINIMIZE)              \
  X(_NET_WM_ACTION_MAXIMIZE_HORZ) X(_NET_WM_ACTION_MAXIMIZE_VERT) X(_NET_WM_WINDOW_OPACITY) X(_NET_WM_STRUT)     \
  X(_NET_WM_STRUT_PARTIAL) X(_NET_WM_ICON) X(_NET_WORKAREA)

enum class Atom : std::size_t {
#define TESSARAPANE_X11_ATOM_ENUM(name) name,
  TESSARAPANE_X11_ATOMS(TESSARAPANE_X11_ATOM_ENUM)
#undef TESSARAPANE_X11_ATOM_ENUM
      count
};

inline constexpr std::array<const char*, static_cast<std::size_t>(Atom::count)> kAtomNames = {
#define TESSARAPANE_X11_ATOM_NAME(name) #name,
    TESSARAPANE_X11_ATOMS(TESSARAPANE_X11_ATOM_NAME)
#undef TESSARAPANE_X11_ATOM_NAME
};

// The interned values, indexed by Atom.
class X11Atoms {
 public:
  xcb_atom_t operator[](Atom atom) const { return values_[static_cast<std::size_t>(atom)]; }
  void set(Atom atom, xcb_atom_t value) { values_[static_cast<std::size_t>(atom)] = value; }

 private:
  std::array<xcb_atom_t, static_cast<std::size_t>(Atom::count)> values_{};
};

}  // namespace tessarapane
