// The desktop changing under a running tab layout: windows that appear,
// settle, close, refuse frames, go full screen or change title, tabs closed
// by the user, covered windows, and displays that change.
#include <cmath>

#include "StorySim.h"
#include "backends/sim/SimLog.h"

namespace tessarapane {
namespace {

const std::string kLeft = "0,57 720x843", kRight = "720,57 720x843";

class Windows : public StorySim {
 protected:
  // split2 over {b} {a}, of two applications.
  IDs startSplit2() {
    const IDs ids = openApps({"a", "b"});
    coordinator->startLayout(LayoutKind::split2);
    settle();
    return ids;
  }
  WindowID newcomer(const std::string& title, const std::function<void(SimWindowSpec&)>& tweak = {}) {
    return open(launch("New-" + title), title, Rect(100, 200, 400, 300), tweak);
  }
  // When the window's position was written, from `since`.
  std::vector<double> positionWrites(WindowID window, double since) const {
    std::vector<double> times;
    for (const SimCall& call : desktop->recorder().calls()) {
      if (call.window == window && call.name == "AXPosition") times.push_back(std::round((call.time - since) * 100) / 100);
    }
    return times;
  }
};

TEST_F(Windows, NewWindowsJoinOnceSettledAndOnlyThen) {
  startSplit2();
  newcomer("quiet");
  // Moves itself into the right pane after two quiet samples.
  newcomer("mover", [](SimWindowSpec& d) { d.behavior.selfMoves.push_back({0.12, Rect(900, 300, 400, 300)}); });
  // Listed 0.1 s late: found by the third retry, 0.11 s after its creation.
  newcomer("late", [](SimWindowSpec& d) { d.listedAfter = 0.1; });
  // Listed after the retries gave up: waits for the 15-second sweep.
  newcomer("later", [](SimWindowSpec& d) { d.listedAfter = 1.0; });
  // Closed, minimised or full screen before settling: never joins.
  const WindowID brief = newcomer("brief"), hidden = newcomer("hidden"), big = newcomer("big");
  advance(0.07);
  desktop->closeWindow(brief);
  desktop->setMinimized(hidden, true);
  desktop->setFullScreen(big, true);
  advance(0.07);
  EXPECT_EQ(layout(), "split2 @1 [b*] [a*] mem=tabs:split2");
  advance(0.02);  // three quiet samples, 0.15 s
  EXPECT_EQ(layout(), "split2 @0 [b quiet*] [a*] mem=tabs:split2");
  advance(0.1);
  EXPECT_EQ(layout(), "split2 @0 [b quiet late*] [a*] mem=tabs:split2");
  advance(0.06);
  EXPECT_EQ(layout(), "split2 @1 [b quiet late*] [a mover*] mem=tabs:split2");
  // The sweep comes 15 s after the start, 10 s after these windows opened.
  advance(9.5);
  EXPECT_EQ(layout(), "split2 @1 [b quiet late*] [a mover*] mem=tabs:split2");
  advance(0.4);
  EXPECT_EQ(layout(), "split2 @0 [b quiet late later*] [a mover*] mem=tabs:split2");
  EXPECT_EQ(desk(), "a(" + kRight + ") b(" + kLeft + ") quiet(" + kLeft + ") mover(" + kRight + ") late(" + kLeft +
                        ") later(" + kLeft + ") hidden(100,200 400x300 min) big(0,0 1440x900 fs)");
  // Leaving puts each where it was when it joined.
  coordinator->exitLayout(false);
  EXPECT_EQ(desk(), "a(100,100 800x600) b(100,100 800x600) quiet(100,200 400x300) mover(900,300 400x300) "
                    "late(100,200 400x300) later(100,200 400x300) hidden(100,200 400x300 min) big(0,0 1440x900 fs)");
}

TEST_F(Windows, AnUnchangedDesktopIsNotReadAgainUntilSomethingChanges) {
  startSplit2();
  advance(20.0);
  const std::size_t reads = desktop->recorder().reads();
  advance(60.0);
  EXPECT_EQ(desktop->recorder().reads() - reads, 0u) << "four sweeps";
  // Once a new window has joined, nothing is read until the next change.
  newcomer("quick");
  advance(0.15);
  EXPECT_EQ(layout(), "split2 @0 [b quick*] [a*] mem=tabs:split2");
  const std::size_t joined = desktop->recorder().reads();
  advance(1.0);
  EXPECT_EQ(desktop->recorder().reads(), joined);
  // Listed 16 s after it opened, after the sweep 5 s on read the desktop: the
  // listing alone is the change the sweep after it finds.
  newcomer("late", [](SimWindowSpec& d) { d.listedAfter = 16.0; });
  advance(17.0);
  EXPECT_EQ(layout(), "split2 @0 [b quick*] [a*] mem=tabs:split2");
  advance(15.0);
  EXPECT_EQ(layout(), "split2 @0 [b quick late*] [a*] mem=tabs:split2");
}

TEST_F(Windows, NoAdoptionWhileThePrimaryButtonIsHeldUntilTheEightSecondsRunOut) {
  startSplit2();
  desktop->setPressedMouseButtons(Input::kPrimaryButton);
  newcomer("dragged");
  advance(7.99);
  newcomer("released");
  advance(1);
  desktop->setPressedMouseButtons(0);
  advance(0.14);
  EXPECT_EQ(layout(), "split2 @0 [b dragged*] [a*] mem=tabs:split2");
  advance(0.02);
  EXPECT_EQ(layout(), "split2 @0 [b dragged released*] [a*] mem=tabs:split2");
}

TEST_F(Windows, WindowsThatCloseMinimiseRetitleOrGoFullScreenWhileManaged) {
  const IDs w = openApps({"a", "b", "c", "d"});  // {d, c} {b, a}
  coordinator->startLayout(LayoutKind::split2);
  settle();
  tabBar(0)->clickTab(1);
  tabBar(0)->clickTab(0);  // d was used last, then c
  desktop->setMinimized(w[1], true);
  desktop->setTitle(w[0], "  renamed ");
  // A window list that is momentarily empty, or shows another desktop,
  // closes nothing.
  desktop->emptyNextWindowListReads(3);
  desktop->focusWindow(w[3]);
  settle();
  desktop->switchDesktop(1);
  settle();
  desktop->switchDesktop(0);
  settle();
  EXPECT_EQ(layout(), "split2 @0 [d* c] [b*   renamed ] mem=tabs:split2");
  EXPECT_EQ(tabBar(1)->titles(), (std::vector<std::string>{"b", "renamed"}));

  // Closing the selected tab shows the one used before it, in front.
  desktop->closeWindow(w[3]);
  settle();
  EXPECT_EQ(layout(), "split2 @0 [c*] [b*   renamed ] mem=tabs:split2");
  EXPECT_EQ(stack(), "c b   renamed ");
  // Full-screen windows are let go and stay out; not put back at the end.
  desktop->setFullScreen(w[2], true);
  desktop->focusWindow(w[2]);
  settle();
  advance(20);
  EXPECT_EQ(layout(), "split2 @0 [] [b*   renamed ] mem=tabs:split2");
  desktop->setMinimized(w[1], false);
  desktop->recorder().clear();
  // The strip of a pane that keeps a window shows the change without
  // coming up over the full-screen window.
  chrome->log->clear();
  desktop->setFullScreen(w[0], true);
  advance(16);
  EXPECT_EQ(layout(), "split2 @0 [] [b*] mem=tabs:split2");
  Lines stripCalls;
  for (const ChromeCall& call : chrome->log->calls()) stripCalls.push_back(call.panel + " " + call.name);
  EXPECT_EQ(stripCalls, Lines{tabBar(1)->name + " updateTabs"});
  desktop->setFullScreen(w[1], true);
  advance(16);
  EXPECT_EQ(layout(), "none mem=-");
  EXPECT_EQ(desk(), "  renamed (0,0 1440x900 fs) b(0,0 1440x900 fs) c(0,0 1440x900 fs)");
  EXPECT_EQ(writes({w[0], w[1], w[2]}), (std::vector<std::size_t>{0, 0, 0}));
}

TEST_F(Windows, ClosingATabTellsTheUserWhatStoodInTheWay) {
  const ProcessID notes = launch("Notes"), editor = launch("Editor");
  open(editor, "stays");
  const WindowID sheet = open(notes, "sheet");
  const Rect at(100, 100, 800, 600);
  constexpr SimCloseResponse refuse = SimCloseResponse::refuses;
  const WindowID busy = open(editor, "busy", at, [](SimWindowSpec& d) { d.behavior.cannotCompleteCount = 100; });
  const WindowID bare = open(editor, "bare", at, [](SimWindowSpec& d) { d.closeButton.present = false; });
  const WindowID refused = open(editor, "refused", at, [](SimWindowSpec& d) { d.behavior.closeResponse = refuse; });
  const WindowID off = open(editor, "off", at, [](SimWindowSpec& d) {
    d.behavior.closeResponse = refuse;
    d.behavior.closeRefusalError = AXError::apiDisabled;
  });
  const WindowID asks =
      open(editor, "asks", at, [](SimWindowSpec& d) { d.behavior.closeResponse = SimCloseResponse::asksConfirmation; });
  const WindowID slow = open(editor, "slow", at, [](SimWindowSpec& d) {
    d.behavior.closeResponse = SimCloseResponse::closesAfterDelay;
    d.behavior.closeDelay = 0.7;
  });
  settle();
  coordinator->startLayout(LayoutKind::fullScreen);
  settle();
  desktop->attachSheet(sheet, Rect(200, 150, 400, 200));
  const auto close = [&](WindowID window) {
    const IDs tabs = paneIDs()[0];
    tabBar(0)->clickClose(int(std::find(tabs.begin(), tabs.end(), window) - tabs.begin()));
  };
  for (WindowID window : {sheet, busy, bare, refused, off, asks}) {
    close(window);
    settle();
  }
  std::vector<std::string> alerts;
  for (const auto& shown : desktop->alerts()->shown()) alerts.push_back(shown.title + ": " + shown.message);
  EXPECT_EQ(alerts, (std::vector<std::string>{
      "请先处理对话框: “Notes”当前有一个打开、保存或确认对话框正在等待处理。请先完成或取消该对话框，再关闭"
      "窗口；窗口布局管理不受影响。",
      "暂时无法关闭窗口: macOS 辅助功能服务暂时没有响应。Tessarapane 已自动重试，请稍后再试。",
      "这个窗口不提供关闭控制: Tessarapane 仍可管理它的位置和大小，但该窗口没有提供系统关闭按钮。为避免误关"
      "窗口或退出整个 App，请使用该 App 自己的关闭按钮。",
      "无法关闭窗口: macOS 拒绝了这次关闭请求。请先切换到该窗口并处理其中的提示，然后重试。"}));
  EXPECT_EQ(accessibilityMissingCalls, 1);
  EXPECT_EQ(layout(), "fullScreen @0 [slow* asks off refused bare busy sheet stays] mem=tabs:fullScreen");
  EXPECT_EQ(desktop->alerts()->shown().front().buttons, std::vector<std::string>{"好"});

  // Clicked twice, and once more while it goes: one request. The layout
  // hears of the end late; the follow-up drops the tab.
  desktop->setNotificationLatency(100.0);
  close(slow);
  close(slow);
  advance(0.1);
  close(slow);
  advance(0.65);
  const std::string others = " asks off refused bare busy sheet stays] mem=tabs:fullScreen";
  EXPECT_EQ(layout(), "fullScreen @0 [#" + std::to_string(slow) + "*" + others);
  advance(0.1);
  EXPECT_EQ(layout(), "fullScreen @0 [asks*" + others.substr(5));
  EXPECT_EQ(desktop->recorder().closeRequests(slow), 1U);
  // Leaving drops a close still waiting for its answer.
  close(busy);
  advance(0.01);
  coordinator->exitLayout(false);
  settle();
  EXPECT_EQ(alertTitles().size(), 4U);
  EXPECT_EQ(desk().substr(0, 23), "stays(100,100 800x600) ");
}

TEST_F(Windows, AWindowIsPutBackOnScheduleUntilItHoldsOrTheScheduleEnds) {
  startSplit2();
  // Newcomers: one ignores its first two rounds of writes, two never move;
  // one of those goes full screen on its own a moment later.
  const WindowID slow = newcomer("slow", [](SimWindowSpec& d) { d.behavior.ignoredFrameWrites = 4; });
  const WindowID stuck = newcomer("stuck", [](SimWindowSpec& d) { d.behavior.refusesMove = true; });
  const WindowID big = newcomer("big", [](SimWindowSpec& d) { d.behavior.refusesMove = true; });
  desktop->recorder().clear();
  const double start = scheduler->now();
  advance(0.3);
  EXPECT_EQ(now().enforcing, (IDs{stuck, big}));
  desktop->setNotificationLatency(100.0);
  desktop->setFullScreen(big, true);
  advance(0.2);
  EXPECT_EQ(now().enforcing, (IDs{stuck}));
  advance(8);
  // Adopted after 0.15 s, then written on the schedule's delays.
  EXPECT_EQ(positionWrites(slow, start), (std::vector<double>{0.15, 0.15, 0.2}));
  EXPECT_EQ(positionWrites(stuck, start), (std::vector<double>{0.15, 0.15, 0.2, 0.32, 0.57, 1.02, 1.77, 2.97}));
  EXPECT_EQ(positionWrites(big, start), (std::vector<double>{0.15, 0.15, 0.2}));
  EXPECT_EQ(desk(), "a(720,57 720x843) b(0,57 720x843) slow(0,57 720x843) stuck(100,200 720x843) big(0,0 1440x900 fs)");
  EXPECT_EQ(now().enforcing, IDs{});
  EXPECT_TRUE(desktop->alerts()->shown().empty());
}

TEST_F(Windows, CoveredWindowsAreRaisedAndTheFocusedTabFollowsTheUser) {
  const ProcessID editor = launch("Editor"), terminal = launch("Terminal");
  const WindowID right = open(terminal, "right");
  // The terminal's own palette is its main window until the layout raises
  // its window.
  const auto floating = [](SimWindowSpec& d) { d.subrole = "AXFloatingWindow"; };
  const WindowID tpal = open(terminal, "tpal", Rect(1300, 800, 100, 80), floating);
  const WindowID left = open(editor, "left");
  settle();
  coordinator->startLayout(LayoutKind::split2);
  settle();
  const WindowID second = open(editor, "second", Rect(100, 200, 400, 300));
  settle();
  // The editor's palette covers the terminal's window.
  const WindowID palette = open(editor, "palette", Rect(800, 200, 400, 400), floating);
  advance(1);
  desktop->focusWindow(tpal);
  desktop->focusWindow(left);
  desktop->raise(palette);
  settle();
  EXPECT_EQ(layout(), "split2 @0 [left* second] [right*] mem=tabs:split2");
  EXPECT_EQ(stack(), "left right palette tpal second");
  EXPECT_EQ(desktop->mainWindow(terminal), right);

  // The palette comes up again and the user clicks the left window: the
  // right one is raised above it, once per quiet period; a click that finds
  // nothing covered looks again 0.12 s later.
  const auto clickPaletteThenLeft = [&] {
    desktop->focusWindow(palette);
    advance(0.01);
    desktop->focusWindow(left);
    advance(0.01);
  };
  clickPaletteThenLeft();
  EXPECT_EQ(stack(), "left right palette tpal second");
  clickPaletteThenLeft();
  EXPECT_EQ(stack(), "left palette right tpal second");
  advance(0.4);
  clickPaletteThenLeft();
  EXPECT_EQ(stack(), "left right palette tpal second");
  // Nothing covered at the click; the palette comes up just after it.
  advance(0.5);
  desktop->focusWindow(right);
  advance(0.5);
  desktop->focusWindow(left);
  advance(0.05);
  desktop->raise(palette);
  EXPECT_EQ(stack(), "palette left right tpal second");
  advance(0.1);
  EXPECT_EQ(stack(), "left right palette tpal second");

  // The user clicks the right window, then the tab strip's window.
  desktop->focusWindow(right);
  settle();
  EXPECT_EQ(layout(), "split2 @1 [left* second] [right*] mem=tabs:split2");
  desktop->focusWindow(second);
  settle();
  EXPECT_EQ(layout(), "split2 @0 [left second*] [right*] mem=tabs:split2");
}

TEST_F(Windows, DisplayChangesLayTheLayoutOutAgain) {
  const IDs w = startSplit2();
  chrome->log->clear();
  const double start = scheduler->now();
  desktop->setDisplays({SimDisplay{1, Rect(0, 0, 1920, 1080), Rect(0, 0, 1920, 1055)}});
  advance(3);
  std::vector<std::string> relayouts;
  for (const ChromeCall& call : chrome->log->calls()) {
    if (call.panel == tabBar(0)->name) relayouts.push_back(call.name + " " + std::to_string(std::lround((call.time - start) * 100)));
  }
  // Laid out again, strips in front, at 0, 0.08, 0.33 and 1.03 s.
  EXPECT_EQ(relayouts, (std::vector<std::string>{"updateTabs 0", "orderFrontRegardless 0", "updateTabs 8", "orderFrontRegardless 8",
                                                 "updateTabs 33", "orderFrontRegardless 33", "updateTabs 103",
                                                 "orderFrontRegardless 103"}));
  EXPECT_EQ(desk(), "a(960,57 960x1023) b(0,57 960x1023)");

  // A second display to the right, with the keyboard focus: a layout
  // started now goes there.
  const SimDisplay primary{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875)};
  desktop->setDisplays({primary, SimDisplay{2, Rect(1440, 0, 1280, 800), Rect(1440, 0, 1280, 775)}});
  desktop->setMainDisplay(2);
  coordinator->startLayout(LayoutKind::fullScreen);
  settle();
  EXPECT_EQ(desk(), "a(1440,157 1280x743) b(1440,157 1280x743)");
  // It comes back under another identity while the primary has the focus:
  // the layout follows the display holding most of its windows' area.
  desktop->setMainDisplay(1);
  desktop->setDisplays({primary, SimDisplay{7, Rect(1440, 0, 1280, 800), Rect(1440, 0, 1280, 700)}});
  advance(2);
  EXPECT_EQ(desk(), "a(1440,232 1280x668) b(1440,232 1280x668)");
  EXPECT_EQ(layout(), "fullScreen @0 [a* b] mem=tabs:fullScreen");
  // While paused, display changes are only logged.
  desktop->postSystemEvent(SystemEvent::screensDidSleep);
  settle();
  desktop->setDisplays({primary});
  advance(3);
  EXPECT_EQ(desk(), "a(1440,232 1280x668) b(1440,232 1280x668)");
  EXPECT_EQ(desktop->log()->lines().back().text, "screen parameters changed while paused");
  // Awake again, the layout leaves the display that went for the one left.
  desktop->postSystemEvent(SystemEvent::screensDidWake);
  advance(7);
  EXPECT_EQ(desk(), "a(0,57 1440x843) b(0,57 1440x843)");
  EXPECT_EQ(now().displayID, 1U);
}

TEST_F(Windows, APauseLogsTheDisplaysAndWindowsBeforeAndAfterEachResumePass) {
  const IDs w = startSplit2();
  desktop->setDisplays({SimDisplay{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875)},
                        SimDisplay{9, Rect(1440, 100.5, 1280, 800), Rect(1440, 100.5, 1280, 800)}});
  settle();
  desktop->setNotificationLatency(100.0);
  desktop->closeWindow(w[0]);
  desktop->log()->clear();
  desktop->postSystemEvent(SystemEvent::screensDidSleep);
  settle();
  desktop->postSystemEvent(SystemEvent::screensDidWake);
  advance(1.49);
  desktop->failNextWindowListReads(1);
  advance(0.01);
  std::vector<std::string> lines;
  for (const auto& line : desktop->log()->lines()) lines.push_back(line.category + " " + line.text);
  const std::string screens = " screens=1:{{0, 0}, {1440, 900}} 9:{{1440, 100.5}, {1280, 800}} windows=";
  const std::string a = std::to_string(w[0]), b = std::to_string(w[1]);
  // The read before the first resume pass fails: its windows' states are unknown.
  const std::string on = "[on]{{0, 57}, {720, 843}}";
  EXPECT_EQ(lines, (std::vector<std::string>{"Pause pause begin screensAsleep started=true active=true",
                                             "Pause paused" + screens + b + on + " " + a + "[off]nil",
                                             "Pause pause end screensAsleep resumed=true",
                                             "Pause resume round 0 before" + screens + b + "[?]{{0, 57}, {720, 843}} " + a + "[?]nil",
                                             "Pause resume round 0 after" + screens + b + on}));
}

}  // namespace
}  // namespace tessarapane
