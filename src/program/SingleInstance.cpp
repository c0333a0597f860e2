#include "program/SingleInstance.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace tessarapane::program {

SingleInstance::SingleInstance(std::shared_ptr<X11Connection> connection) : connection_(std::move(connection)) {}

SingleInstance::~SingleInstance() {
  if (window_ != XCB_NONE && connection_ && connection_->isConnected()) {
    xcb_destroy_window(connection_->raw(), window_);
    xcb_flush(connection_->raw());
  }
}

SingleInstance::Outcome SingleInstance::acquire(std::string* error) {
  xcb_connection_t* c = connection_->raw();
  const auto fail = [error](const char* what) {
    if (error) *error = what;
    return Outcome::failed;
  };

  const auto atomReply =
      connection_->await<xcb_intern_atom_reply_t>(
          xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(kSelectionName)), kSelectionName),
          connection_->deadline());
  if (!atomReply.ok()) return fail("cannot intern the instance selection's atom");
  const xcb_atom_t selection = atomReply->atom;

  if (window_ == XCB_NONE) {
    window_ = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window_, connection_->root(), -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
  }

  xcb_grab_server(c);
  const auto owner = connection_->await<xcb_get_selection_owner_reply_t>(xcb_get_selection_owner(c, selection),
                                                                         connection_->deadline());
  Outcome outcome = Outcome::failed;
  if (!owner.ok()) {
    if (error) *error = "cannot read the instance selection's owner";
  } else if (owner->owner != XCB_NONE && owner->owner != window_) {
    outcome = Outcome::alreadyRunning;
  } else {
    xcb_set_selection_owner(c, window_, selection, XCB_CURRENT_TIME);
    const auto check = connection_->await<xcb_get_selection_owner_reply_t>(xcb_get_selection_owner(c, selection),
                                                                           connection_->deadline());
    if (check.ok() && check->owner == window_) {
      outcome = Outcome::acquired;
    } else if (error) {
      *error = "cannot take the instance selection";
    }
  }
  xcb_ungrab_server(c);
  xcb_flush(c);
  return outcome;
}

}  // namespace tessarapane::program
