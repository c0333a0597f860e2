#include "permission/PermissionHelperPlacement.h"

#include <gtest/gtest.h>

namespace tessarapane {
namespace {

using PermissionHelperPlacement::frame;

const Rect kVisible(0, 0, 1440, 875);

TEST(PermissionHelperPlacementTest, CentresOverTheContentRightOfTheSidebar) {
  // 800 wide: sidebar 232 (800 / 3 is more), content 232..800 wide 568, centre 100 + 232 + 284.
  EXPECT_EQ(frame({300, 36}, Rect(100, 200, 800, 600), kVisible), Rect(466, 208, 300, 36));
  // 600 wide: sidebar 200, content 400 wide, centre 100 + 200 + 200.
  EXPECT_EQ(frame({300, 36}, Rect(100, 200, 600, 500), kVisible), Rect(350, 208, 300, 36));
}

TEST(PermissionHelperPlacementTest, WidePillIsNarrowedToTheContentLessMargins) {
  // 600 wide: content 400, so at most 376 wide, still centred.
  EXPECT_EQ(frame({500, 36}, Rect(100, 200, 600, 500), kVisible), Rect(312, 208, 376, 36));
  EXPECT_EQ(frame({376, 36}, Rect(100, 200, 600, 500), kVisible), Rect(312, 208, 376, 36));
  // A window too narrow for the margins gives an empty pill, never a negative width.
  const Rect tiny = frame({300, 36}, Rect(100, 200, 30, 30), kVisible);
  EXPECT_EQ(tiny.width(), 0);
  EXPECT_EQ(tiny.x(), 100 + 10 + 10);
}

TEST(PermissionHelperPlacementTest, StaysInsideTheVisibleFrame) {
  // Settings window hanging below the visible frame's bottom.
  EXPECT_EQ(frame({300, 36}, Rect(100, -300, 800, 600), kVisible), Rect(466, 0, 300, 36));
  // Off the left and right edges.
  EXPECT_EQ(frame({300, 36}, Rect(-800, 200, 800, 600), kVisible).x(), 0);
  EXPECT_EQ(frame({300, 36}, Rect(1400, 200, 800, 600), kVisible).x(), 1140);
  // Above the top: y comes down to leave the pill's height.
  EXPECT_EQ(frame({300, 36}, Rect(100, 860, 800, 600), kVisible).y(), 875 - 36);
  // A visible frame on another screen with a non-zero origin.
  EXPECT_EQ(frame({300, 36}, Rect(100, 200, 800, 600), Rect(1440, 100, 1920, 1080)), Rect(1440, 208, 300, 36));
  // Visible frame narrower than the pill: the right edge wins (clamped last).
  EXPECT_EQ(frame({300, 36}, Rect(0, 0, 800, 600), Rect(0, 0, 200, 875)).x(), -100);
}

}  // namespace
}  // namespace tessarapane
