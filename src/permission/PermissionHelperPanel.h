#pragma once

#include <string>

#include "geometry/Rect.h"

namespace tessarapane {

// The floating, non-activating panel holding the drag-helper pill (the
// toolkit side implements it): the application's icon, which can be dragged
// into the settings list, and a one-line hint. Frames in toolkit space.
class PermissionHelperPanel {
 public:
  virtual ~PermissionHelperPanel() = default;

  virtual std::string text() const = 0;
  // The pill's label and tooltip.
  virtual void setText(const std::string& text) = 0;
  // The width the pill needs for its icon and current text.
  virtual double fittingWidth() const = 0;
  virtual Rect frame() const = 0;
  // Sets the frame and redraws.
  virtual void setFrame(const Rect& frame) = 0;
  virtual bool isVisible() const = 0;
  // Brings the panel to the front whether or not the application is active.
  virtual void orderFrontRegardless() = 0;
  virtual void hide() = 0;
};

}  // namespace tessarapane
