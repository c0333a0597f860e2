#include "windows/ScreenIdentity.h"

#include <gtest/gtest.h>

#include <limits>

namespace tessarapane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

Screen screen(DisplayID id, Rect frame) { return Screen{id, frame, frame}; }

TEST(ScreenIdentity, ConvertFrameFlipsAboutThePrimaryDisplay) {
  const std::vector<Screen> screens{screen(1, Rect(0, 0, 1440, 900)), screen(2, Rect(1440, 0, 1920, 1200))};
  const Rect converted = ScreenIdentity::convertFrame(Rect(100, 100, 400, 300), screens);
  EXPECT_EQ(converted, Rect(100, 500, 400, 300));
  EXPECT_EQ(ScreenIdentity::convertFrame(converted, screens), Rect(100, 100, 400, 300));

  // A window on a display above the primary has a negative accessibility y.
  EXPECT_EQ(ScreenIdentity::convertFrame(Rect(0, 900, 100, 100), screens), Rect(0, -100, 100, 100));
  // The primary is the first screen, whatever the others measure.
  const std::vector<Screen> reordered{screens[1], screens[0]};
  EXPECT_EQ(ScreenIdentity::convertFrame(Rect(100, 100, 400, 300), reordered), Rect(100, 800, 400, 300));
}

TEST(ScreenIdentity, ConvertFrameWithoutScreensFlipsAboutTheOrigin) {
  EXPECT_EQ(ScreenIdentity::convertFrame(Rect(100, 100, 400, 300), {}), Rect(100, -400, 400, 300));
  EXPECT_EQ(ScreenIdentity::convertFrame(Rect(100, -400, 400, 300), {}), Rect(100, 100, 400, 300));
}

TEST(ScreenIdentity, ScreenForDisplayID) {
  const std::vector<Screen> screens{screen(0, Rect(0, 0, 800, 600)), screen(5, Rect(800, 0, 1024, 768)),
                                    screen(9, Rect(0, 0, 1440, 900)), screen(5, Rect(-1, -1, 1, 1))};
  EXPECT_EQ(ScreenIdentity::displayID(screens[1]), 5U);
  EXPECT_EQ(ScreenIdentity::displayID(screens[0]), 0U);
  // 0 names no display even though a screen reports it.
  EXPECT_EQ(ScreenIdentity::screenForDisplayID(0, screens), std::nullopt);
  const auto found = ScreenIdentity::screenForDisplayID(5, screens);
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->frame, Rect(800, 0, 1024, 768));  // the first of two with that identifier
  EXPECT_EQ(ScreenIdentity::screenForDisplayID(9, screens)->frame, Rect(0, 0, 1440, 900));
  EXPECT_EQ(ScreenIdentity::screenForDisplayID(4, screens), std::nullopt);
  EXPECT_EQ(ScreenIdentity::screenForDisplayID(5, {}), std::nullopt);
}

TEST(ScreenIdentity, PreferredScreenIndexPicksTheLargestTotalArea) {
  const std::vector<Rect> screens{Rect(0, 0, 1000, 1000), Rect(1000, 0, 1000, 1000)};
  // One large window on the first screen loses to two smaller ones that
  // together hold more of the second.
  const std::vector<Rect> windows{Rect(0, 0, 500, 500), Rect(1000, 0, 400, 400), Rect(1500, 500, 400, 400)};
  EXPECT_EQ(ScreenIdentity::preferredScreenIndex(screens, windows), 1U);
  // A window across the border counts on both sides by its share.
  EXPECT_EQ(ScreenIdentity::preferredScreenIndex(screens, {Rect(900, 0, 200, 100), Rect(700, 0, 100, 100)}), 0U);
}

TEST(ScreenIdentity, PreferredScreenIndexTiesAndMisses) {
  const std::vector<Rect> screens{Rect(0, 0, 1000, 1000), Rect(1000, 0, 1000, 1000)};
  EXPECT_EQ(ScreenIdentity::preferredScreenIndex(screens, {Rect(900, 0, 200, 100)}), 0U);  // equal halves
  EXPECT_EQ(ScreenIdentity::preferredScreenIndex(screens, {Rect(0, 0, 100, 100), Rect(1000, 0, 100, 100)}), 0U);

  EXPECT_EQ(ScreenIdentity::preferredScreenIndex(screens, {Rect(3000, 0, 100, 100)}), std::nullopt);
  EXPECT_EQ(ScreenIdentity::preferredScreenIndex(screens, {Rect(2000, 0, 100, 100)}), std::nullopt);  // touching
  EXPECT_EQ(ScreenIdentity::preferredScreenIndex(screens, {Rect(0, 0, 0, 0)}), std::nullopt);
  EXPECT_EQ(ScreenIdentity::preferredScreenIndex(screens, {}), std::nullopt);
  EXPECT_EQ(ScreenIdentity::preferredScreenIndex({}, {Rect(0, 0, 100, 100)}), std::nullopt);

  // A NaN window adds nothing and spoils no sum.
  EXPECT_EQ(ScreenIdentity::preferredScreenIndex(screens, {Rect(kNaN, 0, 100, 100), Rect(1000, 0, 10, 10)}), 1U);
  EXPECT_EQ(ScreenIdentity::preferredScreenIndex(screens, {Rect(kNaN, kNaN, kNaN, kNaN)}), std::nullopt);
  // Infinite against infinite has no measurable overlap.
  EXPECT_EQ(ScreenIdentity::preferredScreenIndex({Rect::infinite()}, {Rect::infinite()}), std::nullopt);
}

}  // namespace
}  // namespace tessarapane
