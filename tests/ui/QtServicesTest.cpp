// The Qt side of the platform layer: the main-loop scheduler, key presses mapped to the ANSI key positions, and
// panels made by the chrome factory (settings on disk are SettingsFileTest's).
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
  ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 2 && ticks >= 3; }, 10'000));
  QTest::qWait(60);  // some intervals in which a live timer would tick again
  EXPECT_EQ(std::pair(order, ticks), std::pair(std::vector<std::string>{"zero", "later"}, 3));
  EXPECT_GE(ranAt - start, 0.05 - 1e-3);
  EXPECT_FALSE(scheduler.scheduleRepeating(0.0, [] {}).isActive() || scheduler.scheduleRepeating(-1.0, [] {}).isActive());
  EXPECT_TRUE(scheduler.wallClock() > 1.58e9 && scheduler.wallClock() < 4.1e9) << "after 2020, before 2100, in seconds";

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
  ASSERT_TRUE(QTest::qWaitFor([&] { return ranOn && !received.empty(); }, 10'000));
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

// Every printable key, then Escape to Page Down, F1 to F15 and Help: the code of each ("-" for none), without and
// with the keypad flag.
TEST(QtServices, KeysMapToTheirAnsiPositions) {
  const auto codes = [](Qt::KeyboardModifiers modifiers) {
    std::string result;
    for (const auto& [first, last] : {std::pair(Qt::Key_Space, Qt::Key_AsciiTilde), std::pair(Qt::Key_Escape, Qt::Key_PageDown),
                                      std::pair(Qt::Key_F1, Qt::Key_F15), std::pair(Qt::Key_Help, Qt::Key_Help)}) {
      for (int key = first; key <= last; ++key) {
        const std::optional<std::uint16_t> code = QtKeyMapping::virtualKeyCode(key, modifiers);
        result += code ? std::to_string(*code) + " " : "- ";
      }
    }
    return result;
  };
  const std::string letters = "0 11 8 2 14 3 5 4 34 38 40 37 46 45 31 35 12 15 1 17 32 9 13 7 16 6 33 42 30 22 27 50 "  // A-Z [\\]^_`
                              "- - - - - - - - - - - - - - - - - - - - - - - - - - 33 42 30 50 ";  // a-z {|}~
  const std::string editing = "53 48 48 51 36 76 114 117 - - - - - - - - 115 119 123 126 124 125 116 121 "  // Escape to Page Down
                              "122 120 99 118 96 97 98 100 101 109 103 111 105 107 113 114 ";  // F1 to F15, Help
  EXPECT_EQ(codes(Qt::NoModifier), "49 18 39 20 21 23 26 39 25 29 28 24 43 27 47 44 "  // space to /
                                   "29 18 19 20 21 23 22 26 28 25 41 41 43 24 47 44 19 " + letters + editing);  // 0 to @
  EXPECT_EQ(codes(Qt::KeypadModifier), "49 18 39 20 21 23 26 39 25 29 67 69 43 78 65 75 82 83 84 85 86 87 88 89 91 92 41 41 43 81 47 44 19 " +
                                           letters + "53 48 48 51 36 76 114 117 - - - 71 - - - - 115 119 123 126 124 125 116 121 "
                                           "122 120 99 118 96 97 98 100 101 109 103 111 105 107 113 114 ");
  EXPECT_EQ(std::pair(QtKeyMapping::modifierFlags(Qt::ControlModifier | Qt::AltModifier | Qt::KeypadModifier),
                      QtKeyMapping::modifierFlags(Qt::MetaModifier | Qt::ShiftModifier)),
            std::pair(KeyEvent::kControl | KeyEvent::kOption | KeyEvent::kNumericPad, KeyEvent::kCommand | KeyEvent::kShift));
  const std::optional<KeyEvent> down = QtKeyMapping::keyDown(QKeyEvent(QEvent::KeyPress, Qt::Key_Right, Qt::ControlModifier | Qt::AltModifier, QString(), true));
  ASSERT_TRUE(down.has_value());
  EXPECT_EQ(std::tuple(down->keyCode, down->isRepeat, KeyChord::fromEvent(*down)),
            std::tuple(std::uint16_t{124}, true, std::optional(KeyChord{124, KeyChord::kDefaultModifiers})));
  EXPECT_FALSE(QtKeyMapping::keyDown(QKeyEvent(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier)).has_value());
}

TEST(QtServices, FactoryPanelsReleasedInsideTheirOwnCloseClickGoQuietlyAndStripsAreKeptForTheNextPane) {
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
  // Kept on its window for the next pane, holding nothing of this one; taken up again as if new.
  QCoreApplication::sendPostedEvents();
  flushDeferredDeletes();
  ASSERT_TRUE(widget);
  EXPECT_TRUE(closing.tabs().empty() && closing.tabItemViews().empty() && !widget->isVisible());
  const auto next = factory.makePaneTabBarPanel({{"Notes", 12}, {"Mail", 13}}, {}, Rect(0, 300, 400, 32), {});
  ASSERT_EQ(next.get(), static_cast<tessarapane::PaneTabBarPanel*>(&closing));
  EXPECT_EQ(std::pair(closing.tabItemViews().size(), closing.tabItemViews().at(0)->moveButtons().size()),
            std::pair(std::size_t{2}, std::size_t{0}));

  // The grid preview is made hidden.
  EXPECT_FALSE(dynamic_cast<QtBentoPreviewPanel&>(*factory.makeBentoPreviewPanel(Rect(0, 0, 800, 600))).isVisible());
  flushDeferredDeletes();
}

}  // namespace
}  // namespace tessarapane::ui
