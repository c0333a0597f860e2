// Hot keys pressed on the simulated desktop reach the coordinator.
#include <gtest/gtest.h>

#include <optional>

#include "AppDelegateSimFixture.h"
#include "platform/KeyEvent.h"

namespace tessarapane {
namespace {

using testing_support::AppDelegateSim;
using testing_support::kKeyDown;
using testing_support::kKeyL;
using testing_support::kKeyLeft;
using testing_support::kKeyReturn;
using testing_support::kKeyRight;
using testing_support::kKeyUp;
using testing_support::PaneIDs;

class HotKeyDispatch : public AppDelegateSim {
 protected:
  // Four windows in a 2 x 2 layout: a top left, b top right, c bottom left,
  // d bottom right.
  void startSplit4() {
    const ProcessID app = startApp("Editor");
    d = open(app, "d", Rect(700, 500, 400, 300));
    c = open(app, "c", Rect(100, 500, 400, 300));
    b = open(app, "b", Rect(700, 100, 400, 300));
    a = open(app, "a", Rect(100, 100, 400, 300));
    launch();
    settle();
    choose("四等分（4 格）");
    settle();
    ASSERT_EQ(paneIDs(), (PaneIDs{{a}, {b}, {c}, {d}}));
  }

  // The user works in `window`, then presses the chord.
  void pressIn(WindowID window, std::uint32_t keyCode) {
    desktop->focusWindow(window);
    settle();
    EXPECT_EQ(press(keyCode), std::optional<bool>(true));
    settle();
  }

  WindowID a = 0, b = 0, c = 0, d = 0;
};

TEST_F(HotKeyDispatch, EachArrowMovesTheFocusedTabItsWayAndReturnStartsFullScreen) {
  startSplit4();

  pressIn(a, kKeyRight);
  EXPECT_EQ(paneIDs(), (PaneIDs{{}, {b, a}, {c}, {d}}));
  pressIn(a, kKeyDown);
  EXPECT_EQ(paneIDs(), (PaneIDs{{}, {b}, {c}, {d, a}}));
  pressIn(a, kKeyLeft);
  EXPECT_EQ(paneIDs(), (PaneIDs{{}, {b}, {c, a}, {d}}));
  pressIn(a, kKeyUp);
  EXPECT_EQ(paneIDs(), (PaneIDs{{a}, {b}, {c}, {d}}));
  EXPECT_EQ(session()->kind, LayoutKind::split4);

  pressIn(a, kKeyReturn);
  ASSERT_NE(session(), nullptr);
  EXPECT_EQ(session()->kind, LayoutKind::fullScreen);
  ASSERT_EQ(paneIDs().size(), 1U);
  EXPECT_EQ(paneIDs()[0].size(), 4U);
  EXPECT_EQ(remembered(), "tabs:fullScreen");
}

TEST_F(HotKeyDispatch, ReturnStartsFullScreenWithNothingRunningAndAsksForThePermissionWhenMissing) {
  const ProcessID app = startApp("Editor");
  const WindowID only = open(app, "only", Rect(100, 100, 400, 300));
  launch();
  settle();
  ASSERT_EQ(session(), nullptr);
  // Arrows without a layout change nothing.
  press(kKeyLeft);
  settle();
  EXPECT_EQ(session(), nullptr);
  EXPECT_EQ(desktop->recorder().frameWrites(only), 0U);

  press(kKeyReturn);
  settle();
  ASSERT_NE(session(), nullptr);
  EXPECT_EQ(session()->kind, LayoutKind::fullScreen);
  EXPECT_EQ(paneIDs(), (PaneIDs{{only}}));

  coordinator().exitLayout(false);
  desktop->setProcessTrusted(false);
  ASSERT_EQ(guideWindow->frontings, 0);
  press(kKeyReturn);
  settle();
  EXPECT_EQ(session(), nullptr);
  EXPECT_EQ(guideWindow->frontings, 1);
  EXPECT_TRUE(guideWindow->visible);
}

TEST_F(HotKeyDispatch, ANewChordRecordedInTheSettingsWorksAtOnce) {
  startSplit4();
  choose("快捷键设置…");
  EXPECT_EQ(settingsWindow->shows, 1);
  EXPECT_FALSE(settingsWindow->groups.empty());

  // The user records Control+Option+L for moving left.
  delegate->hotKeySettingsWindowController()->record(HotKeyAction::moveLeft);
  EXPECT_TRUE(delegate->hotKeyCenter()->isSuspended());
  KeyEvent typed;
  typed.type = KeyEvent::Type::keyDown;
  typed.keyCode = static_cast<std::uint16_t>(kKeyL);
  typed.modifierFlags = KeyEvent::kControl | KeyEvent::kOption;
  EXPECT_TRUE(keys().sendLocalKeyDown(typed));

  EXPECT_FALSE(delegate->hotKeyCenter()->isSuspended());
  EXPECT_TRUE(keys().isRegistered(kKeyL, KeyChord::kDefaultModifiers));
  EXPECT_FALSE(keys().isRegistered(kKeyLeft, KeyChord::kDefaultModifiers));
  EXPECT_EQ(keys().registrations().size(), 5U);

  pressIn(b, kKeyL);
  EXPECT_EQ(paneIDs(), (PaneIDs{{a, b}, {}, {c}, {d}}));
  // The old chord is free again.
  EXPECT_EQ(press(kKeyLeft), std::nullopt);
}

}  // namespace
}  // namespace tessarapane
