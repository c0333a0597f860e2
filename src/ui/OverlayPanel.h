#pragma once

#include <QWidget>

#include "geometry/Rect.h"
#include "ui/ToolkitSpace.h"

namespace tessarapane::ui {

// The base of the floating panels drawn over other applications' windows:
// frameless, above ordinary windows, transparent where nothing is drawn, and
// never taking the keyboard focus or activating this application, so a click
// on it leaves the user's window focused. Frames arrive in toolkit space and
// are applied unchanged. `title` names the window for window lists and
// rules; users do not see it.
class OverlayPanel : public QWidget {
 public:
  OverlayPanel(ToolkitSpace space, const QString& title, QWidget* parent = nullptr);

  // The frame in toolkit space; set only when it differs.
  void setToolkitFrame(const Rect& frame);
  Rect toolkitFrame() const;

  // Shows the panel above ordinary windows without activating anything.
  void orderFrontRegardless();
  void orderOut();

  const ToolkitSpace& space() const { return space_; }

 private:
  ToolkitSpace space_;
};

}  // namespace tessarapane::ui
