#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>
#include <QString>

#include "chrome/PaneTabDisplayMode.h"

namespace tessarapane::ui {

// The borderless part of a tab that selects it: the application icon and, in
// full mode, the title beside it; in the icon modes the icon alone, centred
// (the title stays when there is no icon to show instead).
class PaneTabSelectButton final : public QAbstractButton {
 public:
  static constexpr double kFontSize = 11.0;
  static constexpr double kIconSize = 13.0;
  static constexpr double kIconTitleSpacing = 4.0;

  explicit PaneTabSelectButton(QWidget* parent = nullptr);

  // The title doubles as tooltip and accessibility label.
  void setTab(const QString& title, const QPixmap& icon);
  void setDisplayMode(PaneTabDisplayMode mode);
  void setContentTint(const QColor& tint);

  const QString& tabTitle() const { return title_; }
  const QPixmap& icon() const { return icon_; }
  PaneTabDisplayMode displayMode() const { return mode_; }
  const QColor& contentTint() const { return tint_; }
  // What is drawn: the title is empty in the icon modes when an icon shows.
  QString shownTitle() const;
  bool showsIcon() const { return !icon_.isNull(); }
  // Where the icon is drawn, in the button's bounds; empty without one.
  QRectF iconRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString title_;
  QPixmap icon_;
  PaneTabDisplayMode mode_ = PaneTabDisplayMode::full;
  QColor tint_;
};

}  // namespace tessarapane::ui
