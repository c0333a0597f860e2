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
#include "windows/WindowObservationService.h"

namespace tessarapane::x11test {
namespace {

class ReadingTheDesktopTest : public X11Test {
 protected:
  Accessibility& ax() { return *platform().accessibility; }
  AXElement element(const TestClient& client) { return X11Accessibility::windowElement(client.pid(), client.window); }
  bool wmctrl(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "wmctrl");
    return succeeds(arguments);
  }

  // One line per window: subrole, close button, full screen, whether the
  // indexer takes it, and its on-screen list entry (layer, alpha, owner traced).
  std::string describe(const std::string& name, pid_t pid, xcb_window_t window,
                       const std::vector<ManagedWindow>& indexed, const std::vector<WindowInfo>& list) {
    const AXElement e = X11Accessibility::windowElement(pid, window);
    std::string line = name + ": " + AXHelpers::string(ax(), "AXSubrole", e).value_or("-");
    line += ax().copyAttributeValue(e, "AXCloseButton").error == AXError::success ? " close" : " -";
    line += AXHelpers::boolean(ax(), "AXFullScreen", e) == true ? " full" : "";
    line += std::any_of(indexed.begin(), indexed.end(), [&](const ManagedWindow& w) { return w.windowID == window; })
                ? " indexed" : " -";
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
      {"maximised", {}},
      {"anonymous", {"--title", "No pid", "--no-pid", "--geometry", "300x200+200+200"}},
      {"elsewhere", {"--title", "Elsewhere"}},
      // A window of this very process, as the program's own panels are.
      {"own", {"--title", "Own", "--pid", std::to_string(getpid())}}};
  std::map<std::string, std::unique_ptr<TestClient>> clients;
  for (const auto& [name, arguments] : kinds) ASSERT_TRUE(clients[name] = startClient(arguments)) << name;
  TestClient &plain = *clients["plain"], &minimized = *clients["minimized"], &fullScreen = *clients["full screen"];
  pid_t terminalPid = 0;
  const xcb_window_t terminal = xterm("80x24+600+40", &terminalPid);
  ASSERT_TRUE(terminal);
  ASSERT_TRUE(clients["main"]->openDialog() && minimized.command("minimize") && fullScreen.command("fullscreen"));
  ASSERT_TRUE(wmctrl({"-i", "-r", std::to_string(clients["elsewhere"]->window), "-t", "1"}));
  ASSERT_TRUE(wmctrl({"-i", "-r", std::to_string(clients["maximised"]->window), "-b", "add,maximized_vert,maximized_horz"}));
  ASSERT_TRUE(waitUntil([&] {
    return AXHelpers::boolean(ax(), "AXMinimized", element(minimized)) == true &&
           AXHelpers::boolean(ax(), "AXFullScreen", element(fullScreen)) == true &&
           witnessFrame(clients["maximised"]->window).value_or(Rect::null()).width() == 1440;
  }));
  settle();

  WindowIndexer indexer(platform());
  const std::vector<ManagedWindow> indexed = indexer.currentSpaceWindows();
  const auto list = platform().windowServer->onScreenWindowList();
  ASSERT_TRUE(list);
  std::vector<std::string> described;
  for (const auto& [name, arguments] : kinds) {
    described.push_back(describe(name, name == "own" ? getpid() : clients[name]->pid(), clients[name]->window, indexed, *list));
  }
  described.push_back(describe("xterm", terminalPid, terminal, indexed, *list));
  // A maximised window is an ordinary one: only the full-screen state lets a layout go of a window.
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
      "full screen: AXStandardWindow close full - layer 0",
      "maximised: AXStandardWindow close indexed layer 0",
      "anonymous: AXStandardWindow close indexed layer 0",
      "elsewhere: AXStandardWindow close - off-screen",
      "own: AXStandardWindow close - layer 0",
      "xterm: - close indexed layer 0",
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
  EXPECT_EQ(std::make_pair(record(terminal).appName, record(terminal).title), std::make_pair(std::string("XTerm"), std::string("xterm")));
  EXPECT_EQ(AXHelpers::windows(ax(), ax().createApplication(plain.pid())), std::vector<AXElement>{element(plain)});

  // Both orders are the window manager's, front-most first.
  std::set<WindowID> manageable;
  for (const ManagedWindow& window : indexed) manageable.insert(window.windowID);
  std::vector<WindowID> witnessed, stack, listed;
  const std::vector<xcb_window_t> stacking = witnessStacking();
  std::copy_if(stacking.rbegin(), stacking.rend(), std::back_inserter(witnessed), [&](WindowID w) { return manageable.count(w); });
  for (const auto& entry : indexer.onScreenWindowStack()) {
    if (manageable.count(entry.windowID) != 0) stack.push_back(entry.windowID);
  }
  for (const WindowInfo& info : *list) {
    if (info.number && manageable.count(*info.number) != 0) listed.push_back(*info.number);
  }
  EXPECT_EQ(stack, witnessed);
  EXPECT_EQ(listed, witnessed);
}

// The backend keeps what it read until the server reports a change. After
// every kind of change a desktop sees, what it tells must be what a backend
// that has never read anything reads afresh, and the program hears of it
// (the workspace's and the observation service's notifications) at once, a
// new title once; nothing once observation stops. On the way, a window
// moving itself, a modal dialog and a window's end are read as they happen.
TEST_F(ReadingTheDesktopTest, WhatIsKeptAndWhatIsToldFollowEveryChangeOfTheDesktop) {
  std::vector<std::string> heard;  // the observation service's and the workspace's lines
  const auto hear = [&](std::string what) { return [&heard, what] { heard.push_back(what); }; };
  auto service = WindowObservationService::create(
      platform(), [&](ProcessID pid) { heard.push_back("created " + std::to_string(pid)); }, hear("state"), hear("focus"),
      hear("title"));
  Workspace& workspace = *platform().workspace;
  Subscription subscription = workspace.subscribe([&](const WorkspaceNotification& n) {
    static const char* kKinds[] = {"launched", "terminated", "activated", "desktop changed"};
    heard.push_back(kKinds[static_cast<int>(n.kind)] +
                    (n.application ? " " + n.application->localizedName.value_or("?") + " " +
                                         std::to_string(n.application->processIdentifier) : std::string()));
  });
  EXPECT_EQ(workspace.currentProcessID(), getpid());
  auto first = startClient({"--title", "First", "--class", "Gadget", "--geometry", "400x300+40+40"});
  auto second = startClient({"--title", "Second", "--class", "Other", "--geometry", "400x300+500+40"});
  auto panel = startClient({"--type", "dock", "--class", "Panel", "--geometry", "1440x30+0+870"});
  ASSERT_TRUE(first && second && panel);
  std::unique_ptr<TestClient> third;
  service->start();
  EXPECT_TRUE(service->isRegistered(first->pid()));
  settle();
  const auto pid = [](const std::unique_ptr<TestClient>& client) { return std::to_string(client->pid()); };
  const auto view = [&](Platform& platform) {
    std::ostringstream text;
    for (const WindowInfo& info : platform.windowServer->onScreenWindowList().value_or(std::vector<WindowInfo>{})) {
      text << info.number.value_or(0) << " " << info.name.value_or("-") << " layer " << info.layer.value_or(-1) << " alpha "
           << std::lround(info.alpha.value_or(1) * 100) << " at " << info.bounds.value_or(Rect::null()) << "\n";
    }
    for (const TestClient* client : {first.get(), second.get(), third.get()}) {
      if (!client) continue;
      const AXElement e = X11Accessibility::windowElement(client->pid(), client->window);
      Accessibility& ax = *platform.accessibility;
      text << AXHelpers::string(ax, "AXTitle", e).value_or("-") << (AXHelpers::boolean(ax, "AXMinimized", e) == true ? " minimised" : "")
           << (AXHelpers::boolean(ax, "AXFullScreen", e) == true ? " full screen" : "") << " frame "
           << AXHelpers::frame(ax, e).value_or(Rect::null()) << "\n";
    }
    return text.str();
  };
  // A modal dialog of the window is its sheet, takes the focus and disables
  // the window's close button until it goes.
  const AXElement main = element(*first);
  const auto closeEnabled = [&] {
    const AXCopyResult button = ax().copyAttributeValue(main, "AXCloseButton");
    return button.value ? AXHelpers::boolean(ax(), "AXEnabled", std::get<AXElement>(*button.value)) : std::nullopt;
  };
  const auto sheets = [&] {
    const AXCopyResult value = ax().copyAttributeValue(main, "AXSheets");
    return value.value ? std::get<std::vector<AXElement>>(*value.value) : std::vector<AXElement>{};
  };
  const auto openSheet = [&] {
    const auto dialog = first->openDialog();
    if (!dialog || closeEnabled() != true) return false;
    const AXElement sheet = X11Accessibility::windowElement(first->pid(), *dialog);
    EXPECT_TRUE(waitUntil([&] { return sheets() == std::vector<AXElement>{sheet}; }));
    EXPECT_EQ(std::make_tuple(AXHelpers::boolean(ax(), "AXModal", sheet), AXHelpers::boolean(ax(), "AXModal", main), closeEnabled()),
              std::make_tuple(std::optional<bool>(true), std::optional<bool>(false), std::optional<bool>(false)));
    return waitUntil([&] {
      const AXCopyResult focused = ax().copyAttributeValue(ax().createApplication(first->pid()), "AXFocusedWindow");
      return focused.value && std::get<AXElement>(*focused.value) == sheet;
    });
  };
  const auto id = [](const std::unique_ptr<TestClient>& client) { return std::to_string(client->window); };
  struct Change {
    std::string what;
    std::function<bool()> act;
    std::vector<std::string> told;  // beginnings of lines heard meanwhile (others may come too)
  };
  const std::vector<Change> changes{
      {"started as a new application", [&] { return (third = startClient({"--title", "Third", "--class", "Third"})) != nullptr; },
       {"launched Third ", "created "}},
      {"activated", [&] { return waitUntil([&] { return witnessActiveWindow() == third->window; }) && workspace.activate(first->pid()); },
       {"focus", "activated Gadget " + pid(first)}},
      {"retitled", [&] { return second->command("title Renamed"); }, {"title"}},
      {"moved by itself", [&] { return third->command("move 500 400"); }, {}},
      {"moved by the window manager", [&] { return wmctrl({"-i", "-r", id(second), "-e", "0,600,100,-1,-1"}); }, {}},
      {"resized", [&] { return wmctrl({"-i", "-r", id(third), "-e", "0,-1,-1,500,250"}); }, {}},
      // Told once the window manager has carried the move out, well before the longest wait.
      {"moved by the program",
       [&] {
         std::optional<Rect> frameWhenTold;
         const double waited = timed([&] {
           ax().setAttributeValue(element(*third), "AXPosition", Point{520, 380});
           ax().whenWritesCarriedOut([&] { frameWhenTold = witnessFrame(third->window); });
           waitUntil([&] { return frameWhenTold.has_value(); });
         });
         return frameWhenTold && frameWhenTold->origin == Point{520, 380} && waited < X11ManagerCatchUp::kLongestWait;
       }, {}},
      {"made translucent",
       [&] {
         return succeeds({"xprop", "-id", id(second), "-f", "_NET_WM_WINDOW_OPACITY", "32c", "-set", "_NET_WM_WINDOW_OPACITY", "2147483647"});
       }, {}},
      {"given a dialog", openSheet, {"created " + pid(first)}},
      {"rid of its dialog",
       [&] { return first->command("close-dialog") && waitUntil([&] { return sheets().empty() && closeEnabled() == true; }); }, {"state"}},
      {"minimised", [&] { return first->command("minimize"); }, {}},
      {"sent to another desktop", [&] { return wmctrl({"-i", "-r", id(third), "-t", "1"}); }, {}},
      {"another desktop shown", [&] { return wmctrl({"-s", "1"}); }, {"desktop changed"}},
      {"back on the first desktop", [&] { return wmctrl({"-s", "0"}); }, {"desktop changed"}},
      {"shown again", [&] { return wmctrl({"-i", "-a", id(first)}); }, {}},
      // The layout lets go of a full-screen window at once.
      {"full screen", [&] { return second->command("fullscreen"); }, {"desktop changed"}},
      {"no longer full screen", [&] { return second->command("unfullscreen"); }, {"desktop changed"}},
      // Older clients name their windows in Latin-1 only.
      {"named in Latin-1 alone",
       [&] {
         return succeeds({"xprop", "-id", id(third), "-remove", "_NET_WM_NAME"}) &&
                succeeds({"xprop", "-id", id(third), "-f", "WM_NAME", "8s", "-set", "WM_NAME", "Caf\xe9"});
       }, {"title"}},
      {"closed", [&] { return second->command("quit") && second->process.wait(5.0).has_value(); },
       {"state", "terminated Other " + pid(second)}},
  };
  std::map<std::string, std::string> views;
  for (const auto& [what, act, told] : changes) {
    const std::size_t mark = heard.size();
    ASSERT_TRUE(act()) << what;
    settle();
    // The window manager may still be animating (an iconified frame glides
    // away): the truth is read again until both agree.
    std::string kept, truth;
    EXPECT_TRUE(waitUntil([&] {
      std::string error;
      std::optional<X11Backend> fresh = makeX11Backend(session().display(), nullptr, &error);
      truth = fresh ? view(fresh->platform) : error;
      kept = view(platform());
      return kept == truth;
    }, 3.0)) << "after the window was " << what << ":\n" << kept << "instead of\n" << truth;
    views[what] = kept;
    const std::vector<std::string> since(heard.begin() + static_cast<std::ptrdiff_t>(mark), heard.end());
    for (const std::string& line : told) {
      EXPECT_TRUE(std::ranges::any_of(since, [&](const std::string& l) { return l.rfind(line, 0) == 0; }))
          << what << ": no " << line << " in " << ::testing::PrintToString(since);
    }
    if (what == "retitled") {
      EXPECT_EQ(since, told) << "the client sets both of its names: one change, told once";
    }
  }
  EXPECT_NE(views["retitled"].find("Renamed frame "), std::string::npos) << views["retitled"];
  EXPECT_NE(views["moved by itself"].find("Third frame (500, 400, "), std::string::npos) << views["moved by itself"];
  EXPECT_NE(views["moved by the program"].find("Third frame (520, 380, 502, 275)"), std::string::npos) << views["moved by the program"];
  EXPECT_NE(views["named in Latin-1 alone"].find("Café "), std::string::npos) << views["named in Latin-1 alone"];
  EXPECT_NE(views["minimised"].find("First minimised"), std::string::npos) << views["minimised"];
  EXPECT_NE(views["full screen"].find("Renamed full screen frame (0, 0, 1440, 900)"), std::string::npos) << views["full screen"];
  EXPECT_EQ(views["no longer full screen"].find("full screen"), std::string::npos) << views["no longer full screen"];
  EXPECT_NE(views["closed"].find("\n- frame "), std::string::npos) << views["closed"];

  // The closed window reads as invalid everywhere; its application is gone.
  const AXElement gone = element(*second);
  EXPECT_EQ(std::make_tuple(ax().copyAttributeValue(gone, "AXRole").error, ax().copyAttributeValue(gone, "AXPosition").error,
                            ax().setAttributeValue(gone, "AXPosition", Point{0, 0}), ax().performAction(gone, "AXRaise")),
            std::make_tuple(AXError::invalidUIElement, AXError::invalidUIElement, AXError::invalidUIElement, AXError::invalidUIElement));
  EXPECT_FALSE(service->isRegistered(second->pid()));
  EXPECT_TRUE(service->isRegistered(third->pid()));
  // What the workspace knows of the running applications.
  const auto describe = [&](pid_t pid) {
    const auto app = workspace.runningApplication(pid);
    return app ? app->localizedName.value_or("?") + " " + app->bundleIdentifier.value_or("?") + " " +
                     (app->activationPolicy == ActivationPolicy::regular ? "regular" : "accessory")
               : std::string("none");
  };
  EXPECT_EQ(std::vector<std::string>({describe(first->pid()), describe(panel->pid()), describe(second->pid()), describe(getpid())}),
            std::vector<std::string>({"Gadget Gadget regular", "Panel Panel accessory", "none", "none"}));
  EXPECT_EQ(workspace.runningApplications().size(), 3U);

  // Nothing is heard once observation stops.
  service->stop();
  subscription = Subscription();
  const std::size_t mark = heard.size();
  ASSERT_TRUE(first->command("title Twice") && first->openDialog());
  settle();
  EXPECT_EQ(std::vector<std::string>(heard.begin() + static_cast<std::ptrdiff_t>(mark), heard.end()), std::vector<std::string>{});
}

}  // namespace
}  // namespace tessarapane::x11test
