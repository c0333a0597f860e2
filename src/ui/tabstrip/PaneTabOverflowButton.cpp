#include "ui/tabstrip/PaneTabOverflowButton.h"

#include <QMenu>
#include <QPainter>
#include <QPushButton>

#include "chrome/PaneTabTexts.h"
#include "ui/services/QtConversions.h"
#include "ui/tabstrip/PaneTabBackdrop.h"

namespace tessarapane::ui {

namespace {
// The menu opens this far below the button.
constexpr int kMenuGap = 4;
}  // namespace

PaneTabOverflowButton::PaneTabOverflowButton(std::function<void(int)> selectionHandler,
                                             std::shared_ptr<ApplicationIcons> icons, QWidget* parent)
    : QWidget(parent), selectionHandler_(std::move(selectionHandler)), icons_(std::move(icons)) {
  setFocusPolicy(Qt::NoFocus);
  button_ = new QPushButton(this);
  button_->setFocusPolicy(Qt::NoFocus);
  button_->setFlat(true);
  // Borderless: the backdrop behind it is the button's look.
  button_->setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; padding: 0;"
                                        " color: rgba(255, 255, 255, 240); font-size: 11px; font-weight: 600; }"));
  connect(button_, &QPushButton::clicked, this, [this] { showMenu(); });
}

void PaneTabOverflowButton::updateEntries(std::vector<Entry> entries) {
  entries_ = std::move(entries);
  const int count = static_cast<int>(entries_.size());
  button_->setText(toQString(PaneTabTexts::overflowTitle(count)));
  const QString tip = toQString(PaneTabTexts::overflowToolTip(count));
  button_->setToolTip(tip);
  setToolTip(tip);
}

QMenu* PaneTabOverflowButton::makeMenu() {
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  for (const auto& [tabIndex, tab] : entries_) {
    QAction* action = menu->addAction(toQString(tab.title));
    if (icons_) {
      const QPixmap icon = icons_->tabIcon(tab.ownerPID);
      if (!icon.isNull()) action->setIcon(QIcon(icon));
    }
    action->setData(tabIndex);
    connect(action, &QAction::triggered, this, [this, tabIndex = tabIndex] {
      if (selectionHandler_) selectionHandler_(tabIndex);
    });
  }
  return menu;
}

void PaneTabOverflowButton::showMenu() { makeMenu()->popup(mapToGlobal(QPoint(0, height() + kMenuGap))); }

void PaneTabOverflowButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaneTabBackdrop::paint(painter, QRectF(rect()), whiteColor(1.0, 0.13));
}

void PaneTabOverflowButton::resizeEvent(QResizeEvent* event) {
  button_->setGeometry(rect());
  QWidget::resizeEvent(event);
}

}  // namespace tessarapane::ui
