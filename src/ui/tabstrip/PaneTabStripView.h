#pragma once

#include <QWidget>

namespace tessarapane::ui {

// The plain container of a panel's tab views and overflow button. It draws
// the tabs' shadows, which fall outside the tabs' own bounds.
class PaneTabStripView final : public QWidget {
 public:
  explicit PaneTabStripView(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tessarapane::ui
