#pragma once

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QColor>
#include <QDir>
#include <QEnterEvent>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include <map>
#include <string>

#include "app/LayoutControl.h"
#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimPlatform.h"
#include "backends/sim/SimScheduler.h"
#include "backends/sim/SimUserDefaults.h"
#include "hotkeys/HotKeyCenter.h"
#include "hotkeys/HotKeySettingsStore.h"
#include "hotkeys/HotKeySettingsWindowController.h"
#include "permission/PermissionGuideWindowController.h"
#include "platform/ManagedWindow.h"
#include "ui/overlay/ApplicationIconProvider.h"
#include "ui/services/QtHotKeys.h"
#include "ui/style/GlyphButton.h"
#include "ui/tray/LayoutKindIconEngine.h"
#include "ui/windows/HotKeyBindingRowView.h"
#include "ui/windows/HotKeySettingsView.h"
#include "ui/windows/QtHotKeySettingsWindow.h"
#include "ui/windows/QtPermissionGuideWindow.h"

namespace tessarapane::ui::testing_support {

// Icons as plain coloured squares, for the processes given a colour; counts how often it is asked.
class FakeIconProvider final : public ApplicationIconProvider {
 public:
  QImage applicationIcon(ProcessID pid) override {
    ++requests[pid];
    if (!colors.contains(pid)) return {};
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(colors[pid]);
    return image;
  }
  std::map<ProcessID, QColor> colors;
  std::map<ProcessID, int> requests;
};

inline std::string text(const QString& value) { return value.toStdString(); }

// What the widget shows at `scale` device pixels per point, pending layout passes run first as the loop would.
inline QImage grabImage(QWidget& widget, qreal scale = 1.0) {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  if (scale == 1.0) return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
  QImage image(widget.size() * scale, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(scale);
  image.fill(Qt::transparent);
  widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  image.setDevicePixelRatio(1.0);
  return image.convertToFormat(QImage::Format_ARGB32);
}

// Writes a PNG for people to look at into the build's screenshot folder, over a desktop-like backdrop so that
// translucent panels can be judged by eye.
inline void saveScreenshot(const QImage& image, const QString& name, int margin = 12) {
  QImage canvas(image.width() + 2 * margin, image.height() + 2 * margin, QImage::Format_ARGB32);
  QPainter painter(&canvas);
  QLinearGradient gradient(0, 0, canvas.width(), canvas.height());
  gradient.setColorAt(0, QColor(96, 122, 160));
  gradient.setColorAt(1, QColor(180, 150, 130));
  painter.fillRect(canvas.rect(), gradient);
  painter.drawImage(margin, margin, image);
  painter.end();
  const QDir folder(QStringLiteral(TESSARAPANE_SCREENSHOT_DIR));
  folder.mkpath(QStringLiteral("."));
  canvas.save(folder.filePath(name + QStringLiteral(".png")));
}

inline void hover(QWidget& widget, bool entering = true) {
  const QPointF centre(widget.width() / 2.0, widget.height() / 2.0);
  QEnterEvent enter(centre, widget.mapTo(widget.window(), centre), widget.mapToGlobal(centre));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&widget, entering ? static_cast<QEvent*>(&enter) : &leave);
}

// Deletes what deleteLater() queued.
inline void flushDeferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// A simulated desktop on virtual time, without a system tray, under the Qt windows.
struct SimUi {
  std::shared_ptr<SimScheduler> clock = std::make_shared<SimScheduler>();
  std::shared_ptr<SimDesktop> desktop = SimDesktop::create(clock);
  Platform platform = makeSimPlatform(desktop);
};

// The layouts as the tray menu sees them: what runs, and the commands it was given.
struct FakeLayoutControl final : LayoutControl {
  std::optional<LayoutKind> runningLayoutKind() const override { return runningKind; }
  std::optional<std::size_t> runningBentoTileCount() const override { return std::nullopt; }
  void startLayout(LayoutKind kind) override { commands.push_back("start " + std::string(rawValue(kind))); }
  void startBento() override { commands.push_back("start grid"); }
  void exitLayout(bool keeping) override { commands.push_back(keeping ? "exit keeping" : "exit forgetting"); }
  std::optional<LayoutKind> runningKind;
  std::vector<std::string> commands;
};

// The hot-key settings window wired to the desktop's global hot keys as the program wires it, and shown.
struct HotKeySettingsRig {
  explicit HotKeySettingsRig(SimUi& ui) : hotKeys(std::make_shared<QtHotKeys>(ui.platform.hotKeys)) {
    ui.platform.hotKeys = hotKeys;
    center = HotKeyCenter::create(ui.platform);
    store = std::make_shared<HotKeySettingsStore>(ui.desktop->userDefaults());
    store->onChange = [weak = std::weak_ptr(center)](const HotKeyBindings& b) { if (auto c = weak.lock()) c->updateBindings(b); };
    center->updateBindings(store->bindings());
    controller = HotKeySettingsWindowController::create(store, center, hotKeys, window);
    window->setController(controller);
    controller->showWindow();
  }
  HotKeySettingsView& view() const { return *window->view(); }
  void click(HotKeyAction action, bool record = true) const {
    HotKeyBindingRowView& row = *view().rowView(action);
    QTest::mouseClick(record ? static_cast<QAbstractButton*>(row.recordButton()) : row.clearButton(), Qt::LeftButton);
  }
  // From the window system, reaching the window first.
  void type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
    QTest::keyClick(window->windowHandle(), key, modifiers);
  }

  std::shared_ptr<QtHotKeys> hotKeys;
  std::shared_ptr<HotKeyCenter> center;
  std::shared_ptr<HotKeySettingsStore> store;
  std::shared_ptr<QtHotKeySettingsWindow> window = std::make_shared<QtHotKeySettingsWindow>();
  std::shared_ptr<HotKeySettingsWindowController> controller;
};

// The permission guide on the desktop, shown.
struct GuideRig {
  explicit GuideRig(SimUi& ui) : controller(PermissionGuideWindowController::create(ui.platform, window)) {
    window->setController(controller);
    controller->show();
  }
  std::shared_ptr<QtPermissionGuideWindow> window = std::make_shared<QtPermissionGuideWindow>(bentoIcon());
  std::shared_ptr<PermissionGuideWindowController> controller;
};

}  // namespace tessarapane::ui::testing_support
