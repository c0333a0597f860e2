#include "ui/QtHotKeySettingsWindow.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimHotKeys.h"
#include "backends/sim/SimPlatform.h"
#include "backends/sim/SimScheduler.h"
#include "backends/sim/SimUserDefaults.h"
#include "hotkeys/HotKeyCenter.h"
#include "hotkeys/HotKeySettingsStore.h"
#include "hotkeys/HotKeySettingsWindowController.h"
#include "ui/GlyphButton.h"
#include "ui/HotKeyBindingRowView.h"
#include "ui/HotKeySettingsView.h"
#include "ui/QtHotKeys.h"
#include "ui/QtKeyMapping.h"
#include "ui/SystemStyle.h"

namespace tessarapane::ui {
namespace {

using testing_support::text;

constexpr std::uint32_t kLeft = 123;
constexpr std::uint32_t kKeyA = 0;

// The settings window wired as the application wires it, recording through
// the Qt local key monitor over the simulated desktop's global hot keys.
class HotKeySettingsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform.hotKeys = hotKeys;
    center = HotKeyCenter::create(platform);
    std::weak_ptr<HotKeyCenter> weak = center;
    store->onChange = [weak](const HotKeyBindings& bindings) {
      if (const auto live = weak.lock()) live->updateBindings(bindings);
    };
    center->updateBindings(store->bindings());
    window = std::make_shared<QtHotKeySettingsWindow>();
    controller = HotKeySettingsWindowController::create(store, center, hotKeys, window);
    window->setController(controller);
    controller->showWindow();
  }

  void TearDown() override {
    window->hide();
    controller.reset();
  }

  HotKeyBindingRowView& row(HotKeyAction action) { return *window->view()->rowView(action); }
  void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
  // A key press from the window system, which reaches the window first.
  void type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(window->windowHandle(), key, modifiers);
  }

  std::shared_ptr<SimScheduler> clock = std::make_shared<SimScheduler>();
  std::shared_ptr<SimDesktop> desktop = SimDesktop::create(clock);
  Platform platform = makeSimPlatform(desktop);
  std::shared_ptr<QtHotKeys> hotKeys = std::make_shared<QtHotKeys>(platform.hotKeys);
  std::shared_ptr<HotKeySettingsStore> store = std::make_shared<HotKeySettingsStore>(desktop->userDefaults());
  std::shared_ptr<HotKeyCenter> center;
  std::shared_ptr<QtHotKeySettingsWindow> window;
  std::shared_ptr<HotKeySettingsWindowController> controller;
};

TEST_F(HotKeySettingsWindowTest, WindowShowsTheSectionsRowsAndButtons) {
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->size(), QSize(460, 360));
  EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "not resizable";
  EXPECT_EQ(text(window->windowTitle()), "快捷键设置");
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));

  HotKeySettingsView& view = *window->view();
  ASSERT_EQ(view.sectionTitles().size(), 2u);
  EXPECT_EQ(text(view.sectionTitles()[0]->text()), "移动窗口");
  EXPECT_EQ(text(view.sectionTitles()[1]->text()), "布局");
  ASSERT_EQ(view.notes().size(), 1u);
  EXPECT_EQ(text(view.notes()[0]->text()),
            "仅在 Tab Mode 中生效，效果与 Tab 栏箭头相同。全屏 1 格时，左右快捷键会切换到左右二分。");
  ASSERT_EQ(view.rowViews().size(), 5u);

  HotKeyBindingRowView& left = row(HotKeyAction::moveLeft);
  EXPECT_EQ(text(left.titleLabel()->text()), "移到左侧");
  EXPECT_EQ(left.titleLabel()->width(), 88);
  EXPECT_EQ(text(left.chordLabel()->text()), "⌃⌥←");
  EXPECT_TRUE(left.chordLabel()->font().fixedPitch() || QFontInfo(left.chordLabel()->font()).fixedPitch());
  EXPECT_TRUE(left.clearButton()->isVisible());
  EXPECT_EQ(text(left.clearButton()->toolTip()), "移除快捷键");
  EXPECT_EQ(text(left.recordButton()->text()), "设置");
  EXPECT_EQ(left.recordButton()->width(), 56);
  EXPECT_FALSE(view.conflictLabel()->isVisible());
  // Every row lies inside the window.
  for (HotKeyBindingRowView* each : view.rowViews()) {
    EXPECT_LE(each->mapTo(window.get(), QPoint(0, each->height())).y(), 360 - 20);
  }
  testing_support::saveScreenshot(testing_support::grabImage(*window), QStringLiteral("hot-key-settings"));
}

TEST_F(HotKeySettingsWindowTest, RecordingTakesTheNextChordWithAModifier) {
  click(row(HotKeyAction::moveLeft).recordButton());
  EXPECT_TRUE(center->isSuspended());
  HotKeyBindingRowView& left = row(HotKeyAction::moveLeft);
  EXPECT_EQ(text(left.chordLabel()->text()), "按下快捷键…");
  EXPECT_EQ(text(left.recordButton()->text()), "取消");
  EXPECT_FALSE(left.clearButton()->isVisible());
  EXPECT_EQ(left.chordLabel()->palette().color(QPalette::WindowText), SystemStyle::accent(left));

  type(Qt::Key_A);
  EXPECT_EQ(controller->recorder()->recordingAction(), HotKeyAction::moveLeft) << "a plain letter is ignored";
  type(Qt::Key_A, Qt::ControlModifier);
  EXPECT_FALSE(controller->recorder()->recordingAction().has_value());
  EXPECT_EQ(store->chord(HotKeyAction::moveLeft), (KeyChord{kKeyA, KeyChord::kControl}));
  EXPECT_EQ(text(left.chordLabel()->text()), "⌃A");
  EXPECT_EQ(text(left.recordButton()->text()), "设置");
  EXPECT_FALSE(center->isSuspended());
  EXPECT_FALSE(controller->recorder()->isMonitoring());
}

TEST_F(HotKeySettingsWindowTest, RefusedChordShowsTheRedLineUntilTheNextRecording) {
  click(row(HotKeyAction::moveRight).recordButton());
  type(Qt::Key_Left, Qt::ControlModifier | Qt::AltModifier);
  QLabel& conflict = *window->view()->conflictLabel();
  EXPECT_TRUE(conflict.isVisible());
  EXPECT_EQ(text(conflict.text()), "快捷键已被「移到左侧」占用");
  EXPECT_EQ(conflict.palette().color(QPalette::WindowText), SystemStyle::systemRed());
  EXPECT_EQ(store->chord(HotKeyAction::moveLeft), (KeyChord{kLeft, KeyChord::kDefaultModifiers}));
  testing_support::saveScreenshot(testing_support::grabImage(*window), QStringLiteral("hot-key-settings-conflict"));

  click(row(HotKeyAction::fullScreen).recordButton());
  EXPECT_FALSE(conflict.isVisible());
  click(row(HotKeyAction::fullScreen).recordButton());  // "取消"
  EXPECT_FALSE(controller->recorder()->recordingAction().has_value());
}

TEST_F(HotKeySettingsWindowTest, RemoveButtonAndDeleteClearABinding) {
  click(row(HotKeyAction::moveUp).clearButton());
  EXPECT_EQ(text(row(HotKeyAction::moveUp).chordLabel()->text()), "未设置");
  EXPECT_FALSE(row(HotKeyAction::moveUp).clearButton()->isVisible());

  click(row(HotKeyAction::moveDown).recordButton());
  type(Qt::Key_Backspace);
  EXPECT_EQ(text(row(HotKeyAction::moveDown).chordLabel()->text()), "未设置");
}

TEST_F(HotKeySettingsWindowTest, ClosingWhileRecordingCancelsAndRestoresTheHotKeys) {
  click(row(HotKeyAction::moveLeft).recordButton());
  ASSERT_TRUE(center->isSuspended());
  window->close();
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(controller->recorder()->recordingAction().has_value());
  EXPECT_FALSE(center->isSuspended());
  EXPECT_EQ(store->chord(HotKeyAction::moveLeft), (KeyChord{kLeft, KeyChord::kDefaultModifiers}));
}

TEST(QtKeyMappingTest, QtKeysMapToAnsiPositionsAndToolkitFlags) {
  using QtKeyMapping::virtualKeyCode;
  EXPECT_EQ(virtualKeyCode(Qt::Key_A, Qt::NoModifier), 0);
  EXPECT_EQ(virtualKeyCode(Qt::Key_Z, Qt::ShiftModifier), 6);
  EXPECT_EQ(virtualKeyCode(Qt::Key_1, Qt::NoModifier), 18);
  EXPECT_EQ(virtualKeyCode(Qt::Key_Exclam, Qt::ShiftModifier), 18) << "Shift+1 is still the 1 key";
  EXPECT_EQ(virtualKeyCode(Qt::Key_Question, Qt::ShiftModifier), 44);
  EXPECT_EQ(virtualKeyCode(Qt::Key_Return, Qt::NoModifier), 36);
  EXPECT_EQ(virtualKeyCode(Qt::Key_Escape, Qt::NoModifier), 53);
  EXPECT_EQ(virtualKeyCode(Qt::Key_Backspace, Qt::NoModifier), 51);
  EXPECT_EQ(virtualKeyCode(Qt::Key_Delete, Qt::NoModifier), 117);
  EXPECT_EQ(virtualKeyCode(Qt::Key_Space, Qt::NoModifier), 49);
  EXPECT_EQ(virtualKeyCode(Qt::Key_Left, Qt::NoModifier), 123);
  EXPECT_EQ(virtualKeyCode(Qt::Key_Up, Qt::NoModifier), 126);
  EXPECT_EQ(virtualKeyCode(Qt::Key_F5, Qt::NoModifier), 96);
  EXPECT_EQ(virtualKeyCode(Qt::Key_5, Qt::KeypadModifier), 87);
  EXPECT_EQ(virtualKeyCode(Qt::Key_Enter, Qt::KeypadModifier), 76);
  EXPECT_FALSE(virtualKeyCode(Qt::Key_Control, Qt::ControlModifier).has_value());
  EXPECT_FALSE(virtualKeyCode(Qt::Key_VolumeUp, Qt::NoModifier).has_value());
  // Every code the chord names know round-trips to its name.
  EXPECT_EQ(KeyChord::keyName(*virtualKeyCode(Qt::Key_BracketLeft, Qt::NoModifier)), "[");
  EXPECT_EQ(KeyChord::keyName(*virtualKeyCode(Qt::Key_QuoteLeft, Qt::NoModifier)), "`");

  EXPECT_EQ(QtKeyMapping::modifierFlags(Qt::ControlModifier | Qt::AltModifier),
            KeyEvent::kControl | KeyEvent::kOption);
  EXPECT_EQ(QtKeyMapping::modifierFlags(Qt::MetaModifier | Qt::ShiftModifier), KeyEvent::kCommand | KeyEvent::kShift);

  const QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::ControlModifier | Qt::AltModifier, QString(), true);
  const std::optional<KeyEvent> down = QtKeyMapping::keyDown(press);
  ASSERT_TRUE(down.has_value());
  EXPECT_EQ(down->keyCode, 124);
  EXPECT_TRUE(down->isRepeat);
  EXPECT_EQ(KeyChord::fromEvent(*down), (KeyChord{124, KeyChord::kDefaultModifiers}));
  const QKeyEvent release(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier);
  EXPECT_FALSE(QtKeyMapping::keyDown(release).has_value());
}

TEST(QtLocalKeyMonitorTest, MonitorsSeeEachPressOnceAndConsumeIt) {
  QWidget window;
  auto* child = new QWidget(&window);
  child->setFocusPolicy(Qt::StrongFocus);
  window.show();
  child->setFocus();
  QtLocalKeyMonitor monitor;
  std::vector<std::uint16_t> seen;
  bool consume = false;
  {
    Subscription subscription = monitor.add([&](const KeyEvent& event) {
      seen.push_back(event.keyCode);
      return consume;
    });
    QTest::keyClick(window.windowHandle(), Qt::Key_B);
    QTest::keyClick(window.windowHandle(), Qt::Key_B);
    EXPECT_EQ(seen, (std::vector<std::uint16_t>{11, 11})) << "once per press, not per widget it passes";
    consume = true;
    QTest::keyClick(window.windowHandle(), Qt::Key_C);
    EXPECT_EQ(seen.back(), 8);
  }
  EXPECT_EQ(monitor.monitorCount(), 0u);
  QTest::keyClick(window.windowHandle(), Qt::Key_D);
  EXPECT_EQ(seen.size(), 3u);
}

TEST(QtLocalKeyMonitorTest, ShortcutsFireOnlyForKeysNoMonitorTakes) {
  QWidget window;
  auto* child = new QWidget(&window);
  child->setFocusPolicy(Qt::StrongFocus);
  int triggered = 0;
  auto* shortcut = new QAction(&window);
  shortcut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
  window.addAction(shortcut);
  QObject::connect(shortcut, &QAction::triggered, [&triggered] { ++triggered; });
  window.show();
  QApplication::setActiveWindow(&window);
  child->setFocus();

  QtLocalKeyMonitor monitor;
  int asked = 0;
  bool consume = false;
  Subscription subscription = monitor.add([&](const KeyEvent&) {
    ++asked;
    return consume;
  });
  QTest::keyClick(window.windowHandle(), Qt::Key_K, Qt::ControlModifier);
  EXPECT_EQ(triggered, 1);
  EXPECT_EQ(asked, 1);
  consume = true;
  QTest::keyClick(window.windowHandle(), Qt::Key_K, Qt::ControlModifier);
  EXPECT_EQ(triggered, 1) << "the consumed key fired no shortcut";
  EXPECT_EQ(asked, 2);
}

}  // namespace
}  // namespace tessarapane::ui
