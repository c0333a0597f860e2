// The program on desktops that lack what it usually relies on: a system
// tray, a window manager.
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

#include "ProgramTest.h"
#include "permission/Permissions.h"

namespace tessarapane::x11test {
namespace {

// Without a tray the user is told once (after waiting for a panel that starts late), the control interface keeps
// answering and acting, and the help opens through the desktop's opener: when the
// installed copy does not open, the web page is tried.
TEST_F(ProgramTest, WithoutATrayTheUserIsToldAndTheHelpOpensAtTheFirstAddressThatWorks) {
  withTray_ = false;
  const std::string bin = home_ + "/bin", opened = home_ + "/opened";
  ASSERT_EQ(mkdir(bin.c_str(), 0755), 0);
  std::ofstream(bin + "/xdg-open") << "#!/bin/sh\necho \"$1\" >> '" << opened << "'\ncase \"$1\" in file:*) exit 2;; esac\nexit 0\n";
  ASSERT_EQ(chmod((bin + "/xdg-open").c_str(), 0755), 0);
  programEnvironment_["PATH"] = bin + ":" + std::getenv("PATH");

  ASSERT_FALSE(startTessarapane().is_null());
  std::vector<std::pair<xcb_window_t, Rect>> notices;
  ASSERT_TRUE(waitUntil([&] { return !(notices = panelsTitled("Tessarapane")).empty(); }, kStartTimeout))
      << "no notice; the log:\n" << log();
  EXPECT_TRUE(logHas("no system tray shows the icon"));
  EXPECT_TRUE(state().has_value()) << "the control interface stopped answering while the notice is up";
  // The notice says the control requests keep working: they do.
  const Outcome left = ctl({"exit"});
  EXPECT_EQ(left.status, 0) << left.errors;

  // Return takes the default button, "open the help".
  ASSERT_TRUE(xdotool({"windowactivate", "--sync", std::to_string(notices.front().first), "key", "Return"}));
  ASSERT_TRUE(waitUntil([&] { return logHas("[Tray] opened "); })) << log();
  EXPECT_EQ(readFile(opened), Permissions::trayHelpAddresses()[0] + "\n" + Permissions::trayHelpAddresses()[1] + "\n");
  EXPECT_TRUE(state().has_value());
}

// Without a window manager the guide comes up at launch and says (in the
// locale's language) what to do, layouts are refused with the reason, a
// tiling window manager is refused too, and a stacking one started later is
// noticed by the guide's poll.
TEST_F(ProgramTest, WithoutAWindowManagerTheGuideSaysSoUntilOneStarts) {
  programEnvironment_["LANG"] = "zh_CN.UTF-8";  // the guide in the original texts
  session().windowManager().terminate();
  ASSERT_TRUE(waitUntil([&] { return !session().windowManagerRunning(); }));

  ASSERT_FALSE(startTessarapane().is_null());
  const auto guideSays = [&](const std::string& status) {
    return waitUntil([&] { return logHas("[Permission] guide: " + status); });
  };
  const auto startIsRefusedWith = [&](const std::string& reason) {
    const Outcome refused = ctl({"start", "split2"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.errors.find(reason), std::string::npos) << refused.errors;
  };
  ASSERT_TRUE(guideSays("没有检测到支持 EWMH 的窗口管理器。请启动一个窗口管理器（例如 openbox、xfwm4 或 KWin），"
                        "Tessarapane 会自动继续。"))
      << log();
  startIsRefusedWith("no window manager is running");

  // A tiling window manager places every window itself: refused, with the reason.
  std::ofstream(home_ + "/i3.conf") << "# no bindings, no bar\n";
  auto tiling = startProgram({"i3", "-c", home_ + "/i3.conf"});
  ASSERT_TRUE(tiling);
  EXPECT_TRUE(guideSays("窗口管理器「i3」会自己平铺窗口，不接受 Tessarapane 的摆放。请换用堆叠式窗口管理器（例如 openbox、"
                        "xfwm4 或 KWin）。"))
      << log();
  startIsRefusedWith("the window manager \"i3\" tiles windows itself");
  tiling.reset();
  ASSERT_TRUE(waitUntil([&] { return !session().windowManagerRunning(); }));
  startIsRefusedWith("no window manager is running");

  auto windowManager = startProgram({"openbox", "--sm-disable", "--config-file", session().directory() + "/rc.xml"});
  ASSERT_TRUE(windowManager);
  EXPECT_TRUE(guideSays("窗口管理器「Openbox」已就绪。")) << log();
  // Announced is not yet answering: a window mapped meanwhile can be lost.
  ASSERT_EQ(session().waitForWindowManager(kSettleTimeout, false), tools::WindowManagerState::ready);
  std::unique_ptr<TestClient> client = startClient({"--title", "managed", "--geometry", "300x200+100+300"});
  ASSERT_TRUE(client);
  EXPECT_EQ(ctl({"start", "split2"}).status, 0);
}

}  // namespace
}  // namespace tessarapane::x11test
