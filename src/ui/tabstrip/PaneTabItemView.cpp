#include "ui/tabstrip/PaneTabItemView.h"

#include <QEnterEvent>
#include <QPainter>

#include <cmath>
#include <utility>

#include "chrome/PaneTabTexts.h"
#include "ui/services/QtConversions.h"
#include "ui/services/ScreenScale.h"
#include "ui/style/Glyphs.h"
#include "ui/tabstrip/PaneTabBackdrop.h"
#include "ui/tabstrip/PaneTabChromeButton.h"
#include "ui/tabstrip/PaneTabSelectButton.h"

namespace tessarapane::ui {

namespace {

constexpr double kCloseGlyphSize = 9.0;
constexpr double kMoveGlyphSize = 10.0;

Glyph arrowGlyph(PaneMoveDirection direction) {
  switch (direction) {
    case PaneMoveDirection::left: return Glyph::arrowLeft;
    case PaneMoveDirection::right: return Glyph::arrowRight;
    case PaneMoveDirection::up: return Glyph::arrowUp;
    case PaneMoveDirection::down: return Glyph::arrowDown;
  }
  return Glyph::arrowLeft;
}

}  // namespace

PaneTabItemView::PaneTabItemView(std::vector<PaneMoveDirection> moveDirections, Handlers handlers,
                                 std::shared_ptr<ApplicationIcons> icons, QWidget* parent)
    : QWidget(parent),
      moveDirections_(std::move(moveDirections)),
      handlers_(std::move(handlers)),
      icons_(std::move(icons)) {
  setAttribute(Qt::WA_Hover);
  setFocusPolicy(Qt::NoFocus);

  selectButton_ = new PaneTabSelectButton(this);
  connect(selectButton_, &QAbstractButton::clicked, this, [this] {
    if (handlers_.selection) handlers_.selection(tabIndex_);
  });

  moveButtonStack_ = new QWidget(this);
  for (std::size_t position = 0; position < moveDirections_.size(); ++position) {
    const PaneMoveDirection direction = moveDirections_[position];
    auto* button = new PaneTabChromeButton(arrowGlyph(direction), kMoveGlyphSize,
                                           PaneTabChromeButton::Style::neutral, toQString(tooltip(direction)),
                                           moveButtonStack_);
    connect(button, &QAbstractButton::clicked, this, [this, direction] {
      if (handlers_.move) handlers_.move(tabIndex_, direction);
    });
    moveButtons_.push_back(button);
  }

  closeButton_ = new PaneTabChromeButton(Glyph::xmark, kCloseGlyphSize, PaneTabChromeButton::Style::destructive,
                                         toQString(PaneTabTexts::closeButtonDescription()), this);
  connect(closeButton_, &QAbstractButton::clicked, this, [this] {
    if (handlers_.close) handlers_.close(tabIndex_);
  });

  updateSelection();
  applyDisplayMode();
}

void PaneTabItemView::setDisplayMode(PaneTabDisplayMode mode) {
  if (displayMode_ == mode) return;
  displayMode_ = mode;
  applyDisplayMode();
}

void PaneTabItemView::applyDisplayMode() {
  selectButton_->setDisplayMode(displayMode_);
  layoutControls();
}

void PaneTabItemView::updateTab(const PaneTabPresentation& tab, bool isSelected) {
  if (!tab_ || tab_->title != tab.title || tab_->ownerPID != tab.ownerPID) {
    tab_ = tab;
    const QPixmap icon = icons_ ? icons_->tabIcon(tab.ownerPID) : QPixmap();
    selectButton_->setTab(toQString(tab.title), icon);
    applyDisplayMode();
  }
  if (isSelected_ != isSelected) {
    isSelected_ = isSelected;
    updateSelection();
    layoutControls();
  }
}

QColor PaneTabItemView::tintColor() const { return whiteColor(1.0, isSelected_ ? 0.97 : 0.13); }
double PaneTabItemView::shadowOpacity() const { return isSelected_ ? 0.16 : 0.08; }
double PaneTabItemView::shadowRadius() const { return isSelected_ ? 2.0 : 1.0; }

void PaneTabItemView::updateSelection() {
  selectButton_->setContentTint(isSelected_ ? whiteColor(0.0, 0.92) : whiteColor(1.0, 0.94));
  const QColor idle = isSelected_ ? whiteColor(0.0, 0.48) : whiteColor(1.0, 0.78);
  closeButton_->setIdleTint(idle);
  closeButton_->setOnSelectedTab(isSelected_);
  for (PaneTabChromeButton* button : moveButtons_) {
    button->setIdleTint(idle);
    button->setOnSelectedTab(isSelected_);
  }
  update();
  // The strip draws the shadow.
  if (parentWidget()) parentWidget()->update();
}

PaneTabItemLayout PaneTabItemView::itemLayout() const {
  // The strip's rules work in X pixels.
  return PaneTabItemLayout::make(ScreenScale::pixelWidth(*this), ScreenScale::pixelHeight(*this), displayMode_, static_cast<int>(moveDirections_.size()),
                                 isSelected_, isHovered_);
}

void PaneTabItemView::layoutControls() {
  const PaneTabItemLayout layout = itemLayout();
  moveButtonStack_->setVisible(layout.showsMoveButtons);
  moveButtonStack_->setGeometry(ScreenScale::toLocalDip(layout.moveStackFrame, *this));
  const int count = static_cast<int>(moveButtons_.size());
  for (int position = 0; position < count; ++position) {
    // Equal widths side by side, no spacing.
    const int left = moveButtonStack_->width() * position / count;
    const int right = moveButtonStack_->width() * (position + 1) / count;
    moveButtons_[static_cast<std::size_t>(position)]->setGeometry(left, 0, right - left, moveButtonStack_->height());
  }
  closeButton_->setGeometry(ScreenScale::toLocalDip(layout.closeButtonFrame, *this));
  selectButton_->setGeometry(ScreenScale::toLocalDip(layout.selectButtonFrame, *this));
}

void PaneTabItemView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaneTabBackdrop::paint(painter, QRectF(rect()), tintColor());
}

void PaneTabItemView::resizeEvent(QResizeEvent* event) {
  layoutControls();
  QWidget::resizeEvent(event);
}

void PaneTabItemView::moveEvent(QMoveEvent* event) {
  if (parentWidget()) parentWidget()->update();
  QWidget::moveEvent(event);
}

void PaneTabItemView::enterEvent(QEnterEvent* event) {
  isHovered_ = true;
  layoutControls();
  QWidget::enterEvent(event);
}

void PaneTabItemView::leaveEvent(QEvent* event) {
  isHovered_ = false;
  layoutControls();
  QWidget::leaveEvent(event);
}

}  // namespace tessarapane::ui
