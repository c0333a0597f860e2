// A user starting, switching, leaving and restoring tab layouts, and working
// with the tabs: clicks on the strips and the move hot keys.
#include "StorySim.h"

namespace tessarapane {
namespace {

// Window frames (accessibility space) of the panes on the 1440 x 875 visible
// frame, below a 32-point strip.
const std::string kLeft = "0,57 720x843", kRight = "720,57 720x843";

class TabLayouts : public StorySim {};

TEST_F(TabLayouts, Split4FillsPanesFrontMostFirstAndLeavingPutsEveryWindowBack) {
  const ProcessID editor = launch("Editor"), browser = launch("Browser");
  // "one" lies within a point of its pane already: it is not written.
  const WindowID one = open(editor, "one", Rect(721, 495, 721, 406));
  open(browser, "two", Rect(10, 20, 500, 400)), open(editor, "three", Rect(30, 40, 500, 400));
  open(browser, "four", Rect(50, 60, 500, 400)), open(editor, "five", Rect(70, 80, 500, 400));
  settle();
  desktop->recorder().clear();

  coordinator->startLayout(LayoutKind::split4);
  settle();
  EXPECT_EQ(layout(), "split4 @3 [five* four] [three*] [two*] [one*] mem=tabs:split4");
  EXPECT_EQ(desk(), "one(721,495 721x406) two(0,495 720x405) three(720,57 720x406) four(0,57 720x406) "
                    "five(0,57 720x406)");
  EXPECT_EQ(writes({one}), std::vector<std::size_t>{0});

  coordinator->exitLayout(false);
  settle();
  EXPECT_EQ(layout(), "none mem=-");
  EXPECT_EQ(desk(), "one(721,495 721x406) two(10,20 500x400) three(30,40 500x400) four(50,60 500x400) "
                    "five(70,80 500x400)");
}

TEST_F(TabLayouts, SwitchingKindsStartsFromTheFramesBeforeAnyLayout) {
  const ProcessID app = launch("Editor");
  open(app, "a", Rect(10, 40, 500, 400));
  open(app, "b", Rect(600, 80, 700, 500));
  const WindowID c = open(app, "c", Rect(200, 300, 400, 300));
  settle();
  coordinator->startLayout(LayoutKind::split2);
  settle();
  desktop->setMinimized(c, true);
  settle();

  coordinator->startLayout(LayoutKind::split3);
  settle();
  // The raises of split2 left its last pane's window front-most. c, left
  // minimised, is not taken, and is back where it was before any layout.
  EXPECT_EQ(layout(), "split3 @1 [a*] [b*] [] mem=tabs:split3");
  EXPECT_EQ(desk(), "a(0,57 480x843) b(480,57 480x843) c(200,300 400x300 min)");

  // Through the grid, which raised its tiles in order: a is front-most.
  coordinator->startBento();
  coordinator->startLayout(LayoutKind::fullScreen);
  settle();
  EXPECT_EQ(layout(), "fullScreen @0 [a* b] mem=tabs:fullScreen");
  coordinator->exitLayout(false);
  EXPECT_EQ(desk(), "a(10,40 500x400) b(600,80 700x500) c(200,300 400x300 min)");
}

TEST_F(TabLayouts, RestartingTheRunningKindRefitsItInPlace) {
  const ProcessID app = launch("Editor");
  const WindowID a = open(app, "a"), b = open(app, "b");
  const WindowID c = open(app, "c");
  settle();
  coordinator->startLayout(LayoutKind::split2);
  settle();
  tabBar(0)->clickTab(1);
  ASSERT_EQ(layout(), "split2 @0 [c b*] [a*] mem=tabs:split2");
  const std::size_t strips = chrome->tabBars.size();
  // The user drags c over the right pane and b a little aside, and a new
  // window opens over the left pane.
  desktop->moveWindow(c, Rect(800, 200, 600, 500));
  desktop->moveWindow(b, Rect(30, 90, 700, 800));
  // The dock grows while the button is still held: the layout waits.
  desktop->setPressedMouseButtons(1);
  desktop->setDisplays({SimDisplay{1, Rect(0, 0, 1440, 900), Rect(0, 100, 1440, 775)}});
  advance(2);
  desktop->setPressedMouseButtons(0);
  desktop->focusWindow(a);
  settle();
  desktop->recorder().clear();
  const WindowID d = open(launch("Mail"), "d", Rect(100, 200, 400, 300));

  coordinator->startLayout(LayoutKind::split2);
  // The new window joins at once, without waiting to settle.
  EXPECT_EQ(layout(), "split2 @0 [b d*] [a c*] mem=tabs:split2");
  const std::string left = "0,57 720x743", right = "720,57 720x743";
  EXPECT_EQ(desk(), "a(" + right + ") b(" + left + ") c(" + right + ") d(" + left + ")");
  EXPECT_EQ(chrome->tabBars.size(), strips);
  // The panes' fronts are raised with the focused pane last, then the newcomer.
  EXPECT_EQ(stack().substr(0, 5), "d c b");
  EXPECT_EQ(desktop->recorder().raisedWindows(), (IDs{b, c, d, c, d}));
}

TEST_F(TabLayouts, TheLayoutOfTheLastSessionComesBackAtLaunch) {
  const ProcessID app = launch("Editor");
  open(app, "right", Rect(800, 100, 500, 500));
  open(app, "left", Rect(50, 100, 500, 500));
  settle();
  // Silently skipped, the key kept: a value that does not parse, no
  // permission, no windows.
  desktop->userDefaults()->setString("rememberedLayout", "tabs:Split2");
  coordinator->restoreRememberedLayout();
  desktop->userDefaults()->setString("rememberedLayout", "tabs:split2");
  desktop->setProcessTrusted(false);
  coordinator->restoreRememberedLayout();
  desktop->setProcessTrusted(true);
  desktop->switchDesktop(1);
  coordinator->restoreRememberedLayout();
  settle();
  EXPECT_EQ(layout(), "none mem=tabs:split2");
  EXPECT_EQ(accessibilityMissingCalls + desktop->alerts()->shown().size(), 0U);

  // Windows go to the pane they mostly lie in.
  desktop->switchDesktop(0);
  coordinator->restoreRememberedLayout();
  settle();
  EXPECT_EQ(layout(), "split2 @1 [left*] [right*] mem=tabs:split2");
  // The termination notice keeps the windows and the layout for next time.
  coordinator->exitLayout(true);
  settle();
  EXPECT_EQ(layout(), "none mem=tabs:split2");
  EXPECT_EQ(desk(), "right(" + kRight + ") left(" + kLeft + ")");

  desktop->userDefaults()->setString("rememberedLayout", "grid");
  coordinator->restoreRememberedLayout();
  settle();
  EXPECT_EQ(layout(), "grid [ right left ] |716,0 8x875 mem=grid");
  coordinator->restoreRememberedLayout();
  EXPECT_EQ(layout(), "grid [ right left ] |716,0 8x875 mem=grid");
}

TEST_F(TabLayouts, NothingStartsWithoutWindowsScreensOrPermission) {
  coordinator->startLayout(LayoutKind::split2);
  const WindowID a = open(launch("Editor"), "a");
  settle();
  desktop->setProcessTrusted(false);
  coordinator->startLayout(LayoutKind::split2);
  desktop->setProcessTrusted(true);
  coordinator->startLayout(LayoutKind::split2);
  settle();
  // A running layout outlives a start that finds nothing to manage.
  desktop->setMinimized(a, true);
  settle();
  coordinator->startLayout(LayoutKind::split3);
  desktop->setDisplays({});
  coordinator->startLayout(LayoutKind::split3);
  settle();
  EXPECT_EQ(layout(), "split2 @0 [a*] [] mem=tabs:split2");
  EXPECT_EQ(accessibilityMissingCalls, 1);
  EXPECT_EQ(alertTitles(), (std::vector<std::string>{"没有可管理窗口", "没有可管理窗口", "无法开始布局"}));
  EXPECT_EQ(desktop->alerts()->shown().front().message + desktop->alerts()->shown().back().message,
            "请先打开至少一个普通 App 窗口；最小化、全屏和不可缩放窗口会被跳过。Tessarapane 未找到可用显示器。");
}

TEST_F(TabLayouts, ClickingTabsShowsThemAndAVanishedTabIsDropped) {
  const IDs w = openApps({"a", "b", "c", "d"});  // {d, c} {b, a}
  coordinator->startLayout(LayoutKind::split2);
  settle();
  desktop->moveWindow(w[2], Rect(0, 0, 300, 300));
  tabBar(0)->clickTab(1);
  coordinator->selectTab(5, 0), coordinator->selectTab(0, 7);  // no such tab, no such pane
  EXPECT_EQ(layout(), "split2 @0 [d c*] [b* a] mem=tabs:split2");
  EXPECT_EQ(frameOf(w[2]), frameOf(w[3]));
  EXPECT_EQ(stack().substr(0, 1), "c");

  // a goes before the layout hears of it; its tab is clicked.
  desktop->setNotificationLatency(100.0);
  desktop->closeWindow(w[0]);
  desktop->recorder().clear();
  tabBar(1)->clickTab(1);
  EXPECT_EQ(layout(), "split2 @0 [d c*] [b*] mem=tabs:split2");
  EXPECT_EQ(desktop->recorder().raisedWindows(), IDs{});
}

// Dragged into the other pane and the layout chosen again: the selected tab leaves its pane showing the tab
// used before it.
TEST_F(TabLayouts, ADraggedSelectedTabLeavesItsPaneShowingTheTabUsedBeforeIt) {
  const IDs w = openApps({"a", "b", "c", "d", "e"});
  coordinator->startLayout(LayoutKind::split2);
  settle();
  for (int tab : {2, 0, 1}) tabBar(0)->clickTab(tab);
  ASSERT_EQ(layout(), "split2 @0 [e d* c] [b* a] mem=tabs:split2");
  desktop->moveWindow(w[3], Rect(800, 200, 600, 500));
  coordinator->startLayout(LayoutKind::split2);
  settle();
  EXPECT_EQ(layout(), "split2 @0 [e* c] [b a d*] mem=tabs:split2");
}

TEST_F(TabLayouts, MovingTabsByArrowAndHotKey) {
  const IDs w = openApps({"a", "b", "c", "d", "e"});  // {e, d} {c} {b} {a}
  coordinator->startLayout(LayoutKind::split4);
  settle();
  // The arrow of the strip: an emptied pane loses its strip.
  tabBar(1)->clickMove(0, PaneMoveDirection::left);
  EXPECT_EQ(layout(), "split4 @0 [e d c*] [] [b*] [a*] mem=tabs:split4");
  // The hot key moves the focused window's tab ...
  desktop->focusWindow(w[1]);
  settle();
  coordinator->moveFocusedTab(PaneMoveDirection::up);
  settle();
  EXPECT_EQ(layout(), "split4 @0 [e d c b*] [] [] [a*] mem=tabs:split4");
  coordinator->moveFocusedTab(PaneMoveDirection::up);  // nothing lies above
  coordinator->moveFocusedTab(PaneMoveDirection::right);
  settle();
  EXPECT_EQ(layout(), "split4 @1 [e d c*] [b*] [] [a*] mem=tabs:split4");
  EXPECT_EQ(desk(), "a(720,495 720x405) b(720,57 720x406) c(0,57 720x406) d(0,57 720x406) e(0,57 720x406)");
  // ... or, when another application's palette has the focus, the selected
  // tab of the pane last used.
  const ProcessID other = launch("Other");
  open(other, "palette", Rect(900, 500, 300, 200), [](SimWindowSpec& desc) { desc.subrole = "AXFloatingWindow"; });
  desktop->activateApplication(other);
  settle();
  coordinator->moveFocusedTab(PaneMoveDirection::down);
  settle();
  EXPECT_EQ(layout(), "split4 @3 [e d c*] [] [] [a b*] mem=tabs:split4");
}

TEST_F(TabLayouts, FullScreenSplitKeepsTheFocusHintOnTheMovedTabsPane) {
  openApps({"C", "B", "A"});  // one pane: A, B, C
  coordinator->startLayout(LayoutKind::fullScreen);
  settle();
  tabBar(0)->clickTab(2);
  tabBar(0)->clickMove(0, PaneMoveDirection::up);  // leads nowhere
  tabBar(0)->clickMove(1, PaneMoveDirection::left);
  // Placing the panes ends on the right one; the hint stays with the tab
  // that moved, and the kind started with is still the one remembered.
  EXPECT_EQ(layout(), "split2 @0 [B*] [A C*] mem=tabs:fullScreen");
  EXPECT_EQ(desk(), "C(" + kRight + ") B(" + kLeft + ") A(" + kRight + ")");
  EXPECT_EQ(stack().substr(0, 1), "B");
  EXPECT_EQ(tabBar(0)->moveDirections, std::vector<PaneMoveDirection>{PaneMoveDirection::right});

  coordinator->startLayout(LayoutKind::fullScreen);
  settle();
  tabBar(0)->clickMove(0, PaneMoveDirection::right);
  settle();
  EXPECT_EQ(layout(), "split2 @1 [C* A] [B*] mem=tabs:fullScreen");
  EXPECT_EQ(stack().substr(0, 1), "B");
}

TEST_F(TabLayouts, AWindowThatJoinedOnItsOwnDoesNotTakeTheFocusWhenSentAway) {
  const IDs w = openApps({"y", "x"});  // {x} {y}
  coordinator->startLayout(LayoutKind::split2);
  settle();
  open(launch("Mail"), "joined", Rect(100, 200, 400, 300));
  settle();
  ASSERT_EQ(layout(), "split2 @0 [x joined*] [y*] mem=tabs:split2");

  tabBar(0)->clickMove(1, PaneMoveDirection::right);
  settle();
  EXPECT_EQ(layout(), "split2 @0 [x*] [y joined*] mem=tabs:split2");
  EXPECT_EQ(stack().substr(0, 8), "x joined");
  EXPECT_EQ(desktop->frontmostApplication(), desktop->window(w[1])->owner());
  // A window the user placed is followed to its new pane.
  tabBar(0)->clickMove(0, PaneMoveDirection::right);
  settle();
  EXPECT_EQ(layout(), "split2 @1 [] [y joined x*] mem=tabs:split2");
  EXPECT_EQ(stack().substr(0, 1), "x");
}

TEST_F(TabLayouts, AMovedTabLiftsTheWindowsItsApplicationsPaletteCovers) {
  const ProcessID editor = launch("Editor");
  open(launch("Other"), "y");
  open(launch("Third"), "x");
  open(editor, "one");
  settle();
  coordinator->startLayout(LayoutKind::split3);
  settle();
  EXPECT_EQ(layout(), "split3 @2 [one*] [x*] [y*] mem=tabs:split3");
  // The editor's palette comes up over the right pane.
  open(editor, "palette", Rect(1000, 300, 400, 300), [](SimWindowSpec& d) { d.subrole = "AXFloatingWindow"; });
  advance(1);
  EXPECT_EQ(stack(), "palette y x one");
  // The editor's window moves to the middle: the right pane's window is
  // lifted above the palette, the moved one above all.
  tabBar(0)->clickMove(0, PaneMoveDirection::right);
  EXPECT_EQ(layout(), "split3 @1 [] [x one*] [y*] mem=tabs:split3");
  EXPECT_EQ(stack(), "one y palette x");
}

}  // namespace
}  // namespace tessarapane
