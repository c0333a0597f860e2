#include "layout/LayoutEngine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "LayoutTestSupport.h"

namespace tessarapane {
namespace {

using testing_support::idsByPane;
using testing_support::windows;
using Lists = std::vector<std::vector<WindowID>>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(LayoutEngineTest, Split2OnAnOddWidthFloorsTheLeftPane) {
  const std::vector<Rect> panes = LayoutEngine::paneFrames(LayoutKind::split2, Rect(100, 50, 1441, 900));
  ASSERT_EQ(panes.size(), 2u);
  EXPECT_EQ(panes[0], Rect(100, 50, 720, 900));
  EXPECT_EQ(panes[1], Rect(820, 50, 721, 900));
}

TEST(LayoutEngineTest, Split3OnAThousandGivesTwoFlooredThirdsAndTheRest) {
  const std::vector<Rect> panes = LayoutEngine::paneFrames(LayoutKind::split3, Rect(0, 0, 1000, 700));
  ASSERT_EQ(panes.size(), 3u);
  EXPECT_EQ(panes[0], Rect(0, 0, 333, 700));
  EXPECT_EQ(panes[1], Rect(333, 0, 333, 700));
  EXPECT_EQ(panes[2], Rect(666, 0, 334, 700));
}

TEST(LayoutEngineTest, Split3FloorsRatherThanRounds) {
  // 1001 / 3 = 333.67: rounding would give 334.
  const std::vector<Rect> panes = LayoutEngine::paneFrames(LayoutKind::split3, Rect(0, 0, 1001, 700));
  ASSERT_EQ(panes.size(), 3u);
  EXPECT_EQ(panes[0].width(), 333);
  EXPECT_EQ(panes[1].width(), 333);
  EXPECT_EQ(panes[2], Rect(666, 0, 335, 700));
}

TEST(LayoutEngineTest, TopBottomOnAnOddHeightGivesTheBottomRowTheFlooredHalf) {
  const std::vector<Rect> panes = LayoutEngine::paneFrames(LayoutKind::topBottom, Rect(0, 25, 1200, 875));
  ASSERT_EQ(panes.size(), 2u);
  EXPECT_EQ(panes[1], Rect(0, 25, 1200, 437));   // bottom
  EXPECT_EQ(panes[0], Rect(0, 462, 1200, 438));  // top, at Y + 437
}

// Every kind over (10, 20, 1441, 875): halfW 720, restW 721, halfH 437,
// restH 438, thirdW 480, lastW 481.
TEST(LayoutEngineTest, PaneFramesOfEveryKindInPaneIndexOrder) {
  const Rect screen(10, 20, 1441, 875);
  struct Row {
    LayoutKind kind;
    std::vector<Rect> panes;
  };
  const std::vector<Row> rows = {
      {LayoutKind::fullScreen, {Rect(10, 20, 1441, 875)}},
      {LayoutKind::split2, {Rect(10, 20, 720, 875), Rect(730, 20, 721, 875)}},
      {LayoutKind::split3, {Rect(10, 20, 480, 875), Rect(490, 20, 480, 875), Rect(970, 20, 481, 875)}},
      {LayoutKind::topBottom, {Rect(10, 457, 1441, 438), Rect(10, 20, 1441, 437)}},
      {LayoutKind::focusStack, {Rect(10, 20, 720, 875), Rect(730, 457, 721, 438), Rect(730, 20, 721, 437)}},
      {LayoutKind::stackFocus, {Rect(10, 457, 720, 438), Rect(10, 20, 720, 437), Rect(730, 20, 721, 875)}},
      {LayoutKind::split4,
       {Rect(10, 457, 720, 438), Rect(730, 457, 721, 438), Rect(10, 20, 720, 437), Rect(730, 20, 721, 437)}},
  };
  ASSERT_EQ(rows.size(), kAllLayoutKinds.size());
  for (const Row& row : rows) {
    SCOPED_TRACE(rawValue(row.kind));
    EXPECT_EQ(LayoutEngine::paneFrames(row.kind, screen), row.panes);
    EXPECT_EQ(static_cast<int>(row.panes.size()), paneCount(row.kind));
  }
}

TEST(LayoutEngineTest, PanesCoverTheScreenExactlyWithoutOverlap) {
  const std::vector<Rect> screens = {Rect(0, 0, 1440, 900), Rect(-1920, 37, 1921, 1043), Rect(3.5, -7.25, 1000.5, 601.75),
                                     Rect(0, 0, 1, 1), Rect(0, 0, 3, 2)};
  for (const Rect& screen : screens) {
    for (LayoutKind kind : kAllLayoutKinds) {
      SCOPED_TRACE(::testing::Message() << rawValue(kind) << " on " << screen);
      const std::vector<Rect> panes = LayoutEngine::paneFrames(kind, screen);
      ASSERT_EQ(static_cast<int>(panes.size()), paneCount(kind));
      Rect covered = Rect::null();
      double area = 0;
      for (std::size_t i = 0; i < panes.size(); ++i) {
        covered = covered.unionWith(panes[i]);
        area += panes[i].area();
        for (std::size_t j = i + 1; j < panes.size(); ++j) EXPECT_EQ(intersectionArea(panes[i], panes[j]), 0);
      }
      EXPECT_EQ(covered, screen);
      EXPECT_DOUBLE_EQ(area, screen.area());
    }
  }
}

TEST(LayoutEngineTest, ANegativeSizeDescribesTheSameScreen) {
  for (LayoutKind kind : kAllLayoutKinds) {
    SCOPED_TRACE(rawValue(kind));
    EXPECT_EQ(LayoutEngine::paneFrames(kind, Rect(1441, 900, -1441, -900)),
              LayoutEngine::paneFrames(kind, Rect(0, 0, 1441, 900)));
  }
}

TEST(LayoutEngineTest, ANaNOrEmptyScreenStillGivesOnePanePerPaneIndex) {
  for (LayoutKind kind : kAllLayoutKinds) {
    SCOPED_TRACE(rawValue(kind));
    const std::vector<PaneGeometry> nan = LayoutEngine::geometries(kind, Rect(kNaN, 0, 100, kNaN), 32);
    ASSERT_EQ(static_cast<int>(nan.size()), paneCount(kind));
    for (const PaneGeometry& g : nan) EXPECT_TRUE(g.paneFrame.hasNaN());

    const std::vector<PaneGeometry> empty = LayoutEngine::geometries(kind, Rect(5, 5, 0, 0), 32);
    ASSERT_EQ(static_cast<int>(empty.size()), paneCount(kind));
    for (const PaneGeometry& g : empty) {
      EXPECT_EQ(g.paneFrame, Rect(5, 5, 0, 0));
      EXPECT_EQ(g.tabBarFrame, Rect(5, 5, 0, 0));
      EXPECT_EQ(g.windowFrame, Rect(5, 5, 0, 0));
    }
  }
}

TEST(LayoutEngineTest, GeometriesPutTheTabBarAlongTheTopOfEachPane) {
  EXPECT_EQ(LayoutEngine::kTabBarHeight, 32.0);
  const std::vector<PaneGeometry> full =
      LayoutEngine::geometries(LayoutKind::fullScreen, Rect(0, 50, 800, 1000), LayoutEngine::kTabBarHeight);
  ASSERT_EQ(full.size(), 1u);
  EXPECT_EQ(full[0], (PaneGeometry{Rect(0, 50, 800, 1000), Rect(0, 1018, 800, 32), Rect(0, 50, 800, 968)}));

  const Rect screen(10, 20, 1441, 875);
  const std::vector<Rect> panes = LayoutEngine::paneFrames(LayoutKind::split4, screen);
  const std::vector<PaneGeometry> quarters = LayoutEngine::geometries(LayoutKind::split4, screen, 32);
  ASSERT_EQ(quarters.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    const Rect& p = panes[i];
    EXPECT_EQ(quarters[i].paneFrame, p);
    EXPECT_EQ(quarters[i].tabBarFrame, Rect(p.x(), p.maxY() - 32, p.width(), 32));
    EXPECT_EQ(quarters[i].windowFrame, Rect(p.x(), p.y(), p.width(), p.height() - 32));
  }
}

TEST(LayoutEngineTest, ANegativeOrNaNTabBarHeightCountsAsZero) {
  for (double height : {-5.0, kNaN, 0.0, -std::numeric_limits<double>::infinity()}) {
    SCOPED_TRACE(height);
    const std::vector<PaneGeometry> g = LayoutEngine::geometries(LayoutKind::split2, Rect(0, 0, 1000, 600), height);
    ASSERT_EQ(g.size(), 2u);
    EXPECT_EQ(g[0].tabBarFrame, Rect(0, 600, 500, 0));
    EXPECT_EQ(g[0].windowFrame, g[0].paneFrame);
    EXPECT_EQ(g[1].tabBarFrame, Rect(500, 600, 500, 0));
    EXPECT_EQ(g[1].windowFrame, g[1].paneFrame);
  }
}

TEST(LayoutEngineTest, APaneLowerThanTheTabBarIsAllStrip) {
  const std::vector<PaneGeometry> g = LayoutEngine::geometries(LayoutKind::topBottom, Rect(0, 0, 300, 41), 32);
  ASSERT_EQ(g.size(), 2u);
  // Bottom pane is 20 high, top pane 21 high.
  EXPECT_EQ(g[1], (PaneGeometry{Rect(0, 0, 300, 20), Rect(0, 0, 300, 20), Rect(0, 0, 300, 0)}));
  EXPECT_EQ(g[0], (PaneGeometry{Rect(0, 20, 300, 21), Rect(0, 20, 300, 21), Rect(0, 20, 300, 0)}));
}

TEST(LayoutEngineTest, AssignDealsContiguousRunsLargestFirst) {
  const std::vector<ManagedWindow> five = windows({1, 2, 3, 4, 5});
  EXPECT_EQ(idsByPane(LayoutEngine::assign(five, 3)), (Lists{{1, 2}, {3, 4}, {5}}));
  EXPECT_EQ(idsByPane(LayoutEngine::assign(windows({9}), 4)), (Lists{{9}, {}, {}, {}}));
  EXPECT_EQ(idsByPane(LayoutEngine::assign({}, 3)), (Lists{{}, {}, {}}));
  EXPECT_EQ(idsByPane(LayoutEngine::assign(windows({1, 2, 3, 4, 5, 6, 7}), 2)), (Lists{{1, 2, 3, 4}, {5, 6, 7}}));
  EXPECT_EQ(idsByPane(LayoutEngine::assign(windows({1, 2, 3, 4, 5, 6}), 3)), (Lists{{1, 2}, {3, 4}, {5, 6}}));
  EXPECT_EQ(idsByPane(LayoutEngine::assign(five, 1)), (Lists{{1, 2, 3, 4, 5}}));
}

TEST(LayoutEngineTest, AssignWithoutPanesGivesNoLists) {
  EXPECT_TRUE(LayoutEngine::assign(windows({1, 2}), 0).empty());
  EXPECT_TRUE(LayoutEngine::assign(windows({1, 2}), -3).empty());
}

class AssignByPlacementTest : public ::testing::Test {
 protected:
  // split2 over (0, 0, 1000, 800).
  const std::vector<Rect> panes_ = {Rect(0, 0, 500, 800), Rect(500, 0, 500, 800)};
};

TEST_F(AssignByPlacementTest, EachWindowGoesToThePaneHoldingItsCentreInOrder) {
  const std::vector<Rect> frames = {Rect(600, 100, 200, 200), Rect(0, 0, 100, 100), Rect(700, 500, 100, 100),
                                    Rect(400, 100, 200, 200)};  // centre on the shared edge: right pane
  EXPECT_EQ(idsByPane(LayoutEngine::assignByPlacement(windows({1, 2, 3, 4}), frames, panes_)),
            (Lists{{2}, {1, 3, 4}}));
}

TEST_F(AssignByPlacementTest, ACentreOutsideEveryPaneFallsBackToTheLargestOverlapThenPaneZero) {
  const std::vector<Rect> frames = {
      Rect(400, -300, 400, 400),   // centre below; overlaps right 3x more
      Rect(300, -300, 400, 400),   // centre below; overlaps both equally
      Rect(5000, 5000, 10, 10),    // overlaps nothing
      Rect(kNaN, 0, 100, 100),     // unusable frame
  };
  EXPECT_EQ(idsByPane(LayoutEngine::assignByPlacement(windows({1, 2, 3, 4}), frames, panes_)),
            (Lists{{2, 3, 4}, {1}}));
}

TEST_F(AssignByPlacementTest, MismatchedCountsGiveEmptyListsAndNoPanesGiveNone) {
  const std::vector<Rect> twoFrames = {Rect(0, 0, 10, 10), Rect(600, 0, 10, 10)};
  EXPECT_EQ(idsByPane(LayoutEngine::assignByPlacement(windows({1, 2, 3}), twoFrames, panes_)), (Lists{{}, {}}));
  EXPECT_EQ(idsByPane(LayoutEngine::assignByPlacement({}, {}, panes_)), (Lists{{}, {}}));
  EXPECT_TRUE(LayoutEngine::assignByPlacement(windows({1, 2}), twoFrames, {}).empty());
}

}  // namespace
}  // namespace tessarapane
