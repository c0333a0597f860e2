#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <unistd.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "UiTestSupport.h"
#include "ui/QSettingsUserDefaults.h"
#include "ui/QtAlerts.h"
#include "ui/QtScheduler.h"

namespace tessarapane::ui {
namespace {

using testing_support::text;

// Runs the event loop until `done` is called (or a generous safety limit,
// which fails the test).
class LoopUntil {
 public:
  LoopUntil() {
    guard_.setSingleShot(true);
    QObject::connect(&guard_, &QTimer::timeout, &loop_, [this] {
      timedOut_ = true;
      loop_.quit();
    });
  }
  void done() { loop_.quit(); }
  bool run() {
    guard_.start(10000);
    loop_.exec();
    guard_.stop();
    return !timedOut_;
  }

 private:
  QEventLoop loop_;
  QTimer guard_;
  bool timedOut_ = false;
};

TEST(QtSchedulerTest, OneShotRunsAfterItsDelayAndNeverInsideTheCall) {
  QtScheduler scheduler;
  LoopUntil loop;
  const double start = scheduler.now();
  double ranAt = 0;
  std::vector<std::string> order;
  Subscription soon = scheduler.scheduleOnce(0.0, [&] { order.push_back("zero"); });
  Subscription later = scheduler.scheduleOnce(0.05, [&] {
    ranAt = scheduler.now();
    order.push_back("later");
    loop.done();
  });
  EXPECT_TRUE(order.empty()) << "a zero delay still waits for the loop";
  ASSERT_TRUE(loop.run());
  EXPECT_EQ(order, (std::vector<std::string>{"zero", "later"}));
  EXPECT_GE(ranAt - start, 0.05 - 1e-3);
}

TEST(QtSchedulerTest, CancelledTimersNeverRunAndRepeatingOnesRunUntilCancelled) {
  QtScheduler scheduler;
  LoopUntil loop;
  bool cancelledRan = false;
  Subscription cancelled = scheduler.scheduleOnce(0.01, [&] { cancelledRan = true; });
  cancelled.cancel();

  int ticks = 0;
  Subscription repeating;
  Subscription end;
  repeating = scheduler.scheduleRepeating(0.01, [&] {
    if (++ticks < 3) return;
    repeating.cancel();  // from inside its own tick
    // Five more intervals in which a live timer would tick again.
    end = scheduler.scheduleOnce(0.05, [&] { loop.done(); });
  });
  ASSERT_TRUE(loop.run());
  EXPECT_EQ(ticks, 3);
  EXPECT_FALSE(cancelledRan);
  EXPECT_FALSE(scheduler.scheduleRepeating(0.0, [] {}).isActive());
  EXPECT_FALSE(scheduler.scheduleRepeating(-1.0, [] {}).isActive());
}

TEST(QtSchedulerTest, CancellingAfterTheSchedulerIsGoneIsHarmless) {
  Subscription orphan;
  {
    QtScheduler scheduler;
    orphan = scheduler.scheduleOnce(10.0, [] { FAIL() << "ran after its scheduler"; });
  }
  orphan.cancel();
  testing_support::flushDeferredDeletes();
}

TEST(QtSchedulerTest, PostsFromOtherThreadsRunOnTheMainThread) {
  QtScheduler scheduler;
  LoopUntil loop;
  QThread* ranOn = nullptr;
  std::thread worker([&] {
    scheduler.postToMainThread([&] {
      ranOn = QThread::currentThread();
      loop.done();
    });
  });
  worker.join();
  ASSERT_TRUE(loop.run());
  EXPECT_EQ(ranOn, QApplication::instance()->thread());
}

TEST(QtSchedulerTest, WatchedDescriptorsAndBeforeWaitHooksRun) {
  QtScheduler scheduler;
  LoopUntil loop;
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  std::string received;
  int hookRuns = 0;
  Subscription hook = scheduler.addBeforeWaitHook([&] { ++hookRuns; });
  Subscription watch = scheduler.watchFileDescriptor(fds[0], [&] {
    char byte = 0;
    if (read(fds[0], &byte, 1) == 1) received += byte;
    loop.done();
  });
  ASSERT_EQ(write(fds[1], "x", 1), 1);
  ASSERT_TRUE(loop.run());
  EXPECT_EQ(received, "x");
  EXPECT_GT(hookRuns, 0);
  watch.cancel();
  hook.cancel();
  close(fds[0]);
  close(fds[1]);
}

TEST(QtSchedulerTest, ClocksAreSeconds) {
  QtScheduler scheduler;
  const double first = scheduler.now();
  EXPECT_GE(scheduler.now(), first);
  // Some time after 2020 and before 2100.
  EXPECT_GT(scheduler.wallClock(), 1.58e9);
  EXPECT_LT(scheduler.wallClock(), 4.1e9);
}

class UserDefaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", folder.path().toUtf8());
  }
  void TearDown() override { qputenv("XDG_CONFIG_HOME", saved); }

  QTemporaryDir folder;
  QByteArray saved;
};

TEST_F(UserDefaultsTest, ValuesLiveInTheXdgConfigFolderAndSurviveANewInstance) {
  QSettingsUserDefaults defaults;
  EXPECT_EQ(defaults.filePath(), folder.filePath(QStringLiteral("tessarapane/tessarapane.conf")));
  defaults.setString("rememberedLayout", "{\"kind\":\"split3\"}");
  defaults.setBool("hotKeyBindingsSaved", true);
  const std::vector<std::uint8_t> bytes = {0x00, 0x7b, 0xff, 0x0a, 0x3d};
  defaults.setData("hotKeyBindings", bytes);
  defaults.setString("empty", "");

  QSettingsUserDefaults reopened;
  EXPECT_EQ(reopened.stringValue("rememberedLayout"), "{\"kind\":\"split3\"}");
  EXPECT_EQ(reopened.boolValue("hotKeyBindingsSaved"), true);
  EXPECT_EQ(reopened.dataValue("hotKeyBindings"), bytes);
  EXPECT_EQ(reopened.stringValue("empty"), "");
  EXPECT_EQ(reopened.stringValue("missing"), std::nullopt);
  EXPECT_TRUE(QFile::exists(reopened.filePath()));
}

TEST_F(UserDefaultsTest, AKeyHasOneTypeAndRemovingForgetsIt) {
  QSettingsUserDefaults defaults;
  defaults.setBool("flag", false);
  EXPECT_EQ(defaults.boolValue("flag"), false);
  EXPECT_EQ(defaults.stringValue("flag"), std::nullopt);
  EXPECT_EQ(defaults.dataValue("flag"), std::nullopt);

  defaults.setString("flag", "true");
  EXPECT_EQ(defaults.boolValue("flag"), std::nullopt) << "the new type replaces the old";
  EXPECT_EQ(QSettingsUserDefaults().stringValue("flag"), "true");

  defaults.removeValue("flag");
  EXPECT_EQ(QSettingsUserDefaults().stringValue("flag"), std::nullopt);
  EXPECT_EQ(QSettingsUserDefaults().boolValue("flag"), std::nullopt);
}

TEST(QtAlertsTest, ShowsTitleMessageAndButtonsInOrderAndReturnsThePressedOne) {
  QtAlerts alerts;
  std::vector<std::string> shown;
  alerts.onAboutToRun = [&shown](QMessageBox& box) {
    shown = {text(box.text()), text(box.informativeText())};
    for (QAbstractButton* button : box.buttons()) shown.push_back(text(button->text()));
    EXPECT_EQ(box.icon(), QMessageBox::Information);
    EXPECT_EQ(text(box.defaultButton()->text()), "打开菜单栏设置");
    QAbstractButton* later = box.buttons().at(1);
    QMetaObject::invokeMethod(&box, [later] { later->click(); }, Qt::QueuedConnection);
  };
  const std::size_t chosen = alerts.runModal("菜单栏图标被系统隐藏", "正文", {"打开菜单栏设置", "稍后"});
  EXPECT_EQ(chosen, 1u);
  EXPECT_EQ(shown, (std::vector<std::string>{"菜单栏图标被系统隐藏", "正文", "打开菜单栏设置", "稍后"}));
}

TEST(QtAlertsTest, ClosingTheBoxCountsAsTheLastButtonAndNoButtonsGiveOk) {
  QtAlerts alerts;
  alerts.onAboutToRun = [](QMessageBox& box) {
    QMetaObject::invokeMethod(&box, [&box] { box.reject(); }, Qt::QueuedConnection);
  };
  EXPECT_EQ(alerts.runModal("请先处理对话框", "…", {"好", "取消"}), 1u);

  std::string only;
  alerts.onAboutToRun = [&only](QMessageBox& box) {
    only = text(box.buttons().at(0)->text());
    QAbstractButton* ok = box.buttons().at(0);
    QMetaObject::invokeMethod(&box, [ok] { ok->click(); }, Qt::QueuedConnection);
  };
  EXPECT_EQ(alerts.runModal("无法关闭窗口", "…", {}), 0u);
  EXPECT_EQ(only, "好");
}

}  // namespace
}  // namespace tessarapane::ui
