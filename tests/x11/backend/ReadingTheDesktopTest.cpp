// What the backend reads of a real desktop: every kind of client a desktop
// holds, described the way the program sees it (accessibility attributes,
// the on-screen list, the window indexer) and compared as a whole with what
// the window manager and the clients' own properties say.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>

#include "X11Test.h"
#include "backends/x11/X11Accessibility.h"
#include "windows/AXHelpers.h"
#include "windows/WindowIndexer.h"

namespace tessarapane::x11test {
namespace {

class ReadingTheDesktopTest : public X11Test {
 protected:
  Accessibility& ax() { return *platform().accessibility; }
  AXElement element(const TestClient& client) { return X11Accessibility::windowElement(client.pid(), client.window); }

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

  // One line per window: subrole, close button, whether the indexer takes
  // it, and its on-screen list entry (layer, alpha, owner traced).
  std::string describe(const std::string& name, pid_t pid, xcb_window_t window,
                       const std::vector<ManagedWindow>& indexed, const std::vector<WindowInfo>& list) {
    const AXElement e = X11Accessibility::windowElement(pid, window);
    std::string line = name + ": " + AXHelpers::string(ax(), "AXSubrole", e).value_or("-");
    line += ax().copyAttributeValue(e, "AXCloseButton").error == AXError::success ? " close" : " -";
    const bool isIndexed = std::any_of(indexed.begin(), indexed.end(),
                                       [&](const ManagedWindow& w) { return w.windowID == window; });
    line += isIndexed ? " indexed" : " -";
    const auto entry = std::find_if(list.begin(), list.end(), [&](const WindowInfo& i) { return i.number == window; });
    if (entry == list.end()) return line + " off-screen";
    line += " layer " + std::string(entry->layer == 0 ? "0" : "above");
    if (entry->alpha) line += " alpha " + std::to_string(std::lround(*entry->alpha * 100)) + "%";
    if (entry->ownerPID != pid) line += " owner " + std::to_string(entry->ownerPID.value_or(0));
    return line;
  }
};

TEST_F(ReadingTheDesktopTest, EveryKindOfWindowIsDescribedAsTheDesktopShowsIt) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> kinds{
      {"plain", {"--title", "窗口 Ärger", "--geometry", "500x400+40+40", "--opacity", "0.5"}},
      {"main", {"--title", "Main", "--geometry", "500x400+300+300"}},
      {"dialog", {"--type", "dialog", "--title", "A dialog", "--geometry", "300x200+100+500"}},
      {"palette", {"--type", "utility", "--geometry", "300x200+500+500"}},
      {"untyped", {"--type", "none", "--no-delete-window", "--geometry", "300x200+800+100"}},
      {"dock", {"--type", "dock", "--geometry", "1440x30+0+870", "--strut", "bottom:30"}},
      {"background", {"--type", "desktop", "--geometry", "1440x900+0+0"}},
      {"tiny", {"--geometry", "100x50+900+600"}},
      {"minimized", {}},
      {"full screen", {}},
      {"anonymous", {"--title", "No pid", "--no-pid", "--geometry", "300x200+200+200"}},
      {"elsewhere", {"--title", "Elsewhere"}}};
  std::map<std::string, std::unique_ptr<TestClient>> clients;
  for (const auto& [name, arguments] : kinds) ASSERT_TRUE(clients[name] = startClient(arguments)) << name;
  TestClient &plain = *clients["plain"], &minimized = *clients["minimized"], &fullScreen = *clients["full screen"];
  pid_t terminalPid = 0;
  const xcb_window_t terminal = xterm("80x24+600+40", &terminalPid);
  ASSERT_TRUE(terminal);
  ASSERT_TRUE(clients["main"]->openDialog() && minimized.command("minimize") && fullScreen.command("fullscreen"));
  ASSERT_TRUE(succeeds({"wmctrl", "-i", "-r", std::to_string(clients["elsewhere"]->window), "-t", "1"}));
  const xcb_window_t own = mapOwnWindow();
  ASSERT_TRUE(waitUntil([&] {
    const auto listed = backend().desktop->clientList(backend().connection->deadline());
    return listed && std::count(listed->begin(), listed->end(), own) == 1 &&
           AXHelpers::boolean(ax(), "AXMinimized", element(minimized)) == true &&
           AXHelpers::boolean(ax(), "AXFullScreen", element(fullScreen)) == true;
  }));
  settle();

  WindowIndexer indexer(platform());
  const std::vector<ManagedWindow> indexed = indexer.currentSpaceWindows();
  const auto list = platform().windowServer->onScreenWindowList();
  ASSERT_TRUE(list);
  std::vector<std::string> described;
  for (const auto& [name, arguments] : kinds) {
    described.push_back(describe(name, clients[name]->pid(), clients[name]->window, indexed, *list));
  }
  described.push_back(describe("xterm", terminalPid, terminal, indexed, *list));
  described.push_back(describe("own", getpid(), own, indexed, *list));
  const std::vector<std::string> expected{
      "plain: AXStandardWindow close indexed layer 0 alpha 50%",
      "main: AXStandardWindow close indexed layer 0",
      "dialog: AXDialog close - layer 0",
      "palette: AXFloatingWindow close - layer 0",
      "untyped: - - indexed layer 0",
      "dock: AXUnknown close - layer above",
      "background: AXUnknown close - off-screen",
      "tiny: AXStandardWindow close - layer 0",
      "minimized: AXStandardWindow close - off-screen",
      "full screen: AXStandardWindow close - layer 0",
      "anonymous: AXStandardWindow close indexed layer 0",
      "elsewhere: AXStandardWindow close - off-screen",
      "xterm: - close indexed layer 0",
      "own: AXStandardWindow - - layer 0",
  };
  EXPECT_EQ(described, expected);

  // What the indexer tells of a window is what the server says: xterm names
  // itself only through WM_NAME; the frame is the outer frame.
  const auto record = [&](xcb_window_t window) {
    return *std::find_if(indexed.begin(), indexed.end(), [&](const ManagedWindow& w) { return w.windowID == window; });
  };
  const ManagedWindow first = record(plain.window);
  EXPECT_EQ(std::make_tuple(first.ownerPID, first.appName, first.bundleIdentifier, first.title, first.element),
            std::make_tuple(plain.pid(), std::string("TestClient"), std::optional<std::string>("TestClient"),
                            std::string("窗口 Ärger"), element(plain)));
  EXPECT_EQ(std::optional<Rect>(first.frame), witnessFrame(plain.window));
  EXPECT_GT(first.frame.height(), 400.0) << "decorations belong to the outer frame";
  EXPECT_EQ(std::make_pair(record(terminal).appName, record(terminal).title),
            std::make_pair(std::string("XTerm"), std::string("xterm")));
  const auto ofPlain = indexer.currentSpaceWindows(plain.pid());
  ASSERT_EQ(ofPlain.size(), 1U);
  EXPECT_EQ(ofPlain.front().windowID, plain.window);
  EXPECT_EQ(AXHelpers::windows(ax(), ax().createApplication(plain.pid())), std::vector<AXElement>{element(plain)});

  // Both orders are the window manager's, front-most first.
  std::set<WindowID> manageable;
  for (const ManagedWindow& window : indexed) manageable.insert(window.windowID);
  std::vector<WindowID> witnessed;
  const std::vector<xcb_window_t> stacking = witnessStacking();
  for (auto it = stacking.rbegin(); it != stacking.rend(); ++it) {
    if (manageable.count(*it) != 0) witnessed.push_back(*it);
  }
  std::vector<WindowID> stack;
  for (const auto& entry : indexer.onScreenWindowStack()) {
    if (manageable.count(entry.windowID) != 0) stack.push_back(entry.windowID);
  }
  std::vector<WindowID> listed;
  for (const WindowInfo& info : *list) {
    if (info.number && manageable.count(*info.number) != 0) listed.push_back(*info.number);
  }
  EXPECT_EQ(stack, witnessed);
  EXPECT_EQ(listed, witnessed);

  const auto displays = platform().windowServer->activeDisplayList(1);
  ASSERT_EQ(displays.displays.size(), 1U);
  EXPECT_EQ(platform().windowServer->displayBounds(displays.displays.front()), Rect(0, 0, 1440, 900));
  EXPECT_TRUE(platform().windowServer->displayBounds(12345).isNull());
}

TEST_F(ReadingTheDesktopTest, FramesAndStatesFollowTheWindowAndAGoneWindowIsInvalid) {
  auto mover = startClient({"--geometry", "300x200+100+100"});
  auto client = startClient({"--title", "Owner"});
  ASSERT_TRUE(mover && client && mover->command("move 500 400"));
  // A client that moves itself is read where it went.
  EXPECT_TRUE(waitUntil([&] {
    const auto now = AXHelpers::frame(ax(), element(*mover));
    return now && now->origin == Point{500, 400};
  }));
  EXPECT_EQ(AXHelpers::frame(ax(), element(*mover)), witnessFrame(mover->window));

  // A modal dialog of the window is its sheet, takes the focus and disables
  // the window's close button until it goes.
  const AXElement main = element(*client);
  const auto closeEnabled = [&] {
    const AXCopyResult button = ax().copyAttributeValue(main, "AXCloseButton");
    return button.value ? AXHelpers::boolean(ax(), "AXEnabled", std::get<AXElement>(*button.value)) : std::nullopt;
  };
  const auto sheets = [&] {
    const AXCopyResult value = ax().copyAttributeValue(main, "AXSheets");
    return value.value ? std::get<std::vector<AXElement>>(*value.value) : std::vector<AXElement>{};
  };
  EXPECT_EQ(closeEnabled(), true);
  const auto dialog = client->openDialog();
  ASSERT_TRUE(dialog);
  const AXElement sheet = X11Accessibility::windowElement(client->pid(), *dialog);
  EXPECT_TRUE(waitUntil([&] { return sheets() == std::vector<AXElement>{sheet}; }));
  EXPECT_EQ(std::make_tuple(AXHelpers::boolean(ax(), "AXModal", sheet), AXHelpers::boolean(ax(), "AXModal", main),
                            closeEnabled()),
            std::make_tuple(std::optional<bool>(true), std::optional<bool>(false), std::optional<bool>(false)));
  EXPECT_TRUE(waitUntil([&] {
    const AXCopyResult focused = ax().copyAttributeValue(ax().createApplication(client->pid()), "AXFocusedWindow");
    return focused.value && std::get<AXElement>(*focused.value) == sheet;
  }));
  ASSERT_TRUE(client->command("close-dialog"));
  EXPECT_TRUE(waitUntil([&] { return sheets().empty() && closeEnabled() == true; }));

  // Window states as the window manager sets them.
  for (const auto& [command, attribute, value] :
       std::vector<std::tuple<std::string, std::string, bool>>{{"fullscreen", "AXFullScreen", true},
                                                               {"unfullscreen", "AXFullScreen", false},
                                                               {"minimize", "AXMinimized", true}}) {
    ASSERT_TRUE(client->command(command));
    EXPECT_TRUE(waitUntil([&] { return AXHelpers::boolean(ax(), attribute, main) == value; })) << command;
  }

  ASSERT_TRUE(mover->command("quit"));
  ASSERT_TRUE(mover->process.wait(5.0).has_value());
  const AXElement gone = element(*mover);
  EXPECT_TRUE(waitUntil([&] { return ax().copyAttributeValue(gone, "AXRole").error == AXError::invalidUIElement; }));
  EXPECT_EQ(std::make_tuple(ax().copyAttributeValue(gone, "AXPosition").error,
                            ax().setAttributeValue(gone, "AXPosition", Point{0, 0}), ax().performAction(gone, "AXRaise")),
            std::make_tuple(AXError::invalidUIElement, AXError::invalidUIElement, AXError::invalidUIElement));
}

// The backend keeps what it read until the server reports a change. After
// every kind of change a desktop sees, what it tells must be what a backend
// that has never read anything reads afresh.
TEST_F(ReadingTheDesktopTest, WhatIsKeptFollowsEveryChangeOfTheDesktop) {
  auto first = startClient({"--title", "First", "--geometry", "400x300+40+40"});
  auto second = startClient({"--title", "Second", "--geometry", "400x300+500+40"});
  auto third = startClient({"--title", "Third", "--geometry", "400x300+40+450"});
  ASSERT_TRUE(first && second && third);
  settle();
  const auto view = [&](Platform& platform) {
    std::string text;
    for (const WindowInfo& info : platform.windowServer->onScreenWindowList().value_or(std::vector<WindowInfo>{})) {
      const Rect bounds = info.bounds.value_or(Rect::null());
      text += std::to_string(info.number.value_or(0)) + " " + info.name.value_or("-") + " layer " +
              std::to_string(info.layer.value_or(-1)) + " alpha " + std::to_string(std::lround(info.alpha.value_or(1) * 100)) +
              " at " + std::to_string(std::lround(bounds.x())) + "," + std::to_string(std::lround(bounds.y())) + " " +
              std::to_string(std::lround(bounds.width())) + "x" + std::to_string(std::lround(bounds.height())) + "\n";
    }
    for (const TestClient* client : {first.get(), second.get(), third.get()}) {
      const AXElement e = X11Accessibility::windowElement(client->pid(), client->window);
      Accessibility& ax = *platform.accessibility;
      const auto frame = AXHelpers::frame(ax, e).value_or(Rect::null());
      text += AXHelpers::string(ax, "AXTitle", e).value_or("-") + (AXHelpers::boolean(ax, "AXMinimized", e) == true ? " minimised" : "") +
              (AXHelpers::boolean(ax, "AXFullScreen", e) == true ? " full screen" : "") + " frame " +
              std::to_string(std::lround(frame.x())) + "," + std::to_string(std::lround(frame.y())) + "\n";
    }
    return text;
  };
  const auto wmctrl = [](std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "wmctrl");
    return succeeds(arguments);
  };
  const auto id = [](const std::unique_ptr<TestClient>& client) { return std::to_string(client->window); };
  const std::vector<std::pair<std::string, std::function<bool()>>> changes{
      {"retitled", [&] { return first->command("title Renamed"); }},
      {"moved by the window manager", [&] { return wmctrl({"-i", "-r", id(second), "-e", "0,600,100,-1,-1"}); }},
      {"resized", [&] { return wmctrl({"-i", "-r", id(third), "-e", "0,-1,-1,500,250"}); }},
      {"made translucent",
       [&] {
         return succeeds({"xprop", "-id", id(second), "-f", "_NET_WM_WINDOW_OPACITY", "32c", "-set",
                          "_NET_WM_WINDOW_OPACITY", "2147483647"});
       }},
      {"minimised", [&] { return first->command("minimize"); }},
      {"sent to another desktop", [&] { return wmctrl({"-i", "-r", id(third), "-t", "1"}); }},
      {"another desktop shown", [&] { return wmctrl({"-s", "1"}); }},
      {"back on the first desktop", [&] { return wmctrl({"-s", "0"}); }},
      {"shown again", [&] { return wmctrl({"-i", "-a", id(first)}); }},
      {"full screen", [&] { return second->command("fullscreen"); }},
  };
  EXPECT_FALSE(view(platform()).empty());
  for (const auto& [what, change] : changes) {
    ASSERT_TRUE(change()) << what;
    settle();
    // The window manager may still be animating (an iconified frame glides
    // away): the truth is read again until both agree.
    std::string kept;
    std::string truth;
    EXPECT_TRUE(waitUntil(
        [&] {
          std::string error;
          std::optional<X11Backend> fresh = makeX11Backend(session().display(), nullptr, &error);
          truth = fresh ? view(fresh->platform) : error;
          kept = view(platform());
          return kept == truth;
        },
        3.0))
        << "after the window was " << what << ":\n" << kept << "instead of\n" << truth;
  }
}

}  // namespace
}  // namespace tessarapane::x11test
