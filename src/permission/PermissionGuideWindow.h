#pragma once

#include "permission/PermissionGuideContent.h"

namespace tessarapane {

// The guide's window (the toolkit side implements it): 420 x 240 points,
// titled and closable with a transparent title bar, kept when closed. Its
// authorise buttons go to PermissionGuideWindowController::authorize, its
// close button to close(), and its closing to windowWillClose().
class PermissionGuideWindow {
 public:
  virtual ~PermissionGuideWindow() = default;

  virtual bool isVisible() const = 0;
  virtual void center() = 0;
  virtual void makeKeyAndOrderFront() = 0;
  virtual void close() = 0;
  virtual void refresh(const PermissionGuideContent& content) = 0;
};

}  // namespace tessarapane
