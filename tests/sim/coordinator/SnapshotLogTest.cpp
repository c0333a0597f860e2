// The diagnostic line that shows the displays and every managed window.
#include <gtest/gtest.h>

#include "CoordinatorSimFixture.h"

namespace tessarapane {
namespace {

class SnapshotLog : public CoordinatorSim {};

TEST_F(SnapshotLog, ListsDisplaysAndWindowsWithTheirOnScreenMarkerAndFrame) {
  const ProcessID editor = launch("Editor");
  const WindowID a = open(editor, "a");
  const WindowID b = open(editor, "b");
  settle();
  coordinator->startLayout(LayoutKind::split2);  // {b} {a}
  settle();
  desktop->setNotificationLatency(100.0);
  desktop->closeWindow(a);
  desktop->log()->clear();

  coordinator->logLayoutSnapshot("paused");
  desktop->failNextWindowListReads(1);
  coordinator->logLayoutSnapshot("resume round 0 before");

  const auto& lines = desktop->log()->lines();
  ASSERT_EQ(lines.size(), 2U);
  const std::string bText = std::to_string(b);
  const std::string aText = std::to_string(a);
  EXPECT_EQ(lines[0].text, "paused screens=1:{{0, 0}, {1440, 900}} windows=" + bText + "[on]{{0, 57}, {720, 843}} " +
                               aText + "[off]nil");
  EXPECT_EQ(lines[1].text, "resume round 0 before screens=1:{{0, 0}, {1440, 900}} windows=" + bText +
                               "[?]{{0, 57}, {720, 843}} " + aText + "[?]nil");
  EXPECT_EQ(lines[0].category, "Pause");
  EXPECT_EQ(lines[0].subsystem, std::string(LayoutCoordinator::kLogSubsystem));
}

TEST_F(SnapshotLog, WithoutALayoutTheWindowsPartIsEmptyAndEveryDisplayIsListed) {
  desktop->setDisplays({SimDisplay{7, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875)},
                        SimDisplay{9, Rect(1440, 100.5, 1280, 800), Rect(1440, 100.5, 1280, 800)}});
  settle();
  desktop->log()->clear();
  coordinator->logLayoutSnapshot("paused");
  ASSERT_EQ(desktop->log()->lines().size(), 1U);
  EXPECT_EQ(desktop->log()->lines()[0].text,
            "paused screens=7:{{0, 0}, {1440, 900}} 9:{{1440, 100.5}, {1280, 800}} windows=");
}

}  // namespace
}  // namespace tessarapane
