#include "bento/BentoEngine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "unit/bento/BentoTestSupport.h"

namespace tessarapane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr auto kVertical = BentoSplitOrientation::vertical;
constexpr auto kHorizontal = BentoSplitOrientation::horizontal;
constexpr auto kFirst = BentoChildSlot::first;
constexpr auto kSecond = BentoChildSlot::second;

using BentoEngine::splitFrames;

BentoNode<int> numbered(int count) {
  std::vector<int> values;
  for (int i = 0; i < count; ++i) values.push_back(i);
  return *BentoEngine::build(values);
}

void collectLeafPaths(const BentoNode<int>& node, BentoPath path, std::vector<BentoPath>& out) {
  const auto* split = node.asSplit();
  if (split == nullptr) {
    out.push_back(path);
    return;
  }
  path.push_back(kFirst);
  collectLeafPaths(split->first(), path, out);
  path.back() = kSecond;
  collectLeafPaths(split->second(), path, out);
}

TEST(BentoEngine, SplitsGiveTheFirstChildTheRoundedDownShareAndTheSecondTheRemainder) {
  const Rect r(0, 0, 1000, 800);
  EXPECT_EQ(splitFrames(r, kVertical, 0.5, 8),
            (BentoSplitFrames{Rect(0, 0, 496, 800), Rect(504, 0, 496, 800), Rect(496, 0, 8, 800)}));
  // First on top, since y grows upwards.
  EXPECT_EQ(splitFrames(r, kHorizontal, 0.3, 8),
            (BentoSplitFrames{Rect(0, 563, 1000, 237), Rect(0, 0, 1000, 555), Rect(0, 555, 1000, 8)}));
  // An odd free length: 993 → 496 + 497, and the origin carries through.
  EXPECT_EQ(splitFrames(Rect(100, 40, 1001, 300), kVertical, 0.5, 8),
            (BentoSplitFrames{Rect(100, 40, 496, 300), Rect(604, 40, 497, 300), Rect(596, 40, 8, 300)}));
  EXPECT_EQ(splitFrames(Rect(100, 40, 300, 101), kHorizontal, 0.5, 8),
            (BentoSplitFrames{Rect(100, 95, 300, 46), Rect(100, 40, 300, 47), Rect(100, 87, 300, 8)}));
}

TEST(BentoEngine, LayoutClampsRatiosToFivePercentAtEachEndWithoutStoringThem) {
  const Rect r(0, 0, 1008, 100);  // free length 1000
  const auto firstWidth = [&](double ratio) { return splitFrames(r, kVertical, ratio, 8).first.width(); };
  EXPECT_EQ(firstWidth(0.0), 50);
  EXPECT_EQ(firstWidth(-3), 50);
  EXPECT_EQ(firstWidth(0.05), 50);
  EXPECT_EQ(firstWidth(0.0515), 51);
  EXPECT_EQ(firstWidth(0.95), 950);
  EXPECT_EQ(firstWidth(0.96), 950);
  EXPECT_EQ(firstWidth(1.0), 950);
  EXPECT_EQ(firstWidth(kInf), 950);
  EXPECT_EQ(firstWidth(-kInf), 50);
  EXPECT_EQ(firstWidth(kNaN), 500);  // a NaN ratio lays out as an even split
  EXPECT_EQ(BentoEngine::clampedLayoutRatio(0.95), 0.95);
  EXPECT_EQ(BentoEngine::clampedLayoutRatio(std::nextafter(0.95, 1.0)), 0.95);
  EXPECT_EQ(BentoEngine::clampedLayoutRatio(std::nextafter(0.05, 1.0)), std::nextafter(0.05, 1.0));

  const auto tree = BentoEngine::replacingRatio(0.0, {}, numbered(2));
  const auto laidOut = BentoEngine::layout(tree, r, 8);
  EXPECT_EQ(laidOut.leaves[0].frame, Rect(0, 0, 50, 100));
  EXPECT_EQ(tree.asSplit()->ratio, 0.0);
}

TEST(BentoEngine, DegenerateRectanglesAndGapsNeverGiveNegativeOrNaNSizes) {
  // Narrower than the gap: both children get zero width.
  EXPECT_EQ(splitFrames(Rect(10, 0, 5, 50), kVertical, 0.5, 8),
            (BentoSplitFrames{Rect(10, 0, 0, 50), Rect(18, 0, 0, 50), Rect(10, 0, 8, 50)}));
  // A negative size covers the same area as its standardized form.
  EXPECT_EQ(splitFrames(Rect(1000, 800, -1000, -800), kVertical, 0.5, 8), splitFrames(Rect(0, 0, 1000, 800), kVertical, 0.5, 8));
  // NaN and infinite lengths count as zero.
  for (double bad : {kNaN, kInf}) {
    const auto parts = splitFrames(Rect(0, 0, bad, bad), kHorizontal, 0.5, 8);
    EXPECT_EQ(parts.first, Rect(0, 8, 0, 0));
    EXPECT_EQ(parts.second, Rect(0, 0, 0, 0));
  }
  // A negative, NaN or infinite gap counts as none: tiles neither overlap nor go NaN.
  for (double gap : {-8.0, kNaN, kInf}) {
    EXPECT_EQ(splitFrames(Rect(0, 0, 1000, 10), kVertical, 0.5, gap),
              (BentoSplitFrames{Rect(0, 0, 500, 10), Rect(500, 0, 500, 10), Rect(500, 0, 0, 10)}));
  }
  const auto single = BentoEngine::layout(numbered(1), Rect(0, 0, -50, kNaN), 8);
  ASSERT_EQ(single.leaves.size(), 1u);
  EXPECT_EQ(single.leaves[0].frame, Rect(-50, 0, 50, 0));
}

TEST(BentoEngine, HitFramesGrowAcrossTheStripMeasuredOnItsLongSide) {
  // 8 × 800: the long side decides, so the outset is 4, not (24 − 8) / 2.
  EXPECT_EQ(BentoEngine::hitFrame(Rect(496, 0, 8, 800), kVertical), Rect(492, 0, 16, 800));
  EXPECT_EQ(BentoEngine::hitFrame(Rect(0, 555, 1000, 8), kHorizontal), Rect(0, 551, 1000, 16));
  EXPECT_EQ(BentoEngine::hitFrame(Rect(0, 0, 8, 16), kVertical), Rect(-4, 0, 16, 16));
  EXPECT_EQ(BentoEngine::hitFrame(Rect(0, 0, 8, 15), kVertical), Rect(-4.5, 0, 17, 15));
  EXPECT_EQ(BentoEngine::hitFrame(Rect(0, 0, 10, 8), kHorizontal), Rect(0, -7, 10, 22));
}

TEST(BentoEngine, LayoutListsLeavesInLeafOrderAndDividersInPreOrder) {
  const Rect screen(0, 25, 1440, 875);
  const auto one = BentoEngine::layout(numbered(1), screen, 8);
  ASSERT_EQ(one.leaves.size(), 1u);
  EXPECT_EQ(one.leaves[0].frame, screen);
  EXPECT_TRUE(one.dividers.empty());

  const auto five = BentoEngine::layout(numbered(5), Rect(0, 0, 1008, 808), 8);
  ASSERT_EQ(five.dividers.size(), 4u);
  EXPECT_EQ(five.dividers[0], (BentoDividerLayout{{}, kVertical, Rect(500, 0, 8, 808), Rect(496, 0, 16, 808)}));
  EXPECT_EQ(five.dividers[1].path, (BentoPath{kFirst}));
  EXPECT_EQ(five.dividers[2].path, (BentoPath{kSecond}));
  EXPECT_EQ(five.dividers[3],
            (BentoDividerLayout{{kSecond, kSecond}, kVertical, Rect(754, 0, 8, 400), Rect(750, 0, 16, 400)}));
  std::vector<int> order;
  for (const auto& leaf : five.leaves) order.push_back(leaf.value);
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(five.leaves[0].frame, Rect(0, 408, 500, 400));
  EXPECT_EQ(five.leaves[4].frame, Rect(762, 0, 246, 400));
}

TEST(BentoEngine, DeepTreesTileTheScreenExactlyAndFrameForNodeAgreesWithLayout) {
  const Rect screen(0, 25, 1920, 1055);
  for (int count : {3, 7, 64, 1000}) {
    SCOPED_TRACE(count);
    const auto tree = numbered(count);
    const auto laidOut = BentoEngine::layout(tree, screen, 8);
    ASSERT_EQ(laidOut.leaves.size(), static_cast<std::size_t>(count));
    ASSERT_EQ(laidOut.dividers.size(), static_cast<std::size_t>(count - 1));
    // Tiles plus gap strips cover the screen with no overlap and no loss.
    double covered = 0;
    for (const auto& leaf : laidOut.leaves) {
      EXPECT_EQ(leaf.frame.width(), std::floor(leaf.frame.width()));
      EXPECT_GT(leaf.frame.height(), 0);
      EXPECT_EQ(intersectionArea(leaf.frame, screen), leaf.frame.area());
      covered += leaf.frame.area();
    }
    for (const auto& divider : laidOut.dividers) covered += divider.frame.area();
    EXPECT_EQ(covered, screen.area());
    if (count <= 64) {
      for (std::size_t i = 0; i < laidOut.leaves.size(); ++i) {
        for (std::size_t j = i + 1; j < laidOut.leaves.size(); ++j) {
          ASSERT_EQ(intersectionArea(laidOut.leaves[i].frame, laidOut.leaves[j].frame), 0) << i << " " << j;
        }
      }
    }
    std::vector<BentoPath> paths;
    collectLeafPaths(tree, {}, paths);
    for (std::size_t i = 0; i < paths.size(); ++i) {
      ASSERT_EQ(BentoEngine::frameForNode(paths[i], tree, screen, 8), laidOut.leaves[i].frame) << i;
    }
  }
}

TEST(BentoEngine, FrameForNodeFollowsRatiosAndFailsThroughALeaf) {
  const Rect r(0, 0, 1008, 800);
  const auto tree = BentoEngine::replacingRatio(0.3, {}, numbered(3));
  EXPECT_EQ(BentoEngine::frameForNode({}, tree, r, 8), r);
  EXPECT_EQ(BentoEngine::frameForNode({kSecond}, tree, r, 8), Rect(308, 0, 700, 800));
  EXPECT_EQ(BentoEngine::frameForNode({kSecond, kFirst}, tree, r, 8), Rect(308, 404, 700, 396));
  EXPECT_FALSE(BentoEngine::frameForNode({kFirst, kFirst}, tree, r, 8).has_value());
  EXPECT_FALSE(BentoEngine::frameForNode({kFirst}, numbered(1), r, 8).has_value());
}

TEST(BentoEngine, PointerRatiosKeep120PointsPerSideOrFallBackToHalf) {
  using BentoEngine::ratioFromPointer;
  const Rect wide(100, 0, 1008, 500);  // free length 1000 across, 492 down
  EXPECT_EQ(ratioFromPointer(kVertical, wide, {600, 3}, 8), 0.5);
  EXPECT_EQ(ratioFromPointer(kVertical, wide, {220, 0}, 8), 0.12);
  EXPECT_EQ(ratioFromPointer(kVertical, wide, {219, 0}, 8), 0.12);
  EXPECT_EQ(ratioFromPointer(kVertical, wide, {221, 0}, 8), 0.121);
  EXPECT_DOUBLE_EQ(*ratioFromPointer(kVertical, wide, {980, 0}, 8), 0.88);
  EXPECT_EQ(ratioFromPointer(kVertical, wide, {979, 0}, 8), 0.879);
  for (double x : {-1e9, 1e9, -kInf, kInf, 0.0, 5000.0}) {
    const double ratio = *ratioFromPointer(kVertical, wide, {x, 0}, 8);
    EXPECT_GE(ratio, 0.12);
    EXPECT_LE(ratio, 1.0 - 0.12);
  }
  // Stacked children measure from the top edge.
  EXPECT_EQ(ratioFromPointer(kHorizontal, Rect(0, 100, 50, 1008), {0, 808}, 8), 0.3);
  EXPECT_EQ(ratioFromPointer(kHorizontal, Rect(0, 100, 50, 1008), {0, 2000}, 8), 0.12);

  // A free length of 240 or less leaves no room: always half.
  EXPECT_EQ(ratioFromPointer(kVertical, Rect(0, 0, 248, 10), {1, 0}, 8), 0.5);
  EXPECT_EQ(ratioFromPointer(kVertical, Rect(0, 0, 249, 10), {1, 0}, 8), 120.0 / 241);
  EXPECT_EQ(ratioFromPointer(kVertical, Rect(0, 0, 3, 10), {1, 0}, 8), 0.5);
  EXPECT_EQ(ratioFromPointer(kVertical, Rect(0, 0, 3, 10), {kNaN, 0}, 8), 0.5);

  // An unusable position is ignored rather than stored as a NaN ratio.
  EXPECT_FALSE(ratioFromPointer(kVertical, wide, {kNaN, 0}, 8).has_value());
  EXPECT_FALSE(ratioFromPointer(kHorizontal, Rect(0, kNaN, 10, 1000), {0, 10}, 8).has_value());
  EXPECT_EQ(ratioFromPointer(kVertical, wide, {600, kNaN}, 8), 0.5);  // only x matters here
}

TEST(BentoEngine, ADividerDraggedToItsLimitLeavesExactly120Points) {
  // 120 / 1432 times 1432 falls just short of 120 in floating point; the
  // split must still give the side its full 120 points, on both sides.
  const Rect screen(0, 0, 1440, 875);
  for (double pointerX : {0.0, 1440.0}) {
    const double ratio = *BentoEngine::ratioFromPointer(kVertical, screen, {pointerX, 0}, 8);
    const auto parts = BentoEngine::splitFrames(screen, kVertical, ratio, 8);
    EXPECT_GE(parts.first.width(), 120);
    EXPECT_GE(parts.second.width(), 120);
    EXPECT_EQ(parts.first.width() + parts.second.width(), 1432);
  }
}

TEST(BentoEngine, DraggingADividerReplacesOnlyThatRatioAndIgnoresStalePaths) {
  const Rect r(0, 0, 1008, 800);
  const auto tree = numbered(3);
  const auto dragged = BentoEngine::draggingDivider({}, {300, 400}, tree, r, 8);
  ASSERT_TRUE(dragged.has_value());
  EXPECT_EQ(describe(*dragged), "V0.3(0,H0.5(1,2))");
  EXPECT_EQ(BentoEngine::layout(*dragged, r, 8).leaves[0].frame, Rect(0, 0, 300, 800));

  // The inner split is measured inside its own rectangle, from its top.
  const auto inner = BentoEngine::draggingDivider({kSecond}, {700, 800 - 198}, *dragged, r, 8);
  ASSERT_TRUE(inner.has_value());
  EXPECT_EQ(describe(*inner), "V0.3(0,H0.25(1,2))");

  EXPECT_FALSE(BentoEngine::draggingDivider({kFirst}, {300, 400}, tree, r, 8).has_value());
  EXPECT_FALSE(BentoEngine::draggingDivider({kFirst, kSecond}, {300, 400}, tree, r, 8).has_value());
  EXPECT_FALSE(BentoEngine::draggingDivider({}, {300, 400}, numbered(1), r, 8).has_value());
  EXPECT_FALSE(BentoEngine::draggingDivider({}, {kNaN, 400}, tree, r, 8).has_value());
}

}  // namespace
}  // namespace tessarapane
