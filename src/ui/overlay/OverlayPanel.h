#pragma once

#include <QRegion>
#include <QWidget>

#include <memory>
#include <optional>

#include "geometry/Rect.h"
#include "ui/overlay/OverlayStage.h"
#include "ui/services/ToolkitSpace.h"

namespace tessarapane::ui {

// The base of the floating panels drawn over other applications' windows:
// frameless, above ordinary windows, transparent where nothing is drawn, and
// never taking the keyboard focus or activating this application, so a click
// on it leaves the user's window focused. It bypasses the window manager, so
// none decorates, moves, hides or focuses it (window managers stack their
// frames below such windows, and the program raises the panel after raising
// windows); without a compositing manager the panel takes the shape of what
// it draws (else its clear parts would be black and catch clicks). Frames arrive in toolkit space and are applied unchanged. `title`
// names the window for tools and tests; users do not see it. The window
// covers the frame's X pixels exactly at every scale; what it draws is in
// Qt's scaled units.
class OverlayPanel : public QWidget {
 public:
  OverlayPanel(ToolkitSpace space, const QString& title, std::shared_ptr<OverlayStage> stage = nullptr,
               QWidget* parent = nullptr);
  ~OverlayPanel() override;

  // The frame in toolkit space; set only when it differs.
  void setToolkitFrame(const Rect& frame);
  Rect toolkitFrame() const;

  // Shows the panel above ordinary windows without activating anything.
  void orderFrontRegardless();
  void orderOut();

  const ToolkitSpace& space() const { return space_; }

  // Shapes the panel to drawnRegion() when nothing blends its clear parts,
  // else lifts the shape. Panels call it whenever what they draw moves.
  void updateShape();
  // Whether its clear parts are blended; true without a stage.
  bool compositing() const;

 protected:
  // What the panel draws, in its own coordinates; all of it by default.
  virtual QRegion drawnRegion() const { return QRegion(rect()); }
  static QRegion roundedRegion(const QRectF& bounds, double radius);
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void applyPixelFrame();

  ToolkitSpace space_;
  std::shared_ptr<OverlayStage> stage_;
  std::optional<Rect> frame_;
  // The shape as last given to the window system; none: no shape.
  std::optional<QRegion> shape_;
  bool shapeApplied_ = false;
};

}  // namespace tessarapane::ui
