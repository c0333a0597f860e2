// The tray menu and the hot-key settings window in each language the locale can choose: every text they show, none
// cut off, and none missing from the English table. TESSARAPANE_TEXT_SCREENSHOTS=<folder> saves what they look like.
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
#include "app/StatusItemController.h"
#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimPlatform.h"
#include "backends/sim/SimScheduler.h"
#include "backends/sim/SimUserDefaults.h"
#include "hotkeys/HotKeyCenter.h"
#include "hotkeys/HotKeySettingsStore.h"
#include "hotkeys/HotKeySettingsWindowController.h"
#include "text/EnglishTexts.h"
#include "ui/GlyphButton.h"
#include "ui/HotKeyBindingRowView.h"
#include "ui/HotKeySettingsView.h"
#include "ui/QtHotKeySettingsWindow.h"
#include "ui/QtHotKeys.h"
#include "ui/QtStatusBar.h"
#include "ui/QtStatusItem.h"
#include "ui/QtStatusMenu.h"

namespace tessarapane::ui {
namespace {

using namespace testing_support;

struct NoLayout final : LayoutControl {
  std::optional<LayoutKind> runningLayoutKind() const override { return std::nullopt; }
  std::optional<std::size_t> runningBentoTileCount() const override { return std::nullopt; }
  void startLayout(LayoutKind) override {}
  void startBento() override {}
  void exitLayout(bool) override {}
};

void screenshot(QWidget& widget, const QString& name) {
  const QString folder = qEnvironmentVariable("TESSARAPANE_TEXT_SCREENSHOTS");
  if (!folder.isEmpty()) grabImage(widget).save(folder + QStringLiteral("/") + name + QStringLiteral(".png"));
}

// The window's title, then the texts and tool tips of its visible widgets in order, each text once; a one-line text
// wider than its widget is marked.
void addShownTexts(QWidget& window, std::vector<std::string>& texts) {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
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

std::vector<std::string> shownTexts(const QString& language) {
  auto clock = std::make_shared<SimScheduler>();
  auto desktop = SimDesktop::create(clock);
  Platform platform = makeSimPlatform(desktop);
  auto tray = StatusItemController::create(platform, std::make_shared<NoLayout>(), std::make_shared<QtStatusBar>(), {});
  auto& item = dynamic_cast<QtStatusItem&>(*tray->statusItem());
  QMenu& menu = *dynamic_cast<QtStatusMenu&>(*item.menu()).menu();
  menu.popup(QPoint(40, 40));
  std::vector<std::string> texts{"tip: " + text(item.trayIcon()->toolTip())};
  for (QAction* action : menu.actions()) texts.push_back(action->isSeparator() ? "---" : text(action->text()));
  screenshot(menu, QStringLiteral("tray-menu-") + language);
  menu.hide();

  auto hotKeys = std::make_shared<QtHotKeys>(platform.hotKeys);
  platform.hotKeys = hotKeys;
  auto center = HotKeyCenter::create(platform);
  auto store = std::make_shared<HotKeySettingsStore>(desktop->userDefaults());
  auto window = std::make_shared<QtHotKeySettingsWindow>();
  auto controller = HotKeySettingsWindowController::create(store, center, hotKeys, window);
  window->setController(controller);
  controller->showWindow();
  addShownTexts(*window, texts);
  screenshot(*window, QStringLiteral("hot-key-settings-") + language);
  // One binding removed, one set to a chord with Space, a recording refused a taken chord, and one recording.
  HotKeySettingsView& view = *window->view();
  QTest::mouseClick(view.rowView(HotKeyAction::moveLeft)->clearButton(), Qt::LeftButton);
  QTest::mouseClick(view.rowView(HotKeyAction::moveUp)->recordButton(), Qt::LeftButton);
  QTest::keyClick(window->windowHandle(), Qt::Key_Space, Qt::ControlModifier);
  QTest::mouseClick(view.rowView(HotKeyAction::moveRight)->recordButton(), Qt::LeftButton);
  QTest::keyClick(window->windowHandle(), Qt::Key_Down, Qt::ControlModifier | Qt::AltModifier);
  addShownTexts(*window, texts);
  screenshot(*window, QStringLiteral("hot-key-settings-conflict-") + language);
  QTest::mouseClick(view.rowView(HotKeyAction::moveDown)->recordButton(), Qt::LeftButton);
  addShownTexts(*window, texts);
  window->close();
  tray.reset();
  flushDeferredDeletes();
  return texts;
}

TEST(Languages, TheTrayMenuAndTheHotKeySettingsShowEveryTextInTheChosenLanguage) {
  localization::install(makeLocalizer(Language::chinese));
  const std::vector<std::string> chinese = shownTexts(QStringLiteral("zh"));
  const auto english = std::make_shared<TableLocalizer>(EnglishTexts::table());
  localization::install(english);
  const std::vector<std::string> shownInEnglish = shownTexts(QStringLiteral("en"));
  localization::install(nullptr);

  EXPECT_EQ(chinese, (std::vector<std::string>{
      "tip: Tessarapane", "Tab Mode", "全屏（1 格）", "左右二分（2 格）", "左右三等分（3 格）", "上下二分（2 格）",
      "1+2（3 格）", "2+1（3 格）", "四等分（4 格）", "---", "Grid Mode", "网格", "---", "退出当前布局", "快捷键设置…", "---",
      "打开辅助功能权限设置…", "---", "退出 Tessarapane",
      "title: 快捷键设置", "移动窗口", "移到左侧", "⌃⌥←", "tip: 移除快捷键", "设置", "移到右侧", "⌃⌥→", "移到上方", "⌃⌥↑",
      "移到下方", "⌃⌥↓", "仅在 Tab Mode 中生效，效果与 Tab 栏箭头相同。全屏 1 格时，左右快捷键会切换到左右二分。", "布局", "全屏",
      "⌃⌥↩", "快捷键已被「移到下方」占用", "未设置", "⌃空格", "按下快捷键…", "取消"}));
  EXPECT_EQ(shownInEnglish, (std::vector<std::string>{
      "tip: Tessarapane", "Tab Mode", "Full Screen (1 pane)", "Two Columns (2 panes)", "Three Columns (3 panes)",
      "Two Rows (2 panes)", "1+2 (3 panes)", "2+1 (3 panes)", "Four Quarters (4 panes)", "---", "Grid Mode", "Grid", "---",
      "Leave Current Layout", "Keyboard Shortcuts…", "---", "Permission Settings…", "---", "Quit Tessarapane",
      "title: Keyboard Shortcuts", "Move Window", "Move Left", "⌃⌥←", "tip: Remove shortcut", "Set", "Move Right", "⌃⌥→",
      "Move Up", "⌃⌥↑", "Move Down", "⌃⌥↓",
      "Works in Tab Mode only, like the arrows on a tab strip. In Full Screen (1 pane), the left and right shortcuts "
      "switch to Two Columns.",
      "Layout", "Full Screen", "⌃⌥↩", "This shortcut is already used by “Move Down”", "Not set", "⌃Space",
      "Press a shortcut…", "Cancel"}));
  EXPECT_EQ(english->missingKeys(), std::set<std::string>{});
}

}  // namespace
}  // namespace tessarapane::ui
