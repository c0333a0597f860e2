#include "ui/windows/QtHotKeySettingsWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include <utility>

#include "ui/services/QtConversions.h"
#include "ui/windows/HotKeySettingsView.h"

namespace tessarapane::ui {

QtHotKeySettingsWindow::QtHotKeySettingsWindow()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::WindowStaysOnTopHint) {
  setWindowTitle(toQString(HotKeySettingsContent::windowTitle()));
  setFixedSize(kWidth, kHeight);
  HotKeyBindingRowView::Handlers handlers;
  handlers.record = [this](HotKeyAction action) {
    if (const auto controller = controller_.lock()) controller->record(action);
  };
  handlers.cancel = [this] {
    if (const auto controller = controller_.lock()) controller->cancelRecording();
  };
  handlers.clear = [this](HotKeyAction action) {
    if (const auto controller = controller_.lock()) controller->clear(action);
  };
  view_ = new HotKeySettingsView(std::move(handlers), this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);
}

void QtHotKeySettingsWindow::setController(std::weak_ptr<HotKeySettingsWindowController> controller) {
  controller_ = std::move(controller);
}

void QtHotKeySettingsWindow::show() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  QWidget::show();
  raise();
  activateWindow();
}

void QtHotKeySettingsWindow::close() { QWidget::close(); }

bool QtHotKeySettingsWindow::isVisible() const { return QWidget::isVisible(); }

void QtHotKeySettingsWindow::refreshRows(const std::vector<HotKeySettingsGroup>& groups) { view_->setGroups(groups); }

void QtHotKeySettingsWindow::showConflict(const std::optional<std::string>& message) { view_->setConflict(message); }

void QtHotKeySettingsWindow::closeEvent(QCloseEvent* event) {
  if (const auto controller = controller_.lock()) controller->windowWillClose();
  QWidget::closeEvent(event);
}

void QtHotKeySettingsWindow::hideEvent(QHideEvent* event) {
  if (const auto controller = controller_.lock()) controller->viewDidDisappear();
  QWidget::hideEvent(event);
}

}  // namespace tessarapane::ui
