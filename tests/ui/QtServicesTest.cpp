// The Qt side of the platform layer: the main-loop scheduler, settings on disk, key presses mapped to
// the ANSI key positions, and panels made by the chrome factory.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <unistd.h>

#include <thread>

#include "UiTestSupport.h"
#include "hotkeys/KeyChord.h"
#include "ui/grid/QtBentoPreviewPanel.h"
#include "ui/overlay/QtChromeFactory.h"
#include "ui/services/QSettingsUserDefaults.h"
#include "ui/services/QtKeyMapping.h"
#include "ui/services/QtScheduler.h"
#include "ui/tabstrip/PaneTabChromeButton.h"
#include "ui/tabstrip/PaneTabItemView.h"
#include "ui/tabstrip/QtPaneTabBarPanel.h"

namespace tessarapane::ui {
namespace {

using namespace testing_support;
using Dir = PaneMoveDirection;

// Runs the event loop until every `wait` condition holds, failing after ten seconds.
bool runUntil(const std::function<bool()>& done) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > 10'000) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
  }
  return true;
}

TEST(QtServices, TheSchedulerRunsTimersPostsAndWatchesOnTheLoop) {
  QtScheduler scheduler;
  const double start = scheduler.now();
  std::vector<std::string> order;
  double ranAt = 0;
  Subscription zero = scheduler.scheduleOnce(0.0, [&] { order.push_back("zero"); });
  Subscription later = scheduler.scheduleOnce(0.05, [&] { ranAt = scheduler.now(), order.push_back("later"); });
  Subscription cancelled = scheduler.scheduleOnce(0.01, [&] { order.push_back("cancelled"); });
  cancelled.cancel();
  int ticks = 0;
  Subscription repeating = scheduler.scheduleRepeating(0.01, [&] {
    if (++ticks == 3) repeating.cancel();  // from inside its own tick
  });
  EXPECT_TRUE(order.empty()) << "a zero delay still waits for the loop";
  ASSERT_TRUE(runUntil([&] { return order.size() == 2 && ticks >= 3; }));
  QTest::qWait(60);  // some intervals in which a live timer would tick again
  EXPECT_EQ(std::pair(order, ticks), std::pair(std::vector<std::string>{"zero", "later"}, 3));
  EXPECT_GE(ranAt - start, 0.05 - 1e-3);
  EXPECT_FALSE(scheduler.scheduleRepeating(0.0, [] {}).isActive() || scheduler.scheduleRepeating(-1.0, [] {}).isActive());
  EXPECT_GT(scheduler.wallClock(), 1.58e9);  // after 2020, before 2100, in seconds
  EXPECT_LT(scheduler.wallClock(), 4.1e9);

  QThread* ranOn = nullptr;
  std::thread([&] { scheduler.postToMainThread([&] { ranOn = QThread::currentThread(); }); }).join();
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  std::string received;
  Subscription watch = scheduler.watchFileDescriptor(fds[0], [&] {
    char byte = 0;
    if (read(fds[0], &byte, 1) == 1) received += byte;
  });
  ASSERT_EQ(write(fds[1], "x", 1), 1);
  ASSERT_TRUE(runUntil([&] { return ranOn && !received.empty(); }));
  EXPECT_EQ(std::pair(ranOn, received), std::pair(QApplication::instance()->thread(), std::string("x")));
  watch.cancel();
  close(fds[0]);
  close(fds[1]);
  Subscription orphan;
  {
    QtScheduler gone;
    orphan = gone.scheduleOnce(10.0, [] { FAIL() << "ran after its scheduler"; });
  }
  orphan.cancel();  // harmless once the scheduler is gone
  flushDeferredDeletes();
}

TEST(QtServices, SettingsLiveInTheXdgConfigFolderWithOneTypePerKey) {
  QTemporaryDir folder;
  const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", folder.path().toUtf8());
  QSettingsUserDefaults defaults;
  EXPECT_EQ(defaults.filePath(), folder.filePath(QStringLiteral("tessarapane/tessarapane.conf")));
  const std::vector<std::uint8_t> bytes = {0x00, 0x7b, 0xff, 0x0a, 0x3d};
  defaults.setString("layout", "{\"kind\":\"split3\"}");
  defaults.setData("bindings", bytes);
  defaults.setBool("flag", false);
  defaults.setString("flag", "true");  // the new type replaces the old
  defaults.setBool("saved", true);
  defaults.removeValue("saved");
  QSettingsUserDefaults reopened;
  EXPECT_EQ(std::tuple(reopened.stringValue("layout"), reopened.dataValue("bindings"), reopened.stringValue("flag"),
                       reopened.boolValue("flag"), reopened.boolValue("saved")),
            std::tuple(std::optional<std::string>("{\"kind\":\"split3\"}"), std::optional(bytes), std::optional<std::string>("true"),
                       std::optional<bool>(), std::optional<bool>()));
  qputenv("XDG_CONFIG_HOME", saved);
}

TEST(QtServices, KeysMapToTheirAnsiPositions) {
  using QtKeyMapping::virtualKeyCode;
  const Qt::KeyboardModifiers none = Qt::NoModifier, keypad = Qt::KeypadModifier;
  std::string codes;
  // Letters, digits, punctuation and their shifted forms, editing and function keys, arrows, the keypad.
  for (int key = Qt::Key_A; key <= Qt::Key_Z; ++key) codes += std::to_string(*virtualKeyCode(key, none)) + " ";
  EXPECT_EQ(codes, "0 11 8 2 14 3 5 4 34 38 40 37 46 45 31 35 12 15 1 17 32 9 13 7 16 6 ");
  const auto codesOf = [](std::initializer_list<int> keys, Qt::KeyboardModifiers modifiers) {
    std::string result;
    for (int key : keys) result += virtualKeyCode(key, modifiers) ? std::to_string(*virtualKeyCode(key, modifiers)) + " " : "- ";
    return result;
  };
  using namespace Qt;
  EXPECT_EQ(codesOf({Key_0, Key_1, Key_2, Key_3, Key_4, Key_5, Key_6, Key_7, Key_8, Key_9, Key_Exclam, Key_At, Key_ParenRight,
                     Key_Equal, Key_Plus, Key_Minus, Key_Underscore, Key_BracketRight, Key_BraceLeft, Key_Apostrophe,
                     Key_QuoteDbl, Key_Semicolon, Key_Colon, Key_Backslash, Key_Bar, Key_Comma, Key_Less, Key_Question,
                     Key_Period, Key_Greater, Key_QuoteLeft, Key_AsciiTilde}, none),
            "29 18 19 20 21 23 22 26 28 25 18 19 29 24 24 27 27 30 33 39 39 41 41 42 42 43 43 44 47 47 50 50 ");
  EXPECT_EQ(codesOf({Key_Return, Key_Tab, Key_Backtab, Key_Space, Key_Backspace, Key_Escape, Key_Enter, Key_F1, Key_F2, Key_F3,
                     Key_F4, Key_F5, Key_F9, Key_F12, Key_F15, Key_Help, Key_Home, Key_PageUp, Key_Delete, Key_End,
                     Key_PageDown, Key_Left, Key_Right, Key_Down, Key_Up, Key_Control, Key_VolumeUp}, none),
            "36 48 48 49 51 53 76 122 120 99 118 96 101 111 113 114 115 116 117 119 121 123 124 125 126 - - ");
  EXPECT_EQ(codesOf({Key_0, Key_5, Key_8, Key_Period, Key_Enter, Key_Equal, Key_Clear, Key_Comma}, keypad), "82 87 91 65 76 81 71 43 ");
  EXPECT_EQ(QtKeyMapping::modifierFlags(Qt::ControlModifier | Qt::AltModifier | Qt::KeypadModifier),
            KeyEvent::kControl | KeyEvent::kOption | KeyEvent::kNumericPad);
  EXPECT_EQ(QtKeyMapping::modifierFlags(Qt::MetaModifier | Qt::ShiftModifier), KeyEvent::kCommand | KeyEvent::kShift);
  const std::optional<KeyEvent> down = QtKeyMapping::keyDown(QKeyEvent(QEvent::KeyPress, Qt::Key_Right, Qt::ControlModifier | Qt::AltModifier, QString(), true));
  ASSERT_TRUE(down.has_value());
  EXPECT_EQ(std::tuple(down->keyCode, down->isRepeat, KeyChord::fromEvent(*down)),
            std::tuple(std::uint16_t{124}, true, std::optional(KeyChord{124, KeyChord::kDefaultModifiers})));
  EXPECT_FALSE(QtKeyMapping::keyDown(QKeyEvent(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier)).has_value());

}

TEST(QtServices, FactoryPanelsReleasedInsideTheirOwnCloseClickGoQuietly) {
  QtChromeFactory factory(std::make_shared<ApplicationIcons>(std::make_shared<FakeIconProvider>()), ToolkitSpace());
  // What the coordinator does when the last tab of a pane closes.
  std::shared_ptr<tessarapane::PaneTabBarPanel> held;
  PaneTabBarHandlers handlers;
  handlers.close = [&](int) { held->orderOut(), held->close(), held.reset(); };
  held = factory.makePaneTabBarPanel({{"Report.txt — Editor", 11}}, {Dir::right}, Rect(0, 300, 400, 32), std::move(handlers));
  held->orderFrontRegardless();
  auto& closing = dynamic_cast<QtPaneTabBarPanel&>(*held);
  QPointer<QWidget> widget(&closing);
  QTest::mouseClick(closing.tabItemViews().at(0)->closeButton(), Qt::LeftButton);
  ASSERT_TRUE(!held && widget);
  EXPECT_FALSE(widget->isVisible());
  flushDeferredDeletes();
  EXPECT_FALSE(widget) << "deleted on the next turn";

  // The grid preview is made hidden.
  EXPECT_FALSE(dynamic_cast<QtBentoPreviewPanel&>(*factory.makeBentoPreviewPanel(Rect(0, 0, 800, 600))).isVisible());
  flushDeferredDeletes();
}

}  // namespace
}  // namespace tessarapane::ui
