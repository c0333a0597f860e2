#pragma once

#include <QWidget>

#include <optional>

#include "geometry/Rect.h"
#include "ui/ToolkitSpace.h"

namespace tessarapane::ui {

// The base of the floating panels drawn over other applications' windows:
// frameless, above ordinary windows, transparent where nothing is drawn, and
// never taking the keyboard focus or activating this application, so a click
// on it leaves the user's window focused. Frames arrive in toolkit space and
// are applied unchanged. `title` names the window for window lists and
// rules; users do not see it. The window covers the frame's X pixels
// exactly at every scale; what it draws is in Qt's scaled units.
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

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void applyPixelFrame();

  ToolkitSpace space_;
  std::optional<Rect> frame_;
};

}  // namespace tessarapane::ui
