// The window indexer on a real desktop: which windows it lists, and that
// what it reports matches what the X server says.
#include <unistd.h>

#include <algorithm>
#include <set>

#include "X11Test.h"
#include "backends/x11/X11Accessibility.h"
#include "windows/AXHelpers.h"
#include "windows/WindowIndexer.h"

namespace tessarapane::x11test {
namespace {

class IndexerTest : public X11Test {
 protected:
  // A normal window of this very process, as the program's own panels are.
  xcb_window_t mapOwnWindow() {
    xcb_connection_t* c = probe();
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 700, 400, 400, 300, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    const std::uint32_t pid = static_cast<std::uint32_t>(getpid());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, probeAtom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);
    const xcb_atom_t normal = probeAtom("_NET_WM_WINDOW_TYPE_NORMAL");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, probeAtom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1,
                        &normal);
    xcb_map_window(c, window);
    xcb_flush(c);
    return window;
  }

  bool listed(xcb_window_t window) {
    const auto clients = backend().desktop->clientList(backend().connection->deadline());
    return clients && std::find(clients->begin(), clients->end(), window) != clients->end();
  }
};

TEST_F(IndexerTest, ListsExactlyTheManageableWindows) {
  auto plain = startClient({"--title", "Plain", "--geometry", "500x400+40+40"});
  auto terminal = startProgram({"xterm", "-geometry", "80x24+600+40"});
  auto withDialog = startClient({"--title", "Main", "--geometry", "500x400+300+300", "--dialog"});
  auto dialog = startClient({"--type", "dialog", "--geometry", "300x200+100+500"});
  auto palette = startClient({"--type", "utility", "--geometry", "300x200+500+500"});
  auto dock = startClient({"--type", "dock", "--geometry", "1440x30+0+870", "--strut", "bottom:30"});
  auto background = startClient({"--type", "desktop", "--geometry", "1440x900+0+0"});
  auto tiny = startClient({"--geometry", "100x50+900+600"});
  auto minimized = startClient({"--minimize"});
  auto fullScreen = startClient({"--fullscreen"});
  ASSERT_TRUE(plain && terminal && withDialog && dialog && palette && dock && background && tiny && minimized &&
              fullScreen);
  const auto terminalWindow = waitForClientOf(terminal->pid());
  ASSERT_TRUE(terminalWindow);
  ASSERT_TRUE(withDialog->waitForDialog());
  const xcb_window_t own = mapOwnWindow();
  ASSERT_TRUE(waitUntil([&] { return listed(own); }));

  Accessibility& ax = *platform().accessibility;
  ASSERT_TRUE(waitUntil([&] {
    return AXHelpers::boolean(ax, "AXMinimized", X11Accessibility::windowElement(minimized->pid(), minimized->window)) ==
               true &&
           AXHelpers::boolean(ax, "AXFullScreen",
                              X11Accessibility::windowElement(fullScreen->pid(), fullScreen->window)) == true;
  }));
  settle();

  WindowIndexer indexer(platform());
  const std::vector<ManagedWindow> windows = indexer.currentSpaceWindows();
  std::set<WindowID> found;
  for (const ManagedWindow& window : windows) found.insert(window.windowID);
  EXPECT_EQ(found, (std::set<WindowID>{plain->window, *terminalWindow, withDialog->window}));

  const auto record = std::find_if(windows.begin(), windows.end(),
                                   [&](const ManagedWindow& w) { return w.windowID == plain->window; });
  ASSERT_NE(record, windows.end());
  EXPECT_EQ(record->ownerPID, plain->pid());
  EXPECT_EQ(record->appName, "TestClient");
  EXPECT_EQ(record->bundleIdentifier, "TestClient");
  EXPECT_EQ(record->title, "Plain");
  EXPECT_EQ(record->element, X11Accessibility::windowElement(plain->pid(), plain->window));
  EXPECT_EQ(std::optional<Rect>(record->frame), witnessFrame(plain->window));

  // xterm names itself only through WM_NAME, and has no window type.
  const auto xterm = std::find_if(windows.begin(), windows.end(),
                                  [&](const ManagedWindow& w) { return w.windowID == *terminalWindow; });
  ASSERT_NE(xterm, windows.end());
  EXPECT_EQ(xterm->appName, "XTerm");
  EXPECT_EQ(xterm->title, "xterm");

  // One application's windows alone.
  const auto ofPlain = indexer.currentSpaceWindows(plain->pid());
  ASSERT_EQ(ofPlain.size(), 1U);
  EXPECT_EQ(ofPlain.front().windowID, plain->window);

  // The stack is the window manager's order, front-most first.
  std::vector<WindowID> expectedStack;
  const std::vector<xcb_window_t> stacking = witnessStacking();
  for (auto it = stacking.rbegin(); it != stacking.rend(); ++it) {
    if (found.count(*it) != 0) expectedStack.push_back(*it);
  }
  std::vector<WindowID> stack;
  for (const auto& entry : indexer.onScreenWindowStack()) {
    if (found.count(entry.windowID) != 0) stack.push_back(entry.windowID);
  }
  EXPECT_EQ(stack, expectedStack);
}

}  // namespace
}  // namespace tessarapane::x11test
