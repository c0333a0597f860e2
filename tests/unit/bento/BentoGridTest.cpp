// The grid layout's split tree: how it is built and edited, how it tiles a screen, how a dragged divider sets a
// ratio, and what each tile shows in the preview.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "bento/BentoEngine.h"
#include "bento/BentoTilePresentation.h"
#include "bento/BentoTreeOperations.h"
#include "bento/WhitespaceTrim.h"

namespace tessarapane {

// A compact picture of a tree, "V0.5(a,H0.5(b,c))", so a failing shape reads at a glance.
template <typename Value>
std::string describe(const BentoNode<Value>& node) {
  std::ostringstream out;
  if (const Value* value = node.asLeaf()) {
    out << *value;
  } else {
    const auto& split = *node.asSplit();
    out << (split.orientation == BentoSplitOrientation::vertical ? 'V' : 'H') << split.ratio << '('
        << describe(split.first()) << ',' << describe(split.second()) << ')';
  }
  return out.str();
}

namespace {

using namespace BentoEngine;
using Frames = BentoSplitFrames;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr auto kV = BentoSplitOrientation::vertical;
constexpr auto kH = BentoSplitOrientation::horizontal;
constexpr auto k1 = BentoChildSlot::first;
constexpr auto k2 = BentoChildSlot::second;

BentoNode<char> letters(const std::string& text, int depth = 0) {
  return *build(std::vector<char>(text.begin(), text.end()), depth);
}
std::vector<int> iota(int count) {
  std::vector<int> values(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) values[static_cast<std::size_t>(i)] = i;
  return values;
}
ManagedWindow window(WindowID id, std::string title, std::string appName, ProcessID pid = 0) {
  ManagedWindow w;
  w.windowID = id;
  w.ownerPID = pid;
  w.title = std::move(title);
  w.appName = std::move(appName);
  return w;
}

TEST(BentoGrid, TreesAreBuiltBalancedAndEditedWithoutTouchingTheRest) {
  // The odd value goes to the second half, orientations alternate from the one the depth picks.
  EXPECT_EQ(describe(letters("abc", INT_MAX)), "H0.5(a,V0.5(b,c))");
  EXPECT_FALSE(build(std::vector<int>{}).has_value());
  for (int count : {1, 5, 1000}) EXPECT_EQ(leafValues(*build(iota(count))), iota(count)) << count;
  const auto tree = letters("abcd");
  const auto edited = replacingRatio(0.8, {k2}, replacingRatio(0.3, {}, tree));
  EXPECT_EQ(describe(edited), "V0.3(H0.5(a,b),H0.8(c,d))");
  EXPECT_EQ(edited.asSplit()->firstNode, tree.asSplit()->firstNode);  // shared, not copied
  EXPECT_EQ(replacingRatio(0.9, BentoPath{k1, k2, k1}, tree), tree);  // a stale path
  EXPECT_EQ(describe(*nodeAt({k2, k1}, tree)), "c");
  // Adding and removing rebuild in leaf order with fresh ratios.
  EXPECT_EQ(describe(appendingLeaf(replacingRatio(0.9, {}, letters("abc")), 'd')), "V0.5(H0.5(a,b),H0.5(c,d))");
  EXPECT_EQ(describe(*keepingLeaves(edited, [](char c) { return c != 'b'; })), "V0.5(a,H0.5(c,d))");
  EXPECT_FALSE(keepingLeaves(tree, [](char) { return false; }).has_value());
}

TEST(BentoGrid, SplitsGiveTheFirstChildTheRoundedDownShareOfWhatTheGapLeaves) {
  const std::vector<std::tuple<Rect, BentoSplitOrientation, double, double, Frames>> cases = {
      {Rect(0, 0, 1000, 800), kV, 0.5, 8, {Rect(0, 0, 496, 800), Rect(504, 0, 496, 800), Rect(496, 0, 8, 800)}},
      // The first child on top, y growing upwards.
      {Rect(0, 0, 1000, 800), kH, 0.3, 8, {Rect(0, 563, 1000, 237), Rect(0, 0, 1000, 555), Rect(0, 555, 1000, 8)}},
      {Rect(100, 40, 1001, 300), kV, 0.5, 8, {Rect(100, 40, 496, 300), Rect(604, 40, 497, 300), Rect(596, 40, 8, 300)}},
      {Rect(1000, 800, -1000, -800), kV, 0.5, 8, {Rect(0, 0, 496, 800), Rect(504, 0, 496, 800), Rect(496, 0, 8, 800)}},
      // Ratios clamp to 5 % at each end; NaN lays out as half.
      {Rect(0, 0, 1008, 100), kV, 0.0, 8, {Rect(0, 0, 50, 100), Rect(58, 0, 950, 100), Rect(50, 0, 8, 100)}},
      {Rect(0, 0, 1008, 100), kV, 0.0515, 8, {Rect(0, 0, 51, 100), Rect(59, 0, 949, 100), Rect(51, 0, 8, 100)}},
      {Rect(0, 0, 1008, 100), kV, 0.96, 8, {Rect(0, 0, 950, 100), Rect(958, 0, 50, 100), Rect(950, 0, 8, 100)}},
      {Rect(0, 0, 1008, 100), kV, kNaN, 8, {Rect(0, 0, 500, 100), Rect(508, 0, 500, 100), Rect(500, 0, 8, 100)}},
      // Narrower than the gap, NaN or infinite sizes, unusable gaps: nothing negative, NaN or overlapping.
      {Rect(10, 0, 5, 50), kV, 0.5, 8, {Rect(10, 0, 0, 50), Rect(18, 0, 0, 50), Rect(10, 0, 8, 50)}},
      {Rect(0, 0, kNaN, kNaN), kH, 0.5, 8, {Rect(0, 8, 0, 0), Rect(0, 0, 0, 0), Rect(0, 0, 0, 8)}},
      {Rect(0, 0, 1000, 10), kV, 0.5, -8, {Rect(0, 0, 500, 10), Rect(500, 0, 500, 10), Rect(500, 0, 0, 10)}},
  };
  for (const auto& [rect, orientation, ratio, gap, expected] : cases) {
    EXPECT_EQ(splitFrames(rect, orientation, ratio, gap), expected) << rect << " " << ratio << " " << gap;
  }
  EXPECT_EQ(clampedLayoutRatio(std::nextafter(0.95, 1.0)), 0.95);
  // Hit areas grow across the strip, measured on its long side.
  EXPECT_EQ(hitFrame(Rect(496, 0, 8, 800), kV), Rect(492, 0, 16, 800));
  EXPECT_EQ(hitFrame(Rect(0, 0, 8, 15), kV), Rect(-4.5, 0, 17, 15));
  EXPECT_EQ(hitFrame(Rect(0, 0, 10, 8), kH), Rect(0, -7, 10, 22));
}

TEST(BentoGrid, LayoutTilesTheScreenExactly) {
  const auto single = layout(*build(iota(1)), Rect(0, 0, -50, kNaN), 8);
  ASSERT_EQ(single.leaves.size(), 1u);
  EXPECT_EQ(single.leaves[0].frame, Rect(-50, 0, 50, 0));

  const Rect screen(0, 25, 1920, 1055);
  for (int count : {64}) {
    const auto tree = *build(iota(count));
    const auto laidOut = layout(tree, screen, 8);
    double covered = 0;
    for (const auto& divider : laidOut.dividers) covered += divider.frame.area();
    for (std::size_t i = 0; i < laidOut.leaves.size(); ++i) {
      const Rect& frame = laidOut.leaves[i].frame;
      covered += frame.area();
      EXPECT_EQ(intersectionArea(frame, screen), frame.area());
      for (std::size_t j = i + 1; j < laidOut.leaves.size(); ++j) {
        ASSERT_EQ(intersectionArea(frame, laidOut.leaves[j].frame), 0) << i << " " << j;
      }
    }
    EXPECT_EQ(covered, screen.area()) << count;
  }
  const Rect r(0, 0, 1008, 800);
  const auto tree = replacingRatio(0.3, {}, letters("abc"));
  EXPECT_EQ(frameForNode({k2}, tree, r, 8), Rect(308, 0, 700, 800));
  EXPECT_EQ(frameForNode({k2, k2}, tree, r, 8), layout(tree, r, 8).leaves[2].frame);
  EXPECT_FALSE(frameForNode({k1, k1}, tree, r, 8).has_value());
}

// Where the divider lands for real pointers is told by the grid story on the simulated desktop.
TEST(BentoGrid, ADividerDraggedByAPointerThatIsNoNumberStaysPut) {
  const Rect wide(100, 0, 1008, 500);
  const std::vector<std::pair<Point, std::optional<double>>> cases = {
      {{600, 3}, 0.5}, {{-kInf, 0}, 0.12}, {{600, kNaN}, 0.5}, {{kNaN, 0}, std::nullopt}};
  for (const auto& [pointer, expected] : cases) {
    const auto ratio = ratioFromPointer(kV, wide, pointer, 8);
    ASSERT_EQ(ratio.has_value(), expected.has_value()) << pointer;
    if (ratio) { EXPECT_DOUBLE_EQ(*ratio, *expected) << pointer; }
  }
  EXPECT_FALSE(draggingDivider({}, {kNaN, 400}, letters("abc"), Rect(0, 0, 1008, 800), 8).has_value());
}

TEST(BentoGrid, TilesShowTheTrimmedTitleOrAppNameAndTheirSize) {
  const auto dims = [](double w, double h) { return BentoTilePresentation{"", 0, Rect(0, 0, w, h)}.dimensionText(); };
  EXPECT_EQ(dims(1280.6, 800.2), "1280 × 800");
  EXPECT_EQ(dims(kNaN, kInf), "0 × 0");

  const std::vector<std::pair<ManagedWindow, std::string>> titles = {
      {window(1, "  Notes — draft \n", "Notes"), "Notes — draft"}, {window(1, "   \n ", " \tEditor\r\n"), "Editor"},
      {window(1, "\u3000\u2029\u0085", "终端"), "终端"}};
  for (const auto& [w, title] : titles) EXPECT_EQ(tileTitle(w), title) << w.title;
  // Broken or overlong bytes are no whitespace, even where they would decode to a space.
  EXPECT_EQ(trimmingWhitespaceAndNewlines(" \xE3\x80 \xC0\xA0"), "\xE3\x80 \xC0\xA0");
  // A lead byte cut short by a space is one broken byte; the space after it is still trimmed.
  EXPECT_EQ(trimmingWhitespaceAndNewlines("x\xC3 \n"), "x\xC3");

  const Rect visible(0, 25, 1448, 875);
  auto tree = *build(std::vector<ManagedWindow>{window(1, "Mail", "Post", 10), window(2, "\n", "Browser", 11),
                                                window(3, "Shell", "Term", 12)});
  EXPECT_EQ(tilePresentations(replacingRatio(0.25, {}, tree), visible, 8),
            (std::vector<BentoTilePresentation>{{"Mail", 10, Rect(0, 25, 360, 875)},
                                                {"Browser", 11, Rect(368, 467, 1080, 433)},
                                                {"Shell", 12, Rect(368, 25, 1080, 434)}}));
}

}  // namespace
}  // namespace tessarapane
