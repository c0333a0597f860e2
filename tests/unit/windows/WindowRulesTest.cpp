// Pure rules about other programs' windows: when one fills a display, and which windows must be raised to keep
// the front application's windows uncovered.
#include <gtest/gtest.h>

#include <limits>

#include "windows/NativeFullScreen.h"
#include "windows/WindowStacking.h"

namespace tessarapane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const Rect kDisplay(0, 0, 1440, 900);

TEST(WindowRules, AWindowFillsADisplayByHeightTopEdgeAndArea) {
  const Rect second(1440, -180, 1920, 1080);
  const std::vector<Rect> one{kDisplay}, pair{kDisplay, Rect(1440, 0, 1440, 900)},
      mixed{Rect(0, 0, 0, 0), Rect::null(), Rect(0, 0, kNaN, 900), Rect::infinite(), second};
  const std::vector<std::tuple<Rect, std::vector<Rect>, bool>> cases = {
      {Rect(0, 0, 1440, 864), one, true},    {Rect(0, 0, 1440, 855), one, false},   // 96 % of the height
      {Rect(0, 8, 1440, 892), one, true},    {Rect(0, 9, 1440, 891), one, false},   // at most 8 below the top
      {Rect(0, -20, 1440, 920), one, true},  {Rect(0, 0, 1440, 937), one, true},
      {Rect(0, 0, 1440, 938), one, false},   {Rect(0, 0, 2880, 900), pair, false},  // twice the area
      {Rect(0, kNaN, 1440, 900), one, false}, {Rect::infinite(), one, false},       {kDisplay, {}, false},
      {second, mixed, true},                 {kDisplay, mixed, false}};  // unusable displays are passed over
  for (const auto& [window, displays, covers] : cases) {
    EXPECT_EQ(NativeFullScreen::coversDisplay(window, displays), covers) << window << " on " << displays.size();
  }
}

TEST(WindowRules, OtherAppsWindowsCoveredByTheFrontAppAreRestacked) {
  using WindowStacking::StackEntry;
  constexpr ProcessID kFrontApp = 100;
  const auto window = [](WindowID id, ProcessID pid) {
    ManagedWindow w;
    w.windowID = id;
    w.ownerPID = pid;
    w.frame = Rect(5000, 5000, 10, 10);  // a stale snapshot: the stack's frames count
    return w;
  };
  const ManagedWindow front = window(1, kFrontApp);
  const auto ids = [](const std::vector<ManagedWindow>& list) {
    std::vector<WindowID> result;
    for (const ManagedWindow& w : list) result.push_back(w.windowID);
    return result;
  };
  const std::vector<ManagedWindow> visible{window(3, 300), front, window(4, kFrontApp), window(2, 200)};
  EXPECT_EQ(ids(WindowStacking::coveringWindows(front, visible)), (std::vector<WindowID>{3, 2}));

  const Rect all(0, 0, 1000, 1000);
  const StackEntry above{4, kFrontApp, all};
  const std::vector<std::pair<std::vector<StackEntry>, std::vector<WindowID>>> cases = {
      {{{4, kFrontApp, Rect(0, 0, 50, 1000)}, {2, 200, all}, {3, 300, all}}, {3, 2}},  // 5 % covered
      {{{4, kFrontApp, Rect(0, 0, 49, 1000)}, {2, 200, all}}, {}},
      {{{4, kFrontApp, Rect(1000, 0, 500, 1000)}, {2, 200, all}}, {}},  // an edge shared is no cover
      {{{1, kFrontApp, all}, {2, 200, all}}, {}},                      // the kept-front window itself
      {{{2, 200, all}, {4, kFrontApp, all}}, {}},                      // the front app's window below
      {{{4, kFrontApp, all}, {3, 300, Rect(2000, 0, 10, 10)}, {1, kFrontApp, all}, {2, 200, all}}, {2}},
      {{above, {2, 200, Rect(0, 0, 0, 1000)}}, {}},     {{above, {2, 200, Rect(1000, 0, -1000, 1000)}}, {}},
      {{{4, kFrontApp, Rect(kNaN, 0, 1000, 1000)}, {2, 200, all}}, {}},
      {{above, {2, 200, Rect(1000, 1000, -1000, -1000)}}, {2}},
      {{above, {3, 300, all}}, {3}},  // missing from the stack: 2
      {{}, {}}};
  for (const auto& [stack, expected] : cases) {
    EXPECT_EQ(ids(WindowStacking::windowsNeedingRestack(front, visible, stack)), expected) << stack.size();
  }
}

}  // namespace
}  // namespace tessarapane
