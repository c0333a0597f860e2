#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "bento/BentoTreeOperations.h"
#include "unit/bento/BentoTestSupport.h"

namespace tessarapane {
namespace {

using BentoEngine::build;
constexpr auto kFirst = BentoChildSlot::first;
constexpr auto kSecond = BentoChildSlot::second;

BentoNode<char> letters(const std::string& text, int depth = 0) {
  return *build(std::vector<char>(text.begin(), text.end()), depth);
}

std::vector<int> iota(int count) {
  std::vector<int> values;
  for (int i = 0; i < count; ++i) values.push_back(i);
  return values;
}

int height(const BentoNode<int>& node) {
  const auto* split = node.asSplit();
  return split ? 1 + std::max(height(split->first()), height(split->second())) : 0;
}

TEST(BentoTree, BuildBalancesWithTheOddValueInTheSecondHalfAndAlternatesOrientation) {
  EXPECT_EQ(describe(letters("a")), "a");
  EXPECT_EQ(describe(letters("ab")), "V0.5(a,b)");
  EXPECT_EQ(describe(letters("abc")), "V0.5(a,H0.5(b,c))");
  EXPECT_EQ(describe(letters("abcd")), "V0.5(H0.5(a,b),H0.5(c,d))");
  EXPECT_EQ(describe(letters("abcde")), "V0.5(H0.5(a,b),H0.5(c,V0.5(d,e)))");
  EXPECT_EQ(describe(letters("abcdefg")), "V0.5(H0.5(a,V0.5(b,c)),H0.5(V0.5(d,e),V0.5(f,g)))");

  // The depth only picks the starting orientation; extreme depths neither
  // overflow nor lose their parity.
  EXPECT_EQ(describe(letters("abc", 1)), "H0.5(a,V0.5(b,c))");
  EXPECT_EQ(describe(letters("ab", -1)), "H0.5(a,b)");
  EXPECT_EQ(describe(letters("abc", INT_MAX)), "H0.5(a,V0.5(b,c))");
  EXPECT_EQ(describe(letters("ab", INT_MIN)), "V0.5(a,b)");

  EXPECT_FALSE(build(std::vector<int>{}).has_value());
}

TEST(BentoTree, LeafOrderSurvivesBuildingForEveryCountAndTheTreeStaysShallow) {
  for (int count = 1; count <= 70; ++count) {
    const auto tree = *build(iota(count));
    ASSERT_EQ(BentoEngine::leafValues(tree), iota(count)) << count;
    EXPECT_EQ(height(tree), static_cast<int>(std::ceil(std::log2(count)))) << count;
  }
  const auto big = *build(iota(1000));
  EXPECT_EQ(BentoEngine::leafValues(big), iota(1000));
  EXPECT_EQ(height(big), 10);
}

TEST(BentoTree, MapLeavesKeepsShapeAndEveryRatioAndVisitsInLeafOrder) {
  auto tree = letters("abc");
  tree = BentoEngine::replacingRatio(1.7, {}, tree);
  tree = BentoEngine::replacingRatio(-0.2, {kSecond}, tree);
  std::string visited;
  const auto mapped = BentoEngine::mapLeaves(tree, [&](char c) {
    visited += c;
    return std::string(2, static_cast<char>(c - 'a' + 'A'));
  });
  EXPECT_EQ(visited, "abc");
  EXPECT_EQ(describe(mapped), "V1.7(AA,H-0.2(BB,CC))");
  EXPECT_EQ(describe(BentoEngine::mapLeaves(letters("x"), [](char) { return 7; })), "7");
}

TEST(BentoTree, NodeAtWalksSlotsAndFailsWhenAPathOutrunsItsBranch) {
  const auto tree = letters("abc");
  EXPECT_EQ(BentoEngine::nodeAt({}, tree), tree);
  EXPECT_EQ(describe(*BentoEngine::nodeAt({kSecond}, tree)), "H0.5(b,c)");
  EXPECT_EQ(describe(*BentoEngine::nodeAt({kSecond, kFirst}, tree)), "b");
  EXPECT_EQ(describe(*BentoEngine::nodeAt({kSecond, kSecond}, tree)), "c");
  EXPECT_FALSE(BentoEngine::nodeAt({kFirst, kFirst}, tree).has_value());
  EXPECT_FALSE(BentoEngine::nodeAt({kSecond, kSecond, kFirst}, tree).has_value());
  EXPECT_FALSE(BentoEngine::nodeAt({kFirst}, letters("a")).has_value());
}

TEST(BentoTree, ReplacingRatioEditsOnlyTheNamedSplitAndSharesTheRest) {
  const auto tree = letters("abcd");
  const auto atRoot = BentoEngine::replacingRatio(0.3, {}, tree);
  EXPECT_EQ(describe(atRoot), "V0.3(H0.5(a,b),H0.5(c,d))");
  EXPECT_EQ(atRoot.asSplit()->firstNode, tree.asSplit()->firstNode);

  const auto nested = BentoEngine::replacingRatio(0.8, {kSecond}, tree);
  EXPECT_EQ(describe(nested), "V0.5(H0.5(a,b),H0.8(c,d))");
  EXPECT_EQ(nested.asSplit()->firstNode, tree.asSplit()->firstNode);
  EXPECT_EQ(describe(tree), "V0.5(H0.5(a,b),H0.5(c,d))");  // the input is untouched

  // Stale paths: ending on a leaf, passing through one, far too long.
  for (const BentoPath& path : {BentoPath{kFirst, kSecond}, BentoPath{kFirst, kSecond, kFirst},
                                BentoPath(40, kFirst)}) {
    EXPECT_EQ(BentoEngine::replacingRatio(0.9, path, tree), tree);
  }
  EXPECT_EQ(BentoEngine::replacingRatio(0.9, {}, letters("a")), letters("a"));

  // Stored as given, even outside the layout range.
  EXPECT_EQ(BentoEngine::replacingRatio(7.0, {}, tree).asSplit()->ratio, 7.0);
  EXPECT_TRUE(std::isnan(
      BentoEngine::replacingRatio(std::numeric_limits<double>::quiet_NaN(), {}, tree).asSplit()->ratio));
}

TEST(BentoTree, EqualityComparesShapeRatiosOrientationsAndWindowIdentity) {
  const auto tree = letters("abc");
  EXPECT_NE(tree, letters("abd"));
  EXPECT_NE(tree, letters("abc", 1));
  EXPECT_NE(tree, BentoEngine::replacingRatio(0.5000001, {kSecond}, tree));
  EXPECT_NE(letters("a"), letters("ab"));
  EXPECT_NE(letters("ab"), letters("a"));

  // Windows are the same window by identifier alone; titles are snapshots.
  const auto windows = *build(std::vector<ManagedWindow>{makeWindow(1, "old"), makeWindow(2)});
  EXPECT_EQ(windows, *build(std::vector<ManagedWindow>{makeWindow(1, "new"), makeWindow(2, "x")}));
  EXPECT_NE(windows, *build(std::vector<ManagedWindow>{makeWindow(1), makeWindow(3)}));
}

TEST(BentoTree, AddingAndRemovingRebuildInLeafOrderWithFreshRatios) {
  const auto dragged = BentoEngine::replacingRatio(0.2, {kSecond}, BentoEngine::replacingRatio(0.9, {}, letters("abc")));
  EXPECT_EQ(describe(BentoEngine::appendingLeaf(dragged, 'd')), "V0.5(H0.5(a,b),H0.5(c,d))");

  const auto withoutB = BentoEngine::keepingLeaves(dragged, [](char c) { return c != 'b'; });
  ASSERT_TRUE(withoutB.has_value());
  EXPECT_EQ(describe(*withoutB), "V0.5(a,c)");
  EXPECT_EQ(describe(*BentoEngine::keepingLeaves(dragged, [](char c) { return c == 'c'; })), "c");
  EXPECT_FALSE(BentoEngine::keepingLeaves(dragged, [](char) { return false; }).has_value());
}

}  // namespace
}  // namespace tessarapane
