// Rectangles with the platform's rules: negative sizes describe the same area, a null rectangle intersects
// nothing, the infinite one contains everything, a NaN coordinate matches nothing, max edges are outside.
#include "geometry/Rect.h"

#include <gtest/gtest.h>

#include <limits>

namespace tessarapane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(Rect, EdgesIntersectionsUnionsAndContainment) {
  const Rect r(10, 20, 100, 50), flipped(110, 70, -100, -50);
  EXPECT_EQ(std::vector({r.minX(), r.midX(), r.maxX(), r.minY(), r.midY(), r.maxY()}),
            std::vector<double>({10, 60, 110, 20, 45, 70}));
  EXPECT_EQ(std::vector({flipped.minX(), flipped.maxX(), flipped.minY(), flipped.maxY()}),
            std::vector<double>({10, 110, 20, 70}));
  EXPECT_EQ(flipped.standardized(), r);

  const Rect a(0, 0, 100, 100);
  const std::vector<std::pair<Rect, Rect>> intersections = {
      {Rect(50, 60, 100, 100), Rect(50, 60, 50, 40)},     {Rect(150, 150, -100, -100), Rect(50, 50, 50, 50)},
      {Rect(100, 0, 50, 100), Rect(100, 0, 0, 100)},       // a shared edge: not null, no area
      {Rect(100.5, 0, 50, 100), Rect::null()},             {Rect::null(), Rect::null()},
      {Rect(kNaN, 0, 10, 10), Rect::null()},               {Rect(0, 0, kNaN, 10), Rect::null()},
      {Rect::infinite(), a}};
  for (const auto& [other, expected] : intersections) {
    const Rect both = a.intersection(other), reversed = other.intersection(a);
    EXPECT_TRUE(both == expected || (both.isNull() && expected.isNull())) << other << " gives " << both;
    EXPECT_TRUE(reversed == expected || (reversed.isNull() && expected.isNull())) << other << " gives " << reversed;
  }
  EXPECT_DOUBLE_EQ(intersectionArea(a, Rect(50, 60, 100, 100)), 2000);
  for (const Rect& other : {Rect(100, 0, 50, 100), Rect(kNaN, 0, 10, 10), Rect(300, 300, 10, 10)}) {
    EXPECT_EQ(intersectionArea(a, other), 0) << other;
    EXPECT_FALSE(a.intersects(other)) << other;
  }
  EXPECT_EQ(intersectionArea(Rect::infinite(), Rect::infinite()), 0);  // infinite counts no area

  EXPECT_EQ(a.unionWith(Rect(120, -5, -10, 5)), Rect(0, -5, 120, 105));
  EXPECT_EQ(a.unionWith(Rect::null()), a);
  EXPECT_TRUE(a.unionWith(Rect::infinite()).isInfinite());

  const Rect c(0, 0, 100, 50);
  for (const Point p : {Point{0, 0}, Point{99.999, 49.999}}) EXPECT_TRUE(c.contains(p)) << p;
  for (const Point p : {Point{100, 10}, Point{10, 50}, Point{-0.001, 10}, Point{kNaN, 5}}) EXPECT_FALSE(c.contains(p)) << p;
  EXPECT_FALSE(Rect(kNaN, 0, 10, 10).contains({5, 5}));
  EXPECT_FALSE(Rect::null().contains({0, 0}));
  EXPECT_TRUE(Rect::infinite().contains({1e300, -1e300}));

  EXPECT_TRUE(Rect::null().isNull() && Rect::null().isEmpty() && Rect::infinite().isInfinite());
  EXPECT_FALSE(Rect::infinite().isNull() || Rect(0, 0, 1, 1).isInfinite() || Rect(0, 0, 1, 1).isEmpty());
}

}  // namespace
}  // namespace tessarapane
