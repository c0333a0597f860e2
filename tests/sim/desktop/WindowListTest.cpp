// The window server's on-screen list: order, filtering, keys, and the
// momentary glitches real window servers show.
#include "SimDesktopFixture.h"

namespace tessarapane::testing {
namespace {

using WindowList = SimDesktopTest;

TEST_F(WindowList, FrontMostFirstAndRaisingMovesAWindowToTheFront) {
  const ProcessID editor = launch("Editor");
  const ProcessID mail = launch("Mail");
  const WindowID a = open(editor, "a");
  const WindowID b = open(mail, "b");
  const WindowID c = open(editor, "c");
  EXPECT_EQ(listedNumbers(), (std::vector<WindowID>{c, b, a}));

  EXPECT_EQ(ax.performAction(element(a), "AXRaise"), AXError::success);
  EXPECT_EQ(listedNumbers(), (std::vector<WindowID>{a, c, b}));
  // Raising does not activate the application.
  EXPECT_NE(desktop->frontmostApplication(), editor);
  EXPECT_EQ(desktop->recorder().raisedWindows(), std::vector<WindowID>{a});

  // The user clicking a window raises and activates.
  desktop->focusWindow(b);
  EXPECT_EQ(listedNumbers(), (std::vector<WindowID>{b, a, c}));
  EXPECT_EQ(desktop->frontmostApplication(), mail);
}

TEST_F(WindowList, SheetsStayJustAboveTheirWindow) {
  const ProcessID pid = launch("Editor");
  const WindowID doc = open(pid, "doc");
  const WindowID sheet = desktop->attachSheet(doc, Rect(200, 120, 400, 150));
  const WindowID other = open(launch("Other"), "o");
  EXPECT_EQ(listedNumbers(), (std::vector<WindowID>{other, sheet, doc}));
  ax.performAction(element(doc), "AXRaise");
  EXPECT_EQ(listedNumbers(), (std::vector<WindowID>{sheet, doc, other}));
}

TEST_F(WindowList, EntriesCarryThePlatformKeys) {
  SimAppSpec desc;
  desc.localizedName = "Editor";
  const ProcessID pid = desktop->launchApplication(desc);
  SimWindowSpec window;
  window.owner = pid;
  window.title = "secret.txt";
  window.titleInWindowList = false;
  window.frame = Rect(10, 40, 300, 200);
  window.layer = 3;
  window.alpha.reset();
  const WindowID number = desktop->createWindow(window);

  auto list = platform.windowServer->onScreenWindowList();
  ASSERT_TRUE(list);
  ASSERT_EQ(list->size(), 1U);
  const WindowInfo& info = list->front();
  EXPECT_EQ(info.number, number);
  EXPECT_EQ(info.ownerPID, pid);
  EXPECT_EQ(info.layer, 3);
  EXPECT_EQ(info.bounds, Rect(10, 40, 300, 200));
  EXPECT_FALSE(info.alpha);
  EXPECT_EQ(info.ownerName, "Editor");
  EXPECT_FALSE(info.name);  // the title is not shared
  desktop->window(number)->desc.titleInWindowList = true;
  EXPECT_EQ(platform.windowServer->onScreenWindowList()->front().name, "secret.txt");
}

TEST_F(WindowList, HiddenMinimisedAndOtherDesktopWindowsAreNotOnScreen) {
  const ProcessID pid = launch("Editor");
  const WindowID shown = open(pid, "shown");
  const WindowID minimised = open(pid, "min");
  const WindowID hidden = open(pid, "hidden");
  SimWindowSpec elsewhere;
  elsewhere.owner = pid;
  elsewhere.desktop = 1;
  const WindowID away = desktop->createWindow(elsewhere);
  desktop->setMinimized(minimised, true);
  desktop->setOnScreen(hidden, false);

  EXPECT_EQ(listedNumbers(), std::vector<WindowID>{shown});
  // The application still knows its minimised and hidden windows, not the
  // one on another desktop.
  EXPECT_EQ(desktop->windowsOf(pid), (std::vector<WindowID>{hidden, minimised, shown}));
  desktop->switchDesktop(1);
  EXPECT_EQ(listedNumbers(), std::vector<WindowID>{away});
}

TEST_F(WindowList, AWindowCanBeAnnouncedBeforeTheServerListsIt) {
  const ProcessID pid = launch("Editor");
  SimWindowSpec desc;
  desc.owner = pid;
  desc.listedAfter = 0.1;
  const WindowID number = desktop->createWindow(desc);
  EXPECT_TRUE(listedNumbers().empty());
  EXPECT_EQ(readAs<std::vector<AXElement>>(appElement(pid), "AXWindows"), std::vector<AXElement>{element(number)});
  clock->advance(0.1);
  EXPECT_EQ(listedNumbers(), std::vector<WindowID>{number});
}

TEST_F(WindowList, MomentarilyUnreadableThenEmptyThenNormal) {
  const WindowID number = open(launch("Editor"), "w");
  desktop->failNextWindowListReads(2);
  desktop->emptyNextWindowListReads(1);
  EXPECT_FALSE(platform.windowServer->onScreenWindowList());
  EXPECT_FALSE(platform.windowServer->onScreenWindowList());
  auto empty = platform.windowServer->onScreenWindowList();
  ASSERT_TRUE(empty);  // known to be empty, which is not unknown
  EXPECT_TRUE(empty->empty());
  EXPECT_EQ(listedNumbers(), std::vector<WindowID>{number});
  // The glitches never touch the accessibility side.
  EXPECT_EQ(readAs<std::string>(element(number), "AXRole"), "AXWindow");
}

TEST_F(WindowList, DisplaysInAccessibilitySpacePrimaryFirst) {
  // Primary 1440 x 900; a second display to its right, bottom-aligned and taller.
  desktop->setDisplays({SimDisplay{7, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875)},
                        SimDisplay{9, Rect(1440, 0, 1920, 1200), Rect(1440, 0, 1920, 1175)}});
  auto& server = *platform.windowServer;
  const ActiveDisplayList count = server.activeDisplayList(0);
  EXPECT_EQ(count.error, 0);
  EXPECT_EQ(count.count, 2U);
  EXPECT_TRUE(count.displays.empty());
  EXPECT_EQ(server.activeDisplayList(2).displays, (std::vector<DisplayID>{7, 9}));
  EXPECT_EQ(server.activeDisplayList(1).displays, std::vector<DisplayID>{7});
  EXPECT_EQ(server.displayBounds(7), Rect(0, 0, 1440, 900));
  EXPECT_EQ(server.displayBounds(9), Rect(1440, -300, 1920, 1200));  // reaches above the primary's top
  EXPECT_TRUE(server.displayBounds(3).isNull());

  desktop->failDisplayListReads(1001);
  EXPECT_EQ(server.activeDisplayList(0).error, 1001);
}

TEST_F(WindowList, FullScreenOnTheSecondDisplayCoversThatDisplay) {
  desktop->setDisplays({SimDisplay{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875)},
                        SimDisplay{2, Rect(1440, 0, 1920, 1200), Rect(1440, 0, 1920, 1200)}});
  const WindowID number = open(launch("Video"), "v", Rect(1600, 100, 800, 600));
  desktop->setFullScreen(number, true);
  EXPECT_EQ(desktop->frame(number), Rect(1440, -300, 1920, 1200));
}

}  // namespace
}  // namespace tessarapane::testing
