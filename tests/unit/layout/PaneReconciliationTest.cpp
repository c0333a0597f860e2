#include "layout/PaneReconciliation.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "layout/LayoutEngine.h"

namespace tessarapane {
namespace {

using Lists = std::vector<std::vector<WindowID>>;
using Moves = std::unordered_map<WindowID, int>;
using Frames = std::unordered_map<WindowID, Rect>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class PaneReconciliationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const PaneGeometry& g : LayoutEngine::geometries(LayoutKind::split2, Rect(0, 0, 1000, 800), 32)) {
      paneFrames_.push_back(g.paneFrame);
      windowFrames_.push_back(g.windowFrame);
    }
    // Window areas: left (0, 0, 500, 768), right (500, 0, 500, 768).
  }

  PaneReconciliation::Result reconcile(const Lists& panes, const Frames& frames) const {
    return PaneReconciliation::reconcile(panes, frames, paneFrames_, windowFrames_);
  }

  std::vector<Rect> paneFrames_;
  std::vector<Rect> windowFrames_;
};

TEST_F(PaneReconciliationTest, WindowsWithinTheToleranceStay) {
  const Frames frames = {
      {1, Rect(0, 0, 500, 768)},      // in place
      {2, Rect(30, -30, 500, 768)},   // dragged by 30
      {3, Rect(0, 0, 540, 808)},      // grown by 40
      {4, Rect(-32, 32, 460, 728)},   // at every bound
  };
  const auto result = reconcile({{1, 2, 3, 4}, {}}, frames);
  EXPECT_EQ(result.panes, (Lists{{1, 2, 3, 4}, {}}));
  EXPECT_TRUE(result.movedWindows.empty());
}

TEST_F(PaneReconciliationTest, AWindowOffItsFrameButCentredInItsOwnPaneStays) {
  const auto result = reconcile({{1}, {2}}, {{1, Rect(33, 0, 500, 768)}, {2, Rect(500, 0, 200, 200)}});
  EXPECT_EQ(result.panes, (Lists{{1}, {2}}));
  EXPECT_TRUE(result.movedWindows.empty());
}

TEST_F(PaneReconciliationTest, AWindowDraggedIntoAnotherPaneMovesToItsEnd) {
  const Frames frames = {{1, Rect(0, 0, 500, 768)},
                         {2, Rect(520, 10, 400, 700)},  // centre (720, 360): right pane
                         {3, Rect(0, 0, 500, 768)},
                         {4, Rect(500, 0, 500, 768)}};
  const auto result = reconcile({{1, 2, 3}, {4}}, frames);
  EXPECT_EQ(result.panes, (Lists{{1, 3}, {4, 2}}));
  EXPECT_EQ(result.movedWindows, (Moves{{2, 1}}));
}

TEST_F(PaneReconciliationTest, EveryGivenWindowIsVisitedOnceEvenWhenTwoSwap) {
  const Frames frames = {{1, Rect(500, 0, 500, 768)}, {2, Rect(0, 0, 500, 768)},
                         {3, Rect(0, 0, 500, 768)},   {4, Rect(500, 0, 500, 768)}};
  const auto result = reconcile({{1, 3}, {2, 4}}, frames);
  EXPECT_EQ(result.panes, (Lists{{3, 2}, {4, 1}}));
  EXPECT_EQ(result.movedWindows, (Moves{{1, 1}, {2, 0}}));
}

TEST_F(PaneReconciliationTest, ACentreOnTheSharedEdgeBelongsToTheRightPane) {
  const auto result = reconcile({{1}, {}}, {{1, Rect(300, 0, 400, 400)}});  // centre x = 500
  EXPECT_EQ(result.panes, (Lists{{}, {1}}));
  EXPECT_EQ(result.movedWindows, (Moves{{1, 1}}));
}

TEST_F(PaneReconciliationTest, UnknownOutsideOrUnusableFramesStay) {
  const Frames frames = {
      {2, Rect(2000, 0, 500, 768)},      // centre outside every pane
      {3, Rect(kNaN, 0, 500, 768)},      // not a number
      {4, Rect::null()},
  };
  const auto result = reconcile({{1, 2, 3, 4}, {}}, frames);  // 1 has no frame
  EXPECT_EQ(result.panes, (Lists{{1, 2, 3, 4}, {}}));
  EXPECT_TRUE(result.movedWindows.empty());
}

TEST_F(PaneReconciliationTest, ACentreInAGapBetweenPanesStays) {
  const std::vector<Rect> panes = {Rect(0, 0, 480, 800), Rect(520, 0, 480, 800)};
  const std::vector<Rect> windows = {Rect(0, 0, 480, 768), Rect(520, 0, 480, 768)};
  const auto result = PaneReconciliation::reconcile({{1}, {}}, {{1, Rect(400, 0, 200, 400)}}, panes, windows);
  EXPECT_EQ(result.panes, (Lists{{1}, {}}));
  EXPECT_TRUE(result.movedWindows.empty());
}

TEST_F(PaneReconciliationTest, ANegativeSizeInPlaceStays) {
  const auto result = reconcile({{1}, {}}, {{1, Rect(500, 768, -500, -768)}});
  EXPECT_EQ(result.panes, (Lists{{1}, {}}));
}

TEST_F(PaneReconciliationTest, MismatchedListLengthsChangeNothing) {
  const Frames frames = {{1, Rect(500, 0, 500, 768)}};
  const Lists three = {{1}, {}, {}};
  const auto result = reconcile(three, frames);
  EXPECT_EQ(result.panes, three);
  EXPECT_TRUE(result.movedWindows.empty());

  const auto fewerWindowFrames =
      PaneReconciliation::reconcile({{1}, {}}, frames, paneFrames_, {windowFrames_[0]});
  EXPECT_EQ(fewerWindowFrames.panes, (Lists{{1}, {}}));
  EXPECT_TRUE(fewerWindowFrames.movedWindows.empty());

  EXPECT_EQ(PaneReconciliation::reconcile({}, frames, {}, {}), PaneReconciliation::Result{});
}

TEST_F(PaneReconciliationTest, ARepeatedNumberIsMovedOnlyOnce) {
  const auto result = reconcile({{1, 5, 1}, {2}}, {{1, Rect(500, 0, 500, 768)}});
  EXPECT_EQ(result.panes, (Lists{{5}, {2, 1}}));
  EXPECT_EQ(result.movedWindows, (Moves{{1, 1}}));
}

}  // namespace
}  // namespace tessarapane
