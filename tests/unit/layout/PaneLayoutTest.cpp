// Where the panes of each tab layout lie, which windows each pane starts with, which pane is the neighbour in
// each direction, and the names the layouts are stored and shown under.
#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <string>

#include "LayoutTestSupport.h"
#include "layout/LayoutEngine.h"
#include "layout/PaneMove.h"
#include "layout/RememberedLayout.h"

namespace tessarapane {
namespace {

using namespace testing_support;
using Dir = PaneMoveDirection;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// One row per kind, in menu order: names, pane count, the panes over (10, 20, 1441, 875) -- halves 720 + 721
// across and 437 + 438 up, thirds 480 + 480 + 481 -- and each pane's neighbours left, right, up, down.
struct KindRow {
  LayoutKind kind;
  const char* raw;
  const char* title;
  std::vector<Rect> panes;
  std::vector<std::array<int, 4>> neighbours;
};
const std::vector<KindRow> kKinds = {
    {LayoutKind::fullScreen, "fullScreen", "全屏", {Rect(10, 20, 1441, 875)}, {{-1, -1, -1, -1}}},
    {LayoutKind::split2, "split2", "左右二分", {Rect(10, 20, 720, 875), Rect(730, 20, 721, 875)},
     {{-1, 1, -1, -1}, {0, -1, -1, -1}}},
    {LayoutKind::split3, "split3", "左右三等分",
     {Rect(10, 20, 480, 875), Rect(490, 20, 480, 875), Rect(970, 20, 481, 875)},
     {{-1, 1, -1, -1}, {0, 2, -1, -1}, {1, -1, -1, -1}}},
    {LayoutKind::topBottom, "topBottom", "上下二分", {Rect(10, 457, 1441, 438), Rect(10, 20, 1441, 437)},
     {{-1, -1, -1, 1}, {-1, -1, 0, -1}}},
    {LayoutKind::focusStack, "focusStack", "1+2",
     {Rect(10, 20, 720, 875), Rect(730, 457, 721, 438), Rect(730, 20, 721, 437)},
     {{-1, 1, -1, -1}, {0, -1, -1, 2}, {0, -1, 1, -1}}},
    {LayoutKind::stackFocus, "stackFocus", "2+1",
     {Rect(10, 457, 720, 438), Rect(10, 20, 720, 437), Rect(730, 20, 721, 875)},
     {{-1, 2, -1, 1}, {-1, 2, 0, -1}, {0, -1, -1, -1}}},
    {LayoutKind::split4, "split4", "四等分",
     {Rect(10, 457, 720, 438), Rect(730, 457, 721, 438), Rect(10, 20, 720, 437), Rect(730, 20, 721, 437)},
     {{-1, 1, -1, 2}, {0, -1, -1, 3}, {-1, 3, 0, -1}, {2, -1, 1, -1}}},
};

TEST(PaneLayout, EveryKindHasItsNamesPanesAndNeighbours) {
  ASSERT_EQ(kAllLayoutKinds.size(), kKinds.size());
  for (std::size_t i = 0; i < kKinds.size(); ++i) {
    const KindRow& row = kKinds[i];
    SCOPED_TRACE(row.raw);
    EXPECT_EQ(kAllLayoutKinds[i], row.kind);
    EXPECT_EQ(rawValue(row.kind), row.raw);
    EXPECT_EQ(fromRawValue<LayoutKind>(row.raw), row.kind);
    EXPECT_EQ(fromRawValue<RememberedLayout>("tabs:" + std::string(row.raw)), RememberedLayout::tabs(row.kind));
    EXPECT_EQ(rawValue(RememberedLayout::tabs(row.kind)), "tabs:" + std::string(row.raw));
    EXPECT_EQ(displayTitle(row.kind), row.title);
    EXPECT_EQ(paneCount(row.kind), static_cast<int>(row.panes.size()));
    EXPECT_EQ(LayoutEngine::paneFrames(row.kind, Rect(10, 20, 1441, 875)), row.panes);
    // A negative size describes the same screen.
    EXPECT_EQ(LayoutEngine::paneFrames(row.kind, Rect(1451, 895, -1441, -875)), row.panes);
    for (int from = -1; from <= 4; ++from) {
      std::vector<Dir> available;
      for (std::size_t d = 0; d < 4; ++d) {
        const bool listed = from >= 0 && from < static_cast<int>(row.neighbours.size());
        const int expected = listed ? row.neighbours[static_cast<std::size_t>(from)][d] : -1;
        const auto to = PaneMove::destinationPaneIndex(from, kAllPaneMoveDirections[d], row.kind);
        EXPECT_EQ(to, expected < 0 ? std::nullopt : std::optional<int>(expected)) << from << " " << d;
        if (expected >= 0) available.push_back(kAllPaneMoveDirections[d]);
      }
      EXPECT_EQ(PaneMove::availableDirections(from, row.kind), available) << from;
    }
  }
  EXPECT_EQ(PaneMove::destinationPaneIndex(INT_MIN, Dir::left, LayoutKind::split2), std::nullopt);
  EXPECT_EQ(PaneMove::destinationPaneIndex(INT_MAX, Dir::left, LayoutKind::split2), std::nullopt);
  // A tab index one past the end (a strip behind a closed window) splits nothing.
  EXPECT_EQ(PaneMove::expandFullScreenToSplit2(windows({1, 2}), 2, Dir::left), std::nullopt);
}

TEST(PaneLayout, WindowsAreDealtInRunsOrByWhereTheyStand) {
  EXPECT_EQ(idsByPane(LayoutEngine::assign(windows({1, 2, 3, 4, 5}), 3)), (Lists{{1, 2}, {3, 4}, {5}}));
  EXPECT_EQ(idsByPane(LayoutEngine::assign(windows({1, 2, 3, 4, 5, 6, 7}), 2)), (Lists{{1, 2, 3, 4}, {5, 6, 7}}));
  EXPECT_EQ(idsByPane(LayoutEngine::assign(windows({9}), 4)), (Lists{{9}, {}, {}, {}}));
  EXPECT_EQ(idsByPane(LayoutEngine::assign({}, 2)), (Lists{{}, {}}));
  EXPECT_TRUE(LayoutEngine::assign(windows({1, 2}), 0).empty());

  // split2 over (0, 0, 1000, 800): the pane holding the centre, else the uniquely largest overlap, else pane 0.
  const std::vector<Rect> panes = {Rect(0, 0, 500, 800), Rect(500, 0, 500, 800)};
  const std::vector<Rect> frames = {Rect(600, 100, 200, 200), Rect(0, 0, 100, 100), Rect(400, 100, 200, 200),
                                    Rect(400, -300, 400, 400), Rect(300, -300, 400, 400), Rect(5000, 5000, 10, 10),
                                    Rect(kNaN, 0, 100, 100)};
  EXPECT_EQ(idsByPane(LayoutEngine::assignByPlacement(windows({1, 2, 3, 4, 5, 6, 7}), frames, panes)),
            (Lists{{2, 5, 6, 7}, {1, 3, 4}}));
  EXPECT_EQ(idsByPane(LayoutEngine::assignByPlacement(windows({1}), {}, panes)), (Lists{{}, {}}));
  EXPECT_TRUE(LayoutEngine::assignByPlacement(windows({1}), {Rect(0, 0, 9, 9)}, {}).empty());
}

}  // namespace
}  // namespace tessarapane
