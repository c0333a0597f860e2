#include <gtest/gtest.h>

#include <map>
#include <string>

#include "bento/BentoEngine.h"
#include "sim/coordinator/CoordinatorSimFixture.h"

namespace tessarapane {
namespace {

// Four windows, one of them shown on every desktop. Switching to another
// desktop and back leaves only that one on screen for a while; the others
// are not closed, and leaving the layout puts every window back.
class DesktopSwitch : public CoordinatorSim {
 protected:
  void SetUp() override {
    const ProcessID editor = launch("Editor");
    for (int i = 0; i < 4; ++i) {
      const Rect frame(60.0 + 90 * i, 50.0 + 40 * i, 500.0 + 20 * i, 400.0);
      before[open(editor, "w" + std::to_string(i), frame)] = frame;
    }
    sticky = before.begin()->first;
    settle();
  }

  void switchAwayAndBack() {
    desktop->setDesktop(sticky, kSimAllDesktops);
    desktop->switchDesktop(1);
    advance(16.0);  // notifications and one periodic sweep
    desktop->switchDesktop(0);
    advance(16.0);
  }

  std::map<WindowID, Rect> frames() const {
    std::map<WindowID, Rect> now;
    for (const auto& entry : before) now[entry.first] = frameOf(entry.first);
    return now;
  }

  std::map<WindowID, Rect> before;
  WindowID sticky = 0;
};

TEST_F(DesktopSwitch, TheTabLayoutKeepsEveryWindowAndPutsThemAllBack) {
  coordinator->startLayout(LayoutKind::split4);
  settle();
  switchAwayAndBack();
  EXPECT_EQ(now().windowIDs().size(), 4u);
  coordinator->exitLayout(false);
  EXPECT_EQ(frames(), before);
}

TEST_F(DesktopSwitch, TheGridKeepsEveryTileAndPutsThemAllBack) {
  coordinator->startBento();
  settle();
  switchAwayAndBack();
  EXPECT_EQ(now().tiles.size(), 4u);
  coordinator->exitLayout(false);
  EXPECT_EQ(frames(), before);
}

}  // namespace
}  // namespace tessarapane
