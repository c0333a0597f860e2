#include "ui/HelperPillView.h"

#include <QApplication>
#include <QDrag>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QUrl>

#include <algorithm>
#include <utility>

#include "ui/SystemStyle.h"

namespace tessarapane::ui {

HelperPillView::HelperPillView(const QString& text, QIcon applicationIcon, QWidget* parent)
    : QWidget(parent), applicationIcon_(std::move(applicationIcon)) {
  setCursor(Qt::OpenHandCursor);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(kLeadingInset, 0, kTrailingInset, 0);
  layout->setSpacing(kSpacing);

  iconView_ = new QLabel(this);
  iconView_->setFixedSize(kIconSide, kIconSide);
  iconView_->setPixmap(applicationIcon_.pixmap(QSize(kIconSide, kIconSide), devicePixelRatioF()));
  iconView_->setAttribute(Qt::WA_TransparentForMouseEvents);
  layout->addWidget(iconView_, 0, Qt::AlignVCenter);

  label_ = new QLabel(this);
  QFont font = SystemStyle::body();
  font.setPixelSize(kFontSize);
  font.setWeight(QFont::Medium);
  label_->setFont(font);
  // Gives way first when the pill is narrowed; the text is then cut short.
  label_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  label_->setAttribute(Qt::WA_TransparentForMouseEvents);
  layout->addWidget(label_, 1, Qt::AlignVCenter);

  setText(text);
}

QString HelperPillView::text() const { return toolTip(); }

void HelperPillView::setText(const QString& text) {
  if (text == toolTip() && !text.isEmpty()) return;
  setToolTip(text);
  label_->setText(text);
  if (isVisible()) fitText();
}

int HelperPillView::fittingWidth() const {
  const int textWidth = QFontMetrics(label_->font()).horizontalAdvance(text());
  return kLeadingInset + kIconSide + kSpacing + textWidth + kTrailingInset;
}

QMimeData* HelperPillView::makeDragData() {
  auto* data = new QMimeData;
  data->setUrls({QUrl::fromLocalFile(QCoreApplication::applicationFilePath())});
  return data;
}

void HelperPillView::fitText() {
  // The label cuts its text at the tail when the pill is narrowed.
  const QString full = toolTip();
  label_->setText(QFontMetrics(label_->font()).elidedText(full, Qt::ElideRight, std::max(label_->width(), 0)));
}

void HelperPillView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (layout()) layout()->activate();
  fitText();
}

void HelperPillView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath pill;
  pill.addRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
  QColor material = palette().color(QPalette::Window);
  material.setAlphaF(0.94f);
  painter.fillPath(pill, material);
}

void HelperPillView::mousePressEvent(QMouseEvent* event) {
  // A press alone does nothing; it may start a drag.
  pressed_ = event->button() == Qt::LeftButton;
  pressPosition_ = event->position().toPoint();
}

void HelperPillView::mouseMoveEvent(QMouseEvent* event) {
  if (!pressed_ || !(event->buttons() & Qt::LeftButton)) return;
  if ((event->position().toPoint() - pressPosition_).manhattanLength() < QApplication::startDragDistance()) return;
  pressed_ = false;
  auto* drag = new QDrag(this);
  drag->setMimeData(makeDragData());
  drag->setPixmap(applicationIcon_.pixmap(QSize(kIconSide, kIconSide), devicePixelRatioF()));
  drag->setHotSpot(QPoint(kIconSide / 2, kIconSide / 2));
  // Copy or link into the settings; inside this application nothing.
  drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
}

}  // namespace tessarapane::ui
