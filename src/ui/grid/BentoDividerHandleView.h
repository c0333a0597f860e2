#pragma once

#include <QColor>
#include <QWidget>

#include <memory>
#include <optional>

#include "bento/BentoDividerLayout.h"
#include "chrome/BentoDividerController.h"
#include "ui/services/ToolkitSpace.h"

namespace tessarapane::ui {

// What a divider handle shows and does: a short grip bar across the middle
// of the divider, a resize cursor, and press, drag and release reported with
// the pointer in toolkit space.
class BentoDividerHandleView final : public QWidget {
 public:
  static constexpr double kGripLength = 28.0;
  static constexpr double kGripThickness = 4.0;
  static constexpr double kGripRadius = 2.0;
  // The gap's colour where nothing blends the clear parts.
  inline static const QColor kUnblendedGapColor{0x3a, 0x3a, 0x3c};

  // The callbacks are the controller's; once it is gone the handle reports
  // nothing.
  BentoDividerHandleView(std::weak_ptr<const BentoDividerCallbacks> callbacks, ToolkitSpace space,
                         QWidget* parent = nullptr);

  void setDivider(const BentoDividerLayout& divider);
  const std::optional<BentoDividerLayout>& divider() const { return divider_; }
  bool isDragging() const { return isDragging_; }

  // The divider's gap between the tiles, and the grip bar across its
  // middle, in this view's coordinates; none without a divider.
  std::optional<QRectF> stripRect() const;
  std::optional<QRectF> gripRect() const;
  // Sets the cursor for the divider's orientation (none without one).
  void resetCursorRects();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  Point screenLocation(const QMouseEvent& event) const;

  std::weak_ptr<const BentoDividerCallbacks> callbacks_;
  ToolkitSpace space_;
  std::optional<BentoDividerLayout> divider_;
  bool isDragging_ = false;
};

}  // namespace tessarapane::ui
