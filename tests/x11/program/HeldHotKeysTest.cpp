// The program under a window manager that keeps one of its default hot keys
// for itself, as most stock window managers do with Control+Alt+arrows.
#include <fstream>

#include "ProgramTest.h"
#include "WindowManagerProbe.h"

namespace tessarapane::x11test {
namespace {

// The test desktop's openbox configuration plus the stock binding of
// Control+Alt+Right.
std::string openboxHoldingControlAltRight(const std::string& sessionConfiguration) {
  std::string configuration = readFile(sessionConfiguration);
  const std::string keyboard = "<keyboard></keyboard>";
  const std::size_t at = configuration.find(keyboard);
  if (at == std::string::npos) return {};
  return configuration.replace(at, keyboard.size(),
                               R"(<keyboard><keybind key="C-A-Right"><action name="GoToDesktop"><to>right</to>)"
                               R"(<wrap>no</wrap></action></keybind></keyboard>)");
}

// The window manager's chord switches the desktop and nothing else; the
// chord it leaves free moves the tab; the user is told once.
TEST_F(ProgramTest, AHotKeyTheWindowManagerHoldsIsLeftToIt) {
  session().windowManager().terminate();
  ASSERT_TRUE(waitUntil([&] { return !session().windowManagerRunning(); }));
  const std::string configuration = openboxHoldingControlAltRight(session().directory() + "/rc.xml");
  ASSERT_FALSE(configuration.empty()) << "the session's openbox configuration has changed";
  std::ofstream(home_ + "/rc.xml") << configuration;
  auto windowManager = startProgram({"openbox", "--sm-disable", "--config-file", home_ + "/rc.xml"});
  ASSERT_TRUE(windowManager);
  // Announced is not yet reading its events: a window mapped meanwhile is lost.
  const tools::WindowManagerState ready = session().waitForWindowManager(kSettleTimeout, false);
  ASSERT_EQ(ready, tools::WindowManagerState::ready) << tools::describe(ready);
  const auto clients = startClients("held", 2, 80, 400);
  ASSERT_EQ(clients.size(), 2u);

  ASSERT_FALSE(startTessarapane().is_null());
  ASSERT_TRUE(dismissHeldHotKeysNotice()) << log();
  EXPECT_NE(log().find("[HotKeys] ⌃⌥→ (moveRight) is held by another client"), std::string::npos) << log();

  ASSERT_EQ(ctl({"start", "split2"}).status, 0);
  json current = waitForState([](const json& s) {
    return s.at("panes").size() == 2 && s.at("panes")[0].at("windows").size() == 1 &&
           s.at("panes")[1].at("windows").size() == 1;
  });
  ASSERT_EQ(current.at("panes").size(), 2u) << current.dump();
  const xcb_window_t first = windowsOf(current.at("panes")[0]).at(0), second = windowsOf(current.at("panes")[1]).at(0);
  ASSERT_TRUE(activate(first));
  ASSERT_TRUE(xdotool({"key", "--clearmodifiers", "ctrl+alt+Right"}));
  EXPECT_TRUE(desktopIs("1"));
  ASSERT_TRUE(xdotool({"set_desktop", "0"}) && desktopIs("0"));
  ASSERT_TRUE(activate(second));
  ASSERT_TRUE(xdotool({"key", "--clearmodifiers", "ctrl+alt+Left"}));
  // Presses are handled in order: once the second has moved, the first
  // would have moved too.
  current = waitForState([&](const json& s) { return paneOf(s, second) == 0; });
  EXPECT_EQ(paneOf(current, second), 0) << current.dump();
  EXPECT_EQ(paneOf(current, first), 0) << "the window manager's chord moved the tab too: " << current.dump();
  EXPECT_TRUE(panelsTitled("Tessarapane").empty()) << "told twice";
}

}  // namespace
}  // namespace tessarapane::x11test
