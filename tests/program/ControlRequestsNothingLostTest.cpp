#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "program/ControlRequests.h"
#include "sim/coordinator/CoordinatorSimFixture.h"

namespace tessarapane::program {
namespace {

// Control requests come from scripts: nobody may be there to dismiss an
// alert, and the windows must never be left without their frames.
class ControlRequestsNothingLost : public CoordinatorSim {
 protected:
  ControlRequests requests{[this]() { return coordinator; }};
};

TEST_F(ControlRequestsNothingLost, AMessageForTheUserIsTheReplyNotABlockingAlert) {
  // A person at the menu gets the alert ...
  coordinator->startLayout(LayoutKind::split4);
  ASSERT_EQ(alertTitles(), std::vector<std::string>{"没有可管理窗口"});
  // ... a script gets the reason as the reply, and no alert holds it up.
  const ControlReply refused = requests.start("split4");
  EXPECT_EQ(refused.status, ControlReply::Status::failed);
  EXPECT_NE(refused.text.find("没有可管理窗口"), std::string::npos) << refused.text;
  EXPECT_EQ(alertTitles().size(), 1u);

  open(launch("Editor"), "one");
  settle();
  EXPECT_TRUE(requests.start("split4").ok());
  EXPECT_EQ(paneIDs().size(), 4u);
}

TEST_F(ControlRequestsNothingLost, ExitWithoutAWindowManagerWaitsForOneAndThenPutsTheWindowsBack) {
  const ProcessID editor = launch("Editor");
  std::map<WindowID, Rect> before;
  for (int i = 0; i < 3; ++i) {
    const Rect frame(80.0 + 100 * i, 60.0 + 50 * i, 520.0, 380.0);
    before[open(editor, "w" + std::to_string(i), frame)] = frame;
  }
  settle();
  ASSERT_TRUE(requests.start("split4").ok());
  settle();

  desktop->setProcessTrusted(false);
  const ControlReply waiting = requests.exit();
  EXPECT_EQ(waiting.status, ControlReply::Status::unavailable);
  EXPECT_NE(waiting.text.find("window manager"), std::string::npos) << waiting.text;
  settle();
  EXPECT_TRUE(coordinator->snapshot().isRunning());

  // Left at the first look that finds the window manager back.
  desktop->setProcessTrusted(true);
  advance(0.5);
  EXPECT_FALSE(coordinator->snapshot().isRunning());
  std::map<WindowID, Rect> after;
  for (const auto& entry : before) after[entry.first] = frameOf(entry.first);
  EXPECT_EQ(after, before);
  EXPECT_FALSE(remembered().has_value());
}

}  // namespace
}  // namespace tessarapane::program
