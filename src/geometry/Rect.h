#pragma once

#include <iosfwd>

#include "geometry/Point.h"
#include "geometry/Size.h"

namespace tessarapane {

// A rectangle as origin plus size, in points. It follows the window system's
// rectangle rules the layout code relies on:
//  - a negative width or height describes the same area as its standardized form;
//  - the intersection of disjoint rectangles is the null rectangle (touching
//    edges give a zero-sized, non-null result);
//  - contains() excludes points on the maximum-x and maximum-y edges;
//  - any NaN makes comparisons fail, so a NaN rectangle intersects nothing,
//    contains nothing and never equals anything.
struct Rect {
  Point origin;
  Size size;

  constexpr Rect() = default;
  constexpr Rect(double x, double y, double width, double height) : origin{x, y}, size{width, height} {}
  constexpr Rect(Point o, Size s) : origin(o), size(s) {}

  // The null rectangle: what an empty intersection yields.
  static Rect null();
  // The infinite rectangle: contains every finite point.
  static Rect infinite();

  double x() const { return origin.x; }
  double y() const { return origin.y; }
  double width() const { return size.width; }
  double height() const { return size.height; }

  double minX() const;
  double midX() const;
  double maxX() const;
  double minY() const;
  double midY() const;
  double maxY() const;

  bool isNull() const;
  bool isInfinite() const;
  bool hasNaN() const;
  // Zero or negative-free area: width or height is 0, or the rectangle is null.
  bool isEmpty() const;

  // Width times height as stored (callers decide how to treat negatives).
  double area() const { return size.width * size.height; }

  // The same area with non-negative width and height.
  Rect standardized() const;
  Rect intersection(const Rect& other) const;
  Rect unionWith(const Rect& other) const;
  bool intersects(const Rect& other) const;
  // False for a null rectangle, a NaN anywhere, and points on the max edges.
  bool contains(Point p) const;

  friend bool operator==(const Rect&, const Rect&) = default;
};

// Area of the intersection of two rectangles; 0 when the intersection is null
// or infinite.
double intersectionArea(const Rect& a, const Rect& b);

std::ostream& operator<<(std::ostream& out, const Rect& r);
std::ostream& operator<<(std::ostream& out, const Point& p);
std::ostream& operator<<(std::ostream& out, const Size& s);

}  // namespace tessarapane
