#include "windows/WindowStacking.h"

#include <gtest/gtest.h>

#include <limits>

namespace tessarapane {
namespace {

using WindowStacking::StackEntry;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr ProcessID kFrontApp = 100;

ManagedWindow window(WindowID id, ProcessID pid) {
  ManagedWindow w;
  w.windowID = id;
  w.ownerPID = pid;
  w.frame = Rect(5000, 5000, 10, 10);  // stale snapshot: the stack's frames are what count
  return w;
}

std::vector<WindowID> ids(const std::vector<ManagedWindow>& windows) {
  std::vector<WindowID> result;
  for (const ManagedWindow& w : windows) result.push_back(w.windowID);
  return result;
}

const ManagedWindow kFront = window(1, kFrontApp);
const Rect kCovered(0, 0, 1000, 1000);

std::vector<WindowID> needing(const std::vector<ManagedWindow>& visible, const std::vector<StackEntry>& stack) {
  return ids(WindowStacking::windowsNeedingRestack(kFront, visible, stack));
}

TEST(WindowStacking, CoveringWindowsAreOtherApplicationsInGivenOrder) {
  const std::vector<ManagedWindow> visible{window(3, 300), kFront, window(4, kFrontApp), window(2, 200)};
  EXPECT_EQ(ids(WindowStacking::coveringWindows(kFront, visible)), (std::vector<WindowID>{3, 2}));
  EXPECT_TRUE(WindowStacking::coveringWindows(kFront, {kFront, window(4, kFrontApp)}).empty());
}

TEST(WindowStacking, CoverOfFivePercentByAnotherFrontAppWindow) {
  const std::vector<ManagedWindow> visible{kFront, window(2, 200)};
  EXPECT_EQ(needing(visible, {{4, kFrontApp, Rect(0, 0, 50, 1000)}, {2, 200, kCovered}}),
            (std::vector<WindowID>{2}));
  EXPECT_TRUE(needing(visible, {{4, kFrontApp, Rect(0, 0, 49, 1000)}, {2, 200, kCovered}}).empty());
  // An edge shared without overlap is no cover.
  EXPECT_TRUE(needing(visible, {{4, kFrontApp, Rect(1000, 0, 500, 1000)}, {2, 200, kCovered}}).empty());
}

TEST(WindowStacking, OnlyOtherWindowsOfTheFrontAppAboveCount) {
  const std::vector<ManagedWindow> visible{kFront, window(2, 200)};
  // The kept-front window itself over it: raising F restores order anyway.
  EXPECT_TRUE(needing(visible, {{1, kFrontApp, kCovered}, {2, 200, kCovered}}).empty());
  // Another application's window over it.
  EXPECT_TRUE(needing(visible, {{3, 300, kCovered}, {2, 200, kCovered}}).empty());
  // A front-app window below it.
  EXPECT_TRUE(needing(visible, {{3, 300, Rect(0, 0, 1, 1)}, {2, 200, kCovered}, {4, kFrontApp, kCovered}}).empty());
  // Deeper in the stack, with unrelated windows between.
  EXPECT_EQ(needing(visible, {{4, kFrontApp, kCovered}, {3, 300, kCovered}, {1, kFrontApp, kCovered},
                              {2, 200, kCovered}}),
            (std::vector<WindowID>{2}));
}

TEST(WindowStacking, FrontAppWindowsAreNeverRaised) {
  // Window 4 shares F's application: covered or not, it is not a covering window.
  const std::vector<ManagedWindow> visible{kFront, window(4, kFrontApp)};
  EXPECT_TRUE(needing(visible, {{5, kFrontApp, kCovered}, {4, kFrontApp, kCovered}}).empty());
}

TEST(WindowStacking, PositionsThatAreSkipped) {
  const std::vector<ManagedWindow> visible{kFront, window(2, 200), window(3, 300)};
  // Front-most in the stack: nothing is above it.
  EXPECT_EQ(needing(visible, {{2, 200, kCovered}, {4, kFrontApp, kCovered}, {3, 300, kCovered}}),
            (std::vector<WindowID>{3}));
  // Missing from the stack.
  EXPECT_EQ(needing(visible, {{4, kFrontApp, kCovered}, {3, 300, kCovered}}), (std::vector<WindowID>{3}));
  // Listed twice: the front-most position counts, here 0.
  EXPECT_TRUE(needing({kFront, window(2, 200)}, {{2, 200, kCovered}, {4, kFrontApp, kCovered}, {2, 200, kCovered}})
                  .empty());
}

TEST(WindowStacking, FramesWithoutPositiveAreaAreSkipped) {
  const std::vector<ManagedWindow> visible{kFront, window(2, 200)};
  const StackEntry above{4, kFrontApp, kCovered};
  EXPECT_TRUE(needing(visible, {above, {2, 200, Rect(0, 0, 0, 1000)}}).empty());
  EXPECT_TRUE(needing(visible, {above, {2, 200, Rect(1000, 0, -1000, 1000)}}).empty());
  EXPECT_TRUE(needing(visible, {above, {2, 200, Rect(0, 0, kNaN, 1000)}}).empty());
  EXPECT_TRUE(needing(visible, {above, {2, 200, Rect::null()}}).empty());
  // A NaN frame above covers nothing.
  EXPECT_TRUE(needing(visible, {{4, kFrontApp, Rect(kNaN, 0, 1000, 1000)}, {2, 200, kCovered}}).empty());
  // Both extents negative still describe a real area.
  EXPECT_EQ(needing(visible, {above, {2, 200, Rect(1000, 1000, -1000, -1000)}}), (std::vector<WindowID>{2}));
}

TEST(WindowStacking, ResultKeepsTheOrderOfTheVisibleWindows) {
  const std::vector<ManagedWindow> visible{window(3, 300), kFront, window(2, 200), window(6, 600)};
  const std::vector<StackEntry> stack{{4, kFrontApp, kCovered}, {2, 200, kCovered}, {6, 600, Rect(2000, 0, 10, 10)},
                                      {3, 300, kCovered}};
  EXPECT_EQ(needing(visible, stack), (std::vector<WindowID>{3, 2}));
  EXPECT_TRUE(needing({kFront}, stack).empty());
  EXPECT_TRUE(needing(visible, {}).empty());
}

}  // namespace
}  // namespace tessarapane
