#include "geometry/Rect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tessarapane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(Rect, AccessorsOfStandardAndNegativeSizes) {
  const Rect r(10, 20, 100, 50);
  EXPECT_EQ(r.minX(), 10);
  EXPECT_EQ(r.midX(), 60);
  EXPECT_EQ(r.maxX(), 110);
  EXPECT_EQ(r.minY(), 20);
  EXPECT_EQ(r.midY(), 45);
  EXPECT_EQ(r.maxY(), 70);

  const Rect flipped(110, 70, -100, -50);
  EXPECT_EQ(flipped.minX(), 10);
  EXPECT_EQ(flipped.maxX(), 110);
  EXPECT_EQ(flipped.minY(), 20);
  EXPECT_EQ(flipped.maxY(), 70);
  EXPECT_EQ(flipped.standardized(), r);
}

TEST(Rect, IntersectionOfOverlappingTouchingAndDisjointRectangles) {
  const Rect a(0, 0, 100, 100);
  EXPECT_EQ(a.intersection(Rect(50, 60, 100, 100)), Rect(50, 60, 50, 40));
  EXPECT_DOUBLE_EQ(intersectionArea(a, Rect(50, 60, 100, 100)), 2000);

  // Shared edge: a zero-width intersection that is not null and has no area.
  const Rect touching = a.intersection(Rect(100, 0, 50, 100));
  EXPECT_FALSE(touching.isNull());
  EXPECT_EQ(touching, Rect(100, 0, 0, 100));
  EXPECT_FALSE(a.intersects(Rect(100, 0, 50, 100)));
  EXPECT_EQ(intersectionArea(a, Rect(100, 0, 50, 100)), 0);

  EXPECT_TRUE(a.intersection(Rect(100.5, 0, 50, 100)).isNull());
  EXPECT_EQ(intersectionArea(a, Rect(300, 300, 10, 10)), 0);
  // Negative sizes are standardized before intersecting.
  EXPECT_EQ(a.intersection(Rect(150, 150, -100, -100)), Rect(50, 50, 50, 50));
}

TEST(Rect, NullAndInfiniteRectangles) {
  EXPECT_TRUE(Rect::null().isNull());
  EXPECT_TRUE(Rect::null().isEmpty());
  EXPECT_FALSE(Rect::infinite().isNull());
  EXPECT_TRUE(Rect::infinite().isInfinite());
  EXPECT_FALSE(Rect(0, 0, 1, 1).isInfinite());

  const Rect a(5, 5, 10, 10);
  EXPECT_TRUE(a.intersection(Rect::null()).isNull());
  EXPECT_EQ(Rect::infinite().intersection(a), a);
  EXPECT_EQ(a.intersection(Rect::infinite()), a);
  // An infinite intersection counts no area.
  EXPECT_EQ(intersectionArea(Rect::infinite(), Rect::infinite()), 0);
  EXPECT_TRUE(Rect::infinite().contains({1e300, -1e300}));
  EXPECT_FALSE(Rect::null().contains({0, 0}));
}

TEST(Rect, UnionCoversBothAndIgnoresNull) {
  const Rect a(0, 0, 10, 10);
  const Rect b(20, -5, 5, 5);
  EXPECT_EQ(a.unionWith(b), Rect(0, -5, 25, 15));
  EXPECT_EQ(a.unionWith(Rect::null()), a);
  EXPECT_EQ(Rect::null().unionWith(b), b);
  EXPECT_TRUE(a.unionWith(Rect::infinite()).isInfinite());
}

TEST(Rect, ContainsExcludesMaximumEdges) {
  const Rect r(0, 0, 100, 50);
  EXPECT_TRUE(r.contains({0, 0}));
  EXPECT_TRUE(r.contains({99.999, 49.999}));
  EXPECT_FALSE(r.contains({100, 10}));
  EXPECT_FALSE(r.contains({10, 50}));
  EXPECT_FALSE(r.contains({-0.001, 10}));
  EXPECT_FALSE(Rect(0, 0, 0, 10).contains({0, 5}));
}

TEST(Rect, NaNNeverMatches) {
  const Rect nanRect(kNaN, 0, 10, 10);
  EXPECT_FALSE(nanRect == nanRect);
  EXPECT_TRUE(nanRect.intersection(Rect(0, 0, 100, 100)).isNull());
  EXPECT_TRUE(Rect(0, 0, 100, 100).intersection(Rect(0, 0, kNaN, 10)).isNull());
  EXPECT_EQ(intersectionArea(nanRect, Rect(0, 0, 100, 100)), 0);
  EXPECT_FALSE(Rect(0, 0, 100, 100).contains({kNaN, 5}));
  EXPECT_FALSE(nanRect.contains({5, 5}));
}

TEST(Rect, EmptinessAndArea) {
  EXPECT_TRUE(Rect(0, 0, 0, 10).isEmpty());
  EXPECT_TRUE(Rect(0, 0, 10, 0).isEmpty());
  EXPECT_FALSE(Rect(0, 0, 1, 1).isEmpty());
  EXPECT_EQ(Rect(0, 0, 4, 2.5).area(), 10);
}

}  // namespace
}  // namespace tessarapane
