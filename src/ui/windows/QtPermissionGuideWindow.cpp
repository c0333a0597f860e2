#include "ui/windows/QtPermissionGuideWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <utility>

#include "ui/services/QtConversions.h"
#include "ui/style/SystemStyle.h"
#include "ui/windows/PermissionRowView.h"

namespace tessarapane::ui {

namespace {

constexpr int kMargin = 20;
constexpr int kSpacing = 16;
constexpr int kTitleSize = 20;  // the third title size

}  // namespace

QtPermissionGuideWindow::QtPermissionGuideWindow(QIcon applicationIcon)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  // The status text wraps; the window grows to hold it.
  setFixedWidth(kWidth);
  setMinimumHeight(kHeight);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
  layout->setSpacing(kSpacing);

  auto* header = new QHBoxLayout;
  header->setSpacing(12);
  auto* icon = new QLabel(this);
  icon->setFixedSize(kIconSide, kIconSide);
  icon->setPixmap(applicationIcon.pixmap(QSize(kIconSide, kIconSide), devicePixelRatioF()));
  header->addWidget(icon);
  auto* titles = new QVBoxLayout;
  titles->setSpacing(2);
  titleLabel_ = new QLabel(this);
  titleLabel_->setFont(SystemStyle::title(kTitleSize, QFont::Bold));
  subtitleLabel_ = new QLabel(this);
  subtitleLabel_->setFont(SystemStyle::body());
  QPalette secondary = subtitleLabel_->palette();
  secondary.setColor(QPalette::WindowText, SystemStyle::secondaryText(*this));
  subtitleLabel_->setPalette(secondary);
  titles->addWidget(titleLabel_);
  titles->addWidget(subtitleLabel_);
  header->addLayout(titles, 1);
  layout->addLayout(header);

  rowsLayout_ = new QVBoxLayout;
  rowsLayout_->setSpacing(8);
  layout->addLayout(rowsLayout_);
  layout->addStretch(1);

  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  closeButton_ = new QPushButton(this);
  connect(closeButton_, &QPushButton::clicked, this, [this] {
    if (const auto controller = controller_.lock()) {
      controller->close();
    } else {
      QWidget::close();
    }
  });
  bottom->addWidget(closeButton_);
  layout->addLayout(bottom);
}

void QtPermissionGuideWindow::setController(std::weak_ptr<PermissionGuideWindowController> controller) {
  controller_ = std::move(controller);
}

bool QtPermissionGuideWindow::isVisible() const { return QWidget::isVisible(); }

void QtPermissionGuideWindow::center() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

void QtPermissionGuideWindow::makeKeyAndOrderFront() {
  show();
  raise();
  activateWindow();
}

void QtPermissionGuideWindow::close() { QWidget::close(); }

void QtPermissionGuideWindow::refresh(const PermissionGuideContent& content) {
  titleLabel_->setText(toQString(content.title));
  // Named for the taskbar and window lists as well as in its header.
  setWindowTitle(titleLabel_->text());
  subtitleLabel_->setText(toQString(content.subtitle));
  while (rowViews_.size() < content.rows.size()) {
    auto* row = new PermissionRowView(
        [this](AppPermission permission) {
          if (const auto controller = controller_.lock()) controller->authorize(permission);
        },
        this);
    rowsLayout_->addWidget(row);
    rowViews_.push_back(row);
  }
  while (rowViews_.size() > content.rows.size()) {
    rowViews_.back()->hide();
    rowViews_.back()->deleteLater();
    rowViews_.pop_back();
  }
  for (std::size_t index = 0; index < content.rows.size(); ++index) rowViews_[index]->setRow(content.rows[index]);
  closeButton_->setText(toQString(content.closeButtonTitle));
  // The default button answers Return.
  closeButton_->setDefault(content.closeButtonIsDefault);
  closeButton_->setAutoDefault(content.closeButtonIsDefault);
  adjustSize();
}

void QtPermissionGuideWindow::closeEvent(QCloseEvent* event) {
  if (const auto controller = controller_.lock()) controller->windowWillClose();
  QWidget::closeEvent(event);
}

}  // namespace tessarapane::ui
