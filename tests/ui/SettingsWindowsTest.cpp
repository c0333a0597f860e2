// The two small windows: hot-key settings, recording chords through the window's own key presses over the
// simulated desktop's global hot keys, and the permission guide.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include "UiTestSupport.h"
#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimPlatform.h"
#include "backends/sim/SimScheduler.h"
#include "backends/sim/SimUserDefaults.h"
#include "hotkeys/HotKeyCenter.h"
#include "hotkeys/HotKeySettingsStore.h"
#include "hotkeys/HotKeySettingsWindowController.h"
#include "permission/PermissionGuideWindowController.h"
#include "ui/services/QtHotKeys.h"
#include "ui/style/GlyphButton.h"
#include "ui/style/GlyphTile.h"
#include "ui/style/SystemStyle.h"
#include "ui/tray/LayoutKindIconEngine.h"
#include "ui/windows/HotKeyBindingRowView.h"
#include "ui/windows/HotKeySettingsView.h"
#include "ui/windows/PermissionRowView.h"
#include "ui/windows/QtHotKeySettingsWindow.h"
#include "ui/windows/QtPermissionGuideWindow.h"

namespace tessarapane::ui {
namespace {

using namespace testing_support;
using Action = HotKeyAction;

struct SimDesktopFixture : ::testing::Test {
  std::shared_ptr<SimScheduler> clock = std::make_shared<SimScheduler>();
  std::shared_ptr<SimDesktop> desktop = SimDesktop::create(clock);
  Platform platform = makeSimPlatform(desktop);
};

using SettingsWindows = SimDesktopFixture;

TEST_F(SettingsWindows, HotKeysAreRecordedRefusedClearedAndRestored) {
  // Wired as the application wires it.
  auto hotKeys = std::make_shared<QtHotKeys>(platform.hotKeys);
  platform.hotKeys = hotKeys;
  auto center = HotKeyCenter::create(platform);
  auto store = std::make_shared<HotKeySettingsStore>(desktop->userDefaults());
  store->onChange = [weak = std::weak_ptr(center)](const HotKeyBindings& b) { if (auto c = weak.lock()) c->updateBindings(b); };
  center->updateBindings(store->bindings());
  auto window = std::make_shared<QtHotKeySettingsWindow>();
  auto controller = HotKeySettingsWindowController::create(store, center, hotKeys, window);
  window->setController(controller);
  controller->showWindow();
  HotKeySettingsView& view = *window->view();
  const auto row = [&](Action action) -> HotKeyBindingRowView& { return *view.rowView(action); };
  const auto click = [](QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); };
  const auto type = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(window->windowHandle(), key, modifiers);  // from the window system, reaching the window first
  };
  // Each row: title, chord shown, record button, clear button shown.
  const auto rows = [&] {
    std::vector<std::tuple<std::string, std::string, std::string, bool>> result;
    for (HotKeyBindingRowView* r : view.rowViews()) {
      result.emplace_back(text(r->titleLabel()->text()), text(r->chordLabel()->text()), text(r->recordButton()->text()),
                          r->clearButton()->isVisible());
    }
    return result;
  };

  EXPECT_EQ(std::tuple(window->isVisible(), window->size(), window->minimumSize(), window->maximumSize()),
            std::tuple(true, QSize(460, 360), QSize(460, 360), QSize(460, 360)));
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
  ASSERT_EQ(view.notes().size(), 1u);
  EXPECT_LE(view.notes()[0]->mapTo(window.get(), QPoint(view.notes()[0]->width(), 0)).x(), 460) << "the note wraps";
  using Row = std::tuple<std::string, std::string, std::string, bool>;
  EXPECT_EQ(rows(), (std::vector<Row>{{"移到左侧", "⌃⌥←", "设置", true}, {"移到右侧", "⌃⌥→", "设置", true},
                                      {"移到上方", "⌃⌥↑", "设置", true}, {"移到下方", "⌃⌥↓", "设置", true},
                                      {"全屏", "⌃⌥↩", "设置", true}}));
  HotKeyBindingRowView& left = row(Action::moveLeft);
  EXPECT_EQ(std::tuple(left.titleLabel()->width(), left.recordButton()->width(), text(left.clearButton()->toolTip())),
            std::tuple(88, 56, std::string("移除快捷键")));
  EXPECT_TRUE(QFontInfo(left.chordLabel()->font()).fixedPitch());
  for (HotKeyBindingRowView* each : view.rowViews()) EXPECT_LE(each->mapTo(window.get(), QPoint(0, each->height())).y(), 340);
  EXPECT_FALSE(view.conflictLabel()->isVisible());
  saveScreenshot(grabImage(*window), QStringLiteral("hot-key-settings"));

  // Recording waits for a chord with a modifier, the global hot keys suspended meanwhile.
  click(left.recordButton());
  EXPECT_TRUE(center->isSuspended());
  EXPECT_EQ(std::get<1>(rows()[0]) + std::get<2>(rows()[0]) + (std::get<3>(rows()[0]) ? "+" : "-"), "按下快捷键…取消-");
  EXPECT_EQ(left.chordLabel()->palette().color(QPalette::WindowText), SystemStyle::accent(left));
  type(Qt::Key_A);
  EXPECT_EQ(controller->recorder()->recordingAction(), Action::moveLeft) << "a plain letter is ignored";
  type(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(store->chord(Action::moveLeft), (KeyChord{0, KeyChord::kControl}));
  EXPECT_EQ(rows()[0], (Row{"移到左侧", "⌃A", "设置", true}));
  EXPECT_FALSE(center->isSuspended() || controller->recorder()->isMonitoring() || controller->recorder()->recordingAction());

  // A chord taken by another action is refused with a red line until the next recording.
  click(row(Action::moveRight).recordButton());
  type(Qt::Key_Up, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_TRUE(view.conflictLabel()->isVisible());
  EXPECT_EQ(text(view.conflictLabel()->text()), "快捷键已被「移到上方」占用");
  EXPECT_EQ(view.conflictLabel()->palette().color(QPalette::WindowText), SystemStyle::systemRed());
  saveScreenshot(grabImage(*window), QStringLiteral("hot-key-settings-conflict"));
  click(row(Action::fullScreen).recordButton());
  EXPECT_FALSE(view.conflictLabel()->isVisible());
  click(row(Action::fullScreen).recordButton());  // "取消"
  EXPECT_FALSE(controller->recorder()->recordingAction().has_value());

  // The remove button and Delete while recording clear a binding.
  click(row(Action::moveUp).clearButton());
  click(row(Action::moveDown).recordButton());
  type(Qt::Key_Backspace);
  EXPECT_EQ(std::pair(rows()[2], rows()[3]), std::pair(Row{"移到上方", "未设置", "设置", false}, Row{"移到下方", "未设置", "设置", false}));
  // Closing while recording cancels and gives the hot keys back.
  click(row(Action::moveRight).recordButton());
  ASSERT_TRUE(center->isSuspended());
  window->close();
  EXPECT_FALSE(window->isVisible() || center->isSuspended() || controller->recorder()->recordingAction());
  EXPECT_EQ(store->chord(Action::moveRight), (KeyChord{124, KeyChord::kDefaultModifiers}));
}

TEST_F(SettingsWindows, ThePermissionGuideSaysWhatIsMissingThenReportsEverythingReady) {
  desktop->setProcessTrusted(false);
  auto window = std::make_shared<QtPermissionGuideWindow>(bentoIcon());
  auto controller = PermissionGuideWindowController::create(platform, window);
  window->setController(controller);
  controller->show();
  PermissionRowView& row = *window->rowViews().at(0);
  const auto shown = [&] {
    return std::tuple(text(window->subtitleLabel()->text()), text(row.statusLabel()->text()), row.checkMark()->isVisible(),
                      row.authorizeButton()->isVisible(), text(window->closeButton()->text()), window->closeButton()->isDefault());
  };
  EXPECT_EQ(std::tuple(window->isVisible(), window->width(), window->rowViews().size()), std::tuple(true, 420, std::size_t{1}));
  EXPECT_EQ(text(window->titleLabel()->text()), "设置 Tessarapane");
  EXPECT_EQ(shown(), std::tuple(std::string("开启以下权限后即可使用"), controller->content().rows[0].status, false, true,
                                std::string("稍后"), false));
  EXPECT_EQ(std::tuple(text(row.nameLabel()->text()), text(row.detailLabel()->text()), text(row.authorizeButton()->text())),
            std::tuple(std::string("窗口管理器"), std::string("移动和调整其他 App 的窗口"), std::string("重新检查")));
  // The wrapped status fits: nothing is cut off at the bottom.
  EXPECT_LE(window->closeButton()->geometry().bottom(), window->height());
  EXPECT_LE(row.geometry().bottom(), window->closeButton()->geometry().top());
  saveScreenshot(grabImage(*window), QStringLiteral("permission-guide"));

  // A window manager started meanwhile shows at the button, without waiting for the poll.
  desktop->setProcessTrusted(true);
  QTest::mouseClick(row.authorizeButton(), Qt::LeftButton);
  EXPECT_EQ(shown(), std::tuple(std::string("一切就绪"), std::string("窗口管理器「simwm」已就绪。"), true, false,
                                std::string("开始使用"), true));
  saveScreenshot(grabImage(*window), QStringLiteral("permission-guide-ready"));
  QTest::mouseClick(window->closeButton(), Qt::LeftButton);
  EXPECT_FALSE(window->isVisible() || controller->model()->isPolling()) << "closing stops the polling";
}

}  // namespace
}  // namespace tessarapane::ui
