// The tray menu, the hot-key settings window, the permission guide and the missing-tray notice as a user goes
// through them, in each language the locale can choose: what each shows and does, and every text it shows (none
// cut off, none missing from the English table). What the controllers behind them decide is the sim tests'
// business; here, that clicks, key presses and closing reach them and that their state is drawn right.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QSystemTrayIcon>
#include <QTest>

#include "UiTestSupport.h"
#include "app/LayoutControl.h"
#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimPlatform.h"
#include "backends/sim/SimScheduler.h"
#include "backends/sim/SimUserDefaults.h"
#include "hotkeys/HotKeyCenter.h"
#include "hotkeys/HotKeySettingsStore.h"
#include "hotkeys/HotKeySettingsWindowController.h"
#include "permission/PermissionGuideWindowController.h"
#include "ui/services/QtHotKeys.h"
#include "ui/tray/LayoutKindIconEngine.h"
#include "ui/windows/HotKeySettingsView.h"
#include "ui/windows/QtHotKeySettingsWindow.h"
#include "ui/windows/QtPermissionGuideWindow.h"
#include "app/StatusItemController.h"
#include "backends/sim/SimAlerts.h"
#include "sim/app/StatusItemDoubles.h"
#include "chrome/LayoutKindIcon.h"
#include "text/EnglishTexts.h"
#include "ui/style/GlyphButton.h"
#include "ui/style/GlyphTile.h"
#include "ui/style/SystemStyle.h"
#include "ui/tray/QtStatusBar.h"
#include "ui/tray/QtStatusItem.h"
#include "ui/tray/QtStatusMenu.h"
#include "ui/tray/StatusMenuStyle.h"
#include "ui/windows/HotKeyBindingRowView.h"
#include "ui/windows/PermissionRowView.h"

namespace tessarapane::ui {
namespace {

using namespace testing_support;
using Action = HotKeyAction;
using Row = std::tuple<std::string, std::string, std::string, bool>;

// A simulated desktop on virtual time, without a system tray, under the Qt windows.
struct SimUi {
  std::shared_ptr<SimScheduler> clock = std::make_shared<SimScheduler>();
  std::shared_ptr<SimDesktop> desktop = SimDesktop::create(clock);
  Platform platform = makeSimPlatform(desktop);
};

// What the user sees of the window: its title, then the texts and tool tips of its visible widgets in order, each text
// once, a one-line text wider than its widget marked; and a screenshot named `shot` for people to look at.
void look(QWidget& window, std::vector<std::string>& texts, const QString& shot = {}) {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  if (!shot.isEmpty()) saveScreenshot(grabImage(window), shot);
  const auto add = [&texts](const std::string& shown) {
    if (std::find(texts.begin(), texts.end(), shown) == texts.end()) texts.push_back(shown);
  };
  add("title: " + text(window.windowTitle()));
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    if (!widget->isVisible()) continue;
    const auto* label = qobject_cast<QLabel*>(widget);
    const auto* button = qobject_cast<QPushButton*>(widget);
    const QString shown = label ? label->text() : button ? button->text() : QString();
    QStyleOptionButton option;
    option.initFrom(widget);
    const int room = label ? label->contentsRect().width() : widget->style()->subElementRect(QStyle::SE_PushButtonContents, &option, widget).width();
    const bool cut = !(label && label->wordWrap()) && widget->fontMetrics().horizontalAdvance(shown) > room;
    if (!shown.isEmpty()) add(text(shown) + (cut ? " (cut off)" : ""));
    if (!widget->toolTip().isEmpty()) add("tip: " + text(widget->toolTip()));
  }
}

// Pixels of the menu's picture in `area`: blue ones, or dark ones (the check mark).
int ink(const QImage& shot, const QRect& area, bool blue) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor c = shot.pixelColor(x, y);
      count += (blue ? c.blue() - c.red() > 60 : c.lightness() < 110) ? 1 : 0;
    }
  }
  return count;
}

// The tray menu with a three-column layout running: its entries (checked, disabled, with a picture), their looks and
// the commands they give, and the icon on a desktop without a system tray.
std::shared_ptr<StatusItemController> useTheTrayMenu(SimUi& ui, std::vector<std::string>& texts, const QString& language) {
  // Shown before its picture is set, an icon waits for the picture: Qt would refuse to show it and never retry.
  QtStatusItem bare{ToolkitSpace()};
  bare.setVisible(true);
  EXPECT_FALSE(bare.trayIcon()->isVisible());
  auto control = std::make_shared<tessarapane::testing_support::FakeLayoutControl>();
  control->runningKind = LayoutKind::split3;
  StatusItemController::Callbacks callbacks;
  callbacks.onOpenHotKeySettings = [control] { control->commands.push_back("hot key settings"); };
  callbacks.onTerminate = [control] { control->commands.push_back("terminate"); };
  auto tray = StatusItemController::create(ui.platform, control, std::make_shared<QtStatusBar>(), callbacks);
  QtStatusItem& item = dynamic_cast<QtStatusItem&>(*tray->statusItem());
  QtStatusMenu& menu = dynamic_cast<QtStatusMenu&>(*item.menu());
  QSystemTrayIcon* icon = item.trayIcon();
  EXPECT_EQ(std::tuple(item.buttonHasImage(), icon->icon().isMask(), icon->isVisible(), icon->contextMenu(),
                       QSystemTrayIcon::isSystemTrayAvailable(), item.isVisible()),
            std::tuple(true, true, true, menu.menu(), false, false)) << "without a system tray the icon counts as hidden";
  texts.push_back("tip: " + text(icon->toolTip()));
  const int rebuilds = menu.rebuilds();
  menu.menu()->popup(QPoint(40, 40));
  const QList<QAction*> entries = menu.menu()->actions();
  for (QAction* a : entries) {
    texts.push_back(a->isSeparator() ? "---"
                                     : text(a->text()) + (a->isChecked() ? " ✓" : "") + (a->isEnabled() ? "" : " (off)") +
                                           (a->icon().isNull() ? "" : " [picture]"));
  }
  EXPECT_EQ(menu.rebuilds(), rebuilds) << "a refresh keeps the open menu's actions";
  const QFont header = entries[0]->font();
  EXPECT_EQ(std::tuple(header.bold(), header.pixelSize(), entries[0]->property(StatusMenuStyle::kSectionHeaderProperty).toBool(),
                       text(entries[7]->data().toString()), entries[17]->shortcut()),
            std::tuple(true, 11, true, std::string("split4"), QKeySequence(Qt::CTRL | Qt::Key_Q)));
  // The check mark and the picture sit side by side in the checked row; an unchecked row has the picture only.
  const QImage shot = grabImage(*menu.menu());
  saveScreenshot(shot, QStringLiteral("status-menu-") + language);
  const QRect checkedRow = menu.menu()->actionGeometry(entries[3]), otherRow = menu.menu()->actionGeometry(entries[1]);
  EXPECT_GT(ink(shot, StatusMenuStyle::checkRect(checkedRow), false), 6);
  EXPECT_EQ(ink(shot, StatusMenuStyle::checkRect(otherRow), false), 0);
  EXPECT_GT(std::min(ink(shot, StatusMenuStyle::pictureRect(checkedRow), true), ink(shot, StatusMenuStyle::pictureRect(otherRow), true)), 40);
  menu.menu()->hide();
  for (int index : {2, 10, 13, 17}) entries[index]->trigger();
  EXPECT_EQ(control->commands, (std::vector<std::string>{"startLayout split2", "startBento", "hot key settings", "exitLayout forgetting", "terminate"}));
  item.setVisible(false);
  EXPECT_FALSE(icon->isVisible());
  return tray;
}

// Records a chord, is refused one that another action holds, sets one with Space, removes one, and closes the
// window while recording.
void useTheHotKeySettings(SimUi& ui, std::vector<std::string>& texts, const QString& language) {
  // Wired to the desktop's global hot keys as the program wires it.
  auto hotKeys = std::make_shared<QtHotKeys>(ui.platform.hotKeys);
  ui.platform.hotKeys = hotKeys;
  const std::shared_ptr<HotKeyCenter> center = HotKeyCenter::create(ui.platform);
  auto store = std::make_shared<HotKeySettingsStore>(ui.desktop->userDefaults());
  store->onChange = [weak = std::weak_ptr(center)](const HotKeyBindings& b) { if (auto c = weak.lock()) c->updateBindings(b); };
  center->updateBindings(store->bindings());
  const auto settings = std::make_shared<QtHotKeySettingsWindow>();
  const auto controller = HotKeySettingsWindowController::create(store, center, hotKeys, settings);
  QtHotKeySettingsWindow& window = *settings;
  window.setController(controller);
  controller->showWindow();
  HotKeySettingsView& view = *window.view();
  const auto click = [&view](Action action, bool record = true) {
    HotKeyBindingRowView& row = *view.rowView(action);
    QTest::mouseClick(record ? static_cast<QAbstractButton*>(row.recordButton()) : row.clearButton(), Qt::LeftButton);
  };
  // From the window system, reaching the window first.
  const auto type = [&window](Qt::Key key, Qt::KeyboardModifiers modifiers) { QTest::keyClick(window.windowHandle(), key, modifiers); };
  QLabel& conflict = *view.conflictLabel();
  // Each row: title, chord shown, record button, clear button shown.
  const auto rows = [&] {
    std::vector<Row> result;
    for (HotKeyBindingRowView* r : view.rowViews()) {
      result.emplace_back(text(r->titleLabel()->text()), text(r->chordLabel()->text()), text(r->recordButton()->text()),
                          r->clearButton()->isVisible());
    }
    return result;
  };
  const auto row = [](const char* title, const std::string& chord, const char* button, bool clear) {
    return Row{localized(title), chord, localized(button), clear};
  };
  EXPECT_EQ(std::tuple(window.isVisible(), window.size(), window.minimumSize(), window.maximumSize(),
                       window.windowFlags().testFlag(Qt::WindowStaysOnTopHint), window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint)),
            std::tuple(true, QSize(460, 360), QSize(460, 360), QSize(460, 360), true, false));
  EXPECT_EQ(rows(), (std::vector<Row>{row("移到左侧", "⌃⌥←", "设置", true), row("移到右侧", "⌃⌥→", "设置", true),
                                      row("移到上方", "⌃⌥↑", "设置", true), row("移到下方", "⌃⌥↓", "设置", true),
                                      row("全屏", "⌃⌥↩", "设置", true)}));
  HotKeyBindingRowView& left = *view.rowView(Action::moveLeft);
  EXPECT_EQ(std::tuple(left.titleLabel()->width(), left.recordButton()->width(), QFontInfo(left.chordLabel()->font()).fixedPitch(),
                       view.notes().size(), conflict.isVisible()), std::tuple(88, 56, true, std::size_t{1}, false));
  EXPECT_LE(view.notes()[0]->mapTo(&window, QPoint(view.notes()[0]->width(), 0)).x(), 460) << "the note wraps";
  for (HotKeyBindingRowView* each : view.rowViews()) EXPECT_LE(each->mapTo(&window, QPoint(0, each->height())).y(), 340);
  look(window, texts, QStringLiteral("hot-key-settings-") + language);

  // Recording shows in the row in the accent colour, the global hot keys suspended meanwhile.
  click(Action::moveLeft);
  EXPECT_EQ(std::tuple(rows()[0], center->isSuspended(), left.chordLabel()->palette().color(QPalette::WindowText)),
            std::tuple(row("移到左侧", localized("按下快捷键…"), "取消", false), true, SystemStyle::accent(left)));
  type(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(std::tuple(store->chord(Action::moveLeft), rows()[0], center->isSuspended()),
            std::tuple(KeyChord{0, KeyChord::kControl}, row("移到左侧", "⌃A", "设置", true), false));
  // A chord taken by another action is refused with a red line until the next recording.
  click(Action::moveRight);
  type(Qt::Key_Up, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(std::pair(conflict.isVisible(), conflict.palette().color(QPalette::WindowText)), std::pair(true, SystemStyle::systemRed()));
  look(window, texts, QStringLiteral("hot-key-settings-conflict-") + language);
  click(Action::fullScreen);
  EXPECT_FALSE(conflict.isVisible());
  type(Qt::Key_Space, Qt::ControlModifier);
  // The remove button clears a binding; closing while recording cancels and gives the hot keys back.
  click(Action::moveUp, false);
  click(Action::moveDown);
  EXPECT_EQ(std::tuple(rows()[2], rows()[4], center->isSuspended()),
            std::tuple(row("移到上方", localized("未设置"), "设置", false), row("全屏", "⌃" + localized("空格"), "设置", true), true));
  look(window, texts);
  window.close();
  EXPECT_FALSE(window.isVisible() || center->isSuspended() || controller->recorder()->recordingAction());
}

// On a desktop without a window manager, then with one started meanwhile: the button shows it without waiting for
// the poll, and closing stops the polling.
void useTheGuide(SimUi& ui, std::vector<std::string>& texts, const QString& language) {
  ui.desktop->setProcessTrusted(false);
  const auto guide = std::make_shared<QtPermissionGuideWindow>(bentoIcon());
  const auto controller = PermissionGuideWindowController::create(ui.platform, guide);
  QtPermissionGuideWindow& window = *guide;
  window.setController(controller);
  controller->show();
  PermissionRowView& row = *window.rowViews().at(0);
  const auto shown = [&] {
    return std::tuple(text(row.statusLabel()->text()), row.checkMark()->isVisible(), row.authorizeButton()->isVisible(),
                      window.closeButton()->isDefault());
  };
  EXPECT_EQ(std::tuple(window.isVisible(), window.width(), window.rowViews().size()), std::tuple(true, 420, std::size_t{1}));
  EXPECT_EQ(shown(), std::tuple(controller->content().rows[0].status, false, true, false));
  // The wrapped status fits: nothing is cut off at the bottom.
  EXPECT_LE(window.closeButton()->geometry().bottom(), window.height());
  EXPECT_LE(row.geometry().bottom(), window.closeButton()->geometry().top());
  look(window, texts, QStringLiteral("permission-guide-") + language);
  ui.desktop->setProcessTrusted(true);
  QTest::mouseClick(row.authorizeButton(), Qt::LeftButton);
  EXPECT_EQ(shown(), std::tuple(controller->content().rows[0].status, true, false, true));
  look(window, texts, QStringLiteral("permission-guide-ready-") + language);
  QTest::mouseClick(window.closeButton(), Qt::LeftButton);
  EXPECT_FALSE(window.isVisible() || controller->model()->isPolling()) << "closing stops the polling";
}

std::vector<std::string> shownTexts(const QString& language) {
  SimUi ui;
  std::vector<std::string> texts;
  auto tray = useTheTrayMenu(ui, texts, language);
  useTheHotKeySettings(ui, texts, language);
  useTheGuide(ui, texts, language);
  // The notice of the missing tray: the item made again once, then the user told.
  ui.clock->advance(12.0);
  for (const SimAlerts::Shown& alert : ui.desktop->alerts()->shown()) {
    texts.insert(texts.end(), {"alert: " + alert.title, alert.message});
    texts.insert(texts.end(), alert.buttons.begin(), alert.buttons.end());
  }
  tray.reset();
  flushDeferredDeletes();
  return texts;
}

TEST(TrayAndWindows, EachShowsAndDoesItsPartInEitherLanguage) {
  localization::install(makeLocalizer(Language::chinese));
  const std::vector<std::string> chinese = shownTexts(QStringLiteral("zh"));
  const auto english = std::make_shared<TableLocalizer>(EnglishTexts::table());
  localization::install(english);
  const std::vector<std::string> shownInEnglish = shownTexts(QStringLiteral("en"));
  localization::install(nullptr);

  EXPECT_EQ(chinese, (std::vector<std::string>{
      "tip: Tessarapane", "Tab Mode (off)", "全屏（1 格） [picture]", "左右二分（2 格） [picture]", "左右三等分（3 格） ✓ [picture]",
      "上下二分（2 格） [picture]", "1+2（3 格） [picture]", "2+1（3 格） [picture]", "四等分（4 格） [picture]", "---",
      "Grid Mode (off)", "网格 [picture]", "---", "退出当前布局", "快捷键设置…", "---", "窗口管理器状态… ✓", "---", "退出 Tessarapane",
      "title: 快捷键设置", "移动窗口", "移到左侧", "⌃⌥←", "tip: 移除快捷键", "设置", "移到右侧", "⌃⌥→", "移到上方", "⌃⌥↑",
      "移到下方", "⌃⌥↓", "仅在 Tab Mode 中生效，效果与 Tab 栏箭头相同。全屏 1 格时，左右快捷键会切换到左右二分。", "布局", "全屏",
      "⌃⌥↩", "快捷键已被「移到上方」占用", "⌃A", "未设置", "按下快捷键…", "取消", "⌃空格",
      "title: 设置 Tessarapane", "设置 Tessarapane", "开启以下权限后即可使用", "稍后", "窗口管理器", "移动和调整其他 App 的窗口",
      "没有检测到支持 EWMH 的窗口管理器。请启动一个窗口管理器（例如 openbox、xfwm4 或 KWin），Tessarapane 会自动继续。",
      "重新检查", "一切就绪", "开始使用", "窗口管理器「simwm」已就绪。", "alert: 找不到系统托盘",
      "Tessarapane 正在运行，但这个桌面没有能显示它图标的系统托盘（StatusNotifier 或 XEmbed 托盘）。\n\n"
      "快捷键和“tessarapane ctl”命令照常可用。\n在 GNOME 中请安装并启用 AppIndicator 扩展（软件包 "
      "gnome-shell-extension-appindicator）；在其他桌面请在面板上添加“系统托盘”或“通知区域”。",
      "打开帮助", "稍后"}));
  EXPECT_EQ(shownInEnglish, (std::vector<std::string>{
      "tip: Tessarapane", "Tab Mode (off)", "Full Screen (1 pane) [picture]", "Two Columns (2 panes) [picture]",
      "Three Columns (3 panes) ✓ [picture]", "Two Rows (2 panes) [picture]", "1+2 (3 panes) [picture]", "2+1 (3 panes) [picture]",
      "Four Quarters (4 panes) [picture]", "---", "Grid Mode (off)", "Grid [picture]", "---", "Leave Current Layout",
      "Keyboard Shortcuts…", "---", "Window Manager Status… ✓", "---", "Quit Tessarapane",
      "title: Keyboard Shortcuts", "Move Window", "Move Left", "⌃⌥←", "tip: Remove shortcut", "Set", "Move Right", "⌃⌥→",
      "Move Up", "⌃⌥↑", "Move Down", "⌃⌥↓",
      "Works in Tab Mode only, like the arrows on a tab strip. In Full Screen (1 pane), the left and right shortcuts "
      "switch to Two Columns.",
      "Layout", "Full Screen", "⌃⌥↩", "This shortcut is already used by “Move Up”", "⌃A", "Not set", "Press a shortcut…",
      "Cancel", "⌃Space", "title: Set Up Tessarapane", "Set Up Tessarapane", "Tessarapane needs the following to work",
      "Later", "Window Manager", "Move and resize other applications' windows",
      "No EWMH window manager is running. Start one (for example openbox, xfwm4 or KWin); Tessarapane carries on by "
      "itself.",
      "Check Again", "All set", "Get Started", "The window manager “simwm” is ready.", "alert: No System Tray",
      "Tessarapane is running, but this desktop has no system tray to show its icon (a StatusNotifier host or an XEmbed "
      "tray).\n\nThe keyboard shortcuts and the “tessarapane ctl” command work as usual.\nOn GNOME, install and enable "
      "the AppIndicator extension (package gnome-shell-extension-appindicator); on other desktops, add a “System Tray” "
      "or “Notification Area” item to a panel.",
      "Open Help", "Later"}));
  EXPECT_EQ(english->missingKeys(), std::set<std::string>{});
}

bool isPaneBlue(const QColor& color) { return color.alpha() > 128 && color.blue() - color.red() > 60; }

QImage render(const QIcon& icon, QSize size, qreal scale) {
  return icon.pixmap(size, scale).toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST(TrayAndWindows, LayoutIconsDrawEachPaneWhereItLiesAndTheTrayIconIsATintedTemplate) {
  QImage sheet(8 * 48 + 16, 40, QImage::Format_ARGB32);
  sheet.fill(QColor(236, 236, 236));
  QPainter painter(&sheet);
  for (std::size_t i = 0; i < kAllLayoutKinds.size(); ++i) {
    const QImage image = render(layoutKindIcon(kAllLayoutKinds[i]), QSize(22, 16), 2.0);
    ASSERT_EQ(image.size(), QSize(44, 32));
    // The centre of every pane is blue and the gaps between panes are not; the picture's y axis points up.
    for (const Rect& pane : LayoutKindIcon::paneRects(kAllLayoutKinds[i], Rect(2, 2, 18, 12), 1.5)) {
      EXPECT_TRUE(isPaneBlue(image.pixelColor(static_cast<int>(pane.midX() * 2), static_cast<int>((16 - pane.midY()) * 2))));
      EXPECT_FALSE(isPaneBlue(image.pixelColor(static_cast<int>(pane.maxX() * 2 + 1), static_cast<int>((16 - pane.midY()) * 2))));
    }
    painter.drawImage(8 + static_cast<int>(i) * 48, 4, image);
  }
  painter.drawImage(8 + 7 * 48, 4, render(bentoIcon(), QSize(22, 16), 2.0));
  painter.end();
  saveScreenshot(sheet, QStringLiteral("layout-icons"), 0);
  // The plate dark grey around a pane of the exact blue; the tray icon stroked in its tint, empty beside the divider.
  const QImage full = render(layoutKindIcon(LayoutKind::fullScreen), QSize(22, 16), 4.0);
  EXPECT_EQ(std::tuple(full.pixelColor(4, 32).red(), full.pixelColor(4, 32).blue(), full.pixelColor(0, 0).alpha(),
                       full.pixelColor(44, 32).rgba()), std::tuple(56, 56, 0, QColor::fromRgbF(0.29f, 0.56f, 0.98f).rgba()));
  const QIcon tray = statusBarIcon(QColor(200, 30, 30));
  const QImage trayImage = render(tray, QSize(18, 18), 4.0);
  const QColor stroke = trayImage.pixelColor(36, 36);  // the divider line in the middle
  EXPECT_EQ(std::tuple(tray.isMask(), stroke.red(), stroke.green(), stroke.alpha() > 240, trayImage.pixelColor(20, 36).alpha(),
                       trayImage.pixelColor(8, 36).alpha() > 200), std::tuple(true, 200, 30, true, 0, true));
}

}  // namespace
}  // namespace tessarapane::ui
