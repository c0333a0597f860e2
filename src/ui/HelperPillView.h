#pragma once

#include <QIcon>
#include <QPoint>
#include <QString>
#include <QWidget>

class QLabel;
class QMimeData;

namespace tessarapane::ui {

// The drag-helper pill: the application's icon, which can be dragged into
// the settings list, and a one-line hint. The whole pill takes the pointer;
// its parts never do.
class HelperPillView final : public QWidget {
 public:
  static constexpr int kIconSide = 26;
  static constexpr int kSpacing = 8;
  static constexpr int kLeadingInset = 8;
  static constexpr int kTrailingInset = 14;
  static constexpr double kCornerRadius = 18.0;
  static constexpr int kFontSize = 12;

  HelperPillView(const QString& text, QIcon applicationIcon, QWidget* parent = nullptr);

  QString text() const;
  // The label and the tooltip; the same text again changes nothing.
  void setText(const QString& text);
  // Icon, text and insets side by side.
  int fittingWidth() const;

  QLabel* iconView() const { return iconView_; }
  QLabel* label() const { return label_; }

  // What a drag carries: the application's file as a URL.
  static QMimeData* makeDragData();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void fitText();

  QIcon applicationIcon_;
  QLabel* iconView_ = nullptr;
  QLabel* label_ = nullptr;
  QPoint pressPosition_;
  bool pressed_ = false;
};

}  // namespace tessarapane::ui
