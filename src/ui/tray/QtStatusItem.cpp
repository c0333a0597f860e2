#include "ui/tray/QtStatusItem.h"

#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPalette>
#include <QSystemTrayIcon>

#include <utility>

#include "ui/services/QtConversions.h"
#include "ui/tray/LayoutKindIconEngine.h"
#include "ui/tray/QtStatusMenu.h"
#include "windows/ScreenIdentity.h"

namespace tessarapane::ui {

namespace {

constexpr int kTitleIconSide = 36;

// Trays show icons only: a text title becomes a picture of the text.
QIcon titleIcon(const QString& title) {
  QPixmap pixmap(kTitleIconSide, kTitleIconSide);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::TextAntialiasing);
  QFont font = painter.font();
  font.setPixelSize(kTitleIconSide / 2);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(QGuiApplication::palette().color(QPalette::WindowText));
  painter.drawText(pixmap.rect(), Qt::AlignCenter, title);
  return QIcon(pixmap);
}

}  // namespace

QtStatusItem::QtStatusItem(ToolkitSpace space) : space_(std::move(space)), tray_(new QSystemTrayIcon) {
  // A click opens the menu, as on a menu bar; the context-menu gesture too.
  QObject::connect(tray_, &QSystemTrayIcon::activated, tray_, [tray = tray_](QSystemTrayIcon::ActivationReason reason) {
    if (reason != QSystemTrayIcon::Trigger || !tray || !tray->contextMenu()) return;
    tray->contextMenu()->popup(QCursor::pos());
  });
}

QtStatusItem::~QtStatusItem() {
  if (tray_) {
    tray_->hide();
    tray_->setContextMenu(nullptr);
    tray_->deleteLater();
  }
}

void QtStatusItem::setVisible(bool visible) {
  wantsVisible_ = visible;
  showWhenDrawable();
}

// Qt refuses (with a warning) to show a tray icon that has no picture yet; the
// item is made visible before its picture is set, so showing waits for one.
void QtStatusItem::showWhenDrawable() {
  if (tray_) tray_->setVisible(wantsVisible_ && !tray_->icon().isNull());
}

bool QtStatusItem::isVisible() const {
  return tray_ && wantsVisible_ && QSystemTrayIcon::isSystemTrayAvailable();
}

// The tray icon object always exists, whether or not a tray shows it yet
// (Qt shows it once one appears).
bool QtStatusItem::hasButton() const { return tray_ != nullptr; }

void QtStatusItem::setButtonImage(const LayoutKindIcon::Image& image) {
  if (!tray_) return;
  // A template picture takes the desktop's text colour, as a menu bar tints it.
  tray_->setIcon(iconFor(image, QGuiApplication::palette().color(QPalette::WindowText)));
  hasImage_ = !tray_->icon().isNull();
  showWhenDrawable();
}

bool QtStatusItem::buttonHasImage() const { return hasImage_; }

void QtStatusItem::setButtonTitle(const std::string& title) {
  if (!tray_ || hasImage_) return;
  tray_->setIcon(titleIcon(toQString(title)));
  showWhenDrawable();
}

void QtStatusItem::setButtonToolTip(const std::string& text) {
  if (tray_) tray_->setToolTip(toQString(text));
}

void QtStatusItem::setMenu(std::shared_ptr<StatusMenu> menu) {
  menu_ = std::move(menu);
  if (!tray_) return;
  const auto* qtMenu = dynamic_cast<QtStatusMenu*>(menu_.get());
  tray_->setContextMenu(qtMenu ? qtMenu->menu() : nullptr);
}

std::optional<Rect> QtStatusItem::buttonWindowFrame() const {
  if (!tray_ || !QSystemTrayIcon::isSystemTrayAvailable()) return std::nullopt;
  const QRect geometry = tray_->geometry();
  if (geometry.isNull()) return std::nullopt;
  // On a scaled display Qt reports the embedded icon in mixed units (at 200 %
  // a 22-pixel icon at x 1417 comes as 698,1 22x11); scaled, it would read as
  // an icon parked at the screen's edge. Its numbers are taken as they come.
  return ScreenIdentity::convertFrame(toRect(QRectF(geometry)), space_.screens());
}

std::optional<Screen> QtStatusItem::buttonWindowScreen() const {
  const std::optional<Rect> frame = buttonWindowFrame();
  if (!frame) return std::nullopt;
  const Point centre{frame->midX(), frame->midY()};
  for (const Screen& screen : space_.screens()) {
    if (screen.frame.contains(centre)) return screen;
  }
  return std::nullopt;
}

}  // namespace tessarapane::ui
