// The program in an X session managed by a minimal session manager
// (tests/x11/session): only the session's end ends it.
#include "ProgramTest.h"

#include <algorithm>

#include "ui/services/QSettingsUserDefaults.h"

namespace tessarapane::x11test {
namespace {

// A checkpoint and a logout that is cancelled are answered at once, without
// asking to interact and without asking to be restarted (the autostart entry
// starts the program); the program goes on with its layout, control
// interface and hot keys. Die ends it as SIGTERM does: windows where the
// layout put them, the layout remembered.
TEST_F(ProgramTest, OnlyTheSessionsEndEndsTheProgram) {
  Subprocess::Options options;
  options.pipeStdin = true;
  options.captureStdout = true;
  options.stderrPath = home_ + "/session-manager.err";
  auto manager = Subprocess::start({TESSARAPANE_MINI_SESSION_MANAGER}, options);
  ASSERT_TRUE(manager);
  const auto listening = manager->waitForLine("listening ", kSettleTimeout);
  ASSERT_TRUE(listening) << readFile(options.stderrPath);
  programEnvironment_["SESSION_MANAGER"] = listening->substr(std::string("listening ").size());

  const auto clients = startClients("session", 3, 80, 300);
  ASSERT_EQ(clients.size(), 3u);
  ASSERT_FALSE(startTessarapane().is_null());
  ASSERT_TRUE(manager->waitForLine("registered", kSettleTimeout)) << "the program did not register";
  ASSERT_EQ(ctl({"start", "split2"}).status, 0);
  json current = waitForState([](const json& s) {
    return s.at("panes").size() == 2 && s.at("panes")[0].at("windows").size() == 2 &&
           s.at("panes")[1].at("windows").size() == 1;
  });
  ASSERT_EQ(current.at("panes").size(), 2u) << current.dump();
  const xcb_window_t moving = windowsOf(current.at("panes")[0]).at(0);

  const auto saveAndGoOn = [&](const std::vector<std::string>& commands, const std::string& key, int toPane) {
    const std::size_t before = manager->history().size();
    ASSERT_TRUE(manager->writeLine(commands[0]));
    ASSERT_EQ(manager->waitForLine("save-yourself-done", kSettleTimeout), "save-yourself-done 1") << commands[0];
    for (std::size_t i = 1; i < commands.size(); ++i) ASSERT_TRUE(manager->writeLine(commands[i]));
    const std::vector<std::string> said(manager->history().begin() + static_cast<std::ptrdiff_t>(before),
                                        manager->history().end());
    EXPECT_EQ(std::ranges::count(said, "property RestartStyleHint 3"), 1) << commands[0];
    for (const std::string& line : said) EXPECT_EQ(line.find("request"), std::string::npos) << line;

    ASSERT_TRUE(activate(moving));
    ASSERT_TRUE(xdotool({"key", "--clearmodifiers", key}));
    current = waitForState([&](const json& s) { return paneOf(s, moving) == toPane; });
    ASSERT_FALSE(current.is_null()) << "no control interface after " << commands[0] << ":\n" << log();
    ASSERT_EQ(paneOf(current, moving), toPane) << commands[0] << ": " << current.dump();
    expectPanesWitnessed(current);
  };
  ASSERT_NO_FATAL_FAILURE(saveAndGoOn({"checkpoint"}, "ctrl+alt+Right", 1));
  ASSERT_NO_FATAL_FAILURE(saveAndGoOn({"logout", "cancel"}, "ctrl+alt+Left", 0));

  ASSERT_TRUE(manager->writeLine("die"));
  EXPECT_EQ(program_->wait(kSettleTimeout), std::optional<int>(0)) << log();
  settle();
  for (const json& pane : current.at("panes")) {
    for (xcb_window_t window : windowsOf(pane)) {
      const auto seen = witnessFrame(window);
      EXPECT_TRUE(seen && near(*seen, rectOf(pane.at("frame")))) << window << " moved at exit to " << describe(seen);
    }
  }
  ui::QSettingsUserDefaults defaults(QString::fromStdString(settingsPath()));
  EXPECT_EQ(defaults.stringValue("rememberedLayout"), std::optional<std::string>("tabs:split2"));
}

}  // namespace
}  // namespace tessarapane::x11test
