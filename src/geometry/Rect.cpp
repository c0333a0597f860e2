#include "geometry/Rect.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>

namespace tessarapane {

namespace {
constexpr double kInfinity = std::numeric_limits<double>::infinity();
// The platform's infinite rectangle: half the largest double on each side.
constexpr double kInfiniteSize = std::numeric_limits<double>::max();
constexpr double kInfiniteOrigin = -kInfiniteSize / 2;
}  // namespace

Rect Rect::null() { return Rect(kInfinity, kInfinity, 0.0, 0.0); }

Rect Rect::infinite() { return Rect(kInfiniteOrigin, kInfiniteOrigin, kInfiniteSize, kInfiniteSize); }

double Rect::minX() const { return size.width < 0 ? origin.x + size.width : origin.x; }
double Rect::maxX() const { return size.width < 0 ? origin.x : origin.x + size.width; }
double Rect::midX() const { return origin.x + size.width * 0.5; }
double Rect::minY() const { return size.height < 0 ? origin.y + size.height : origin.y; }
double Rect::maxY() const { return size.height < 0 ? origin.y : origin.y + size.height; }
double Rect::midY() const { return origin.y + size.height * 0.5; }

bool Rect::isNull() const {
  return (std::isinf(origin.x) && origin.x > 0) || (std::isinf(origin.y) && origin.y > 0);
}

bool Rect::hasNaN() const {
  return std::isnan(origin.x) || std::isnan(origin.y) || std::isnan(size.width) || std::isnan(size.height);
}

bool Rect::isInfinite() const {
  return origin.x == kInfiniteOrigin && origin.y == kInfiniteOrigin && size.width == kInfiniteSize &&
         size.height == kInfiniteSize;
}

bool Rect::isEmpty() const { return isNull() || size.width == 0.0 || size.height == 0.0; }

Rect Rect::standardized() const {
  if (isNull()) return *this;
  return Rect(minX(), minY(), std::abs(size.width), std::abs(size.height));
}

Rect Rect::intersection(const Rect& other) const {
  if (isNull() || other.isNull() || hasNaN() || other.hasNaN()) return null();
  if (isInfinite()) return other.standardized();
  if (other.isInfinite()) return standardized();
  const double left = std::max(minX(), other.minX());
  const double right = std::min(maxX(), other.maxX());
  const double bottom = std::max(minY(), other.minY());
  const double top = std::min(maxY(), other.maxY());
  if (left > right || bottom > top) return null();
  return Rect(left, bottom, right - left, top - bottom);
}

Rect Rect::unionWith(const Rect& other) const {
  if (isNull()) return other.standardized();
  if (other.isNull()) return standardized();
  if (isInfinite() || other.isInfinite()) return infinite();
  const double left = std::min(minX(), other.minX());
  const double right = std::max(maxX(), other.maxX());
  const double bottom = std::min(minY(), other.minY());
  const double top = std::max(maxY(), other.maxY());
  return Rect(left, bottom, right - left, top - bottom);
}

bool Rect::intersects(const Rect& other) const {
  const Rect i = intersection(other);
  return !i.isNull() && i.width() > 0.0 && i.height() > 0.0;
}

bool Rect::contains(Point p) const {
  if (isNull() || hasNaN()) return false;
  return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
}

double intersectionArea(const Rect& a, const Rect& b) {
  const Rect i = a.intersection(b);
  if (i.isNull() || i.isInfinite()) return 0.0;
  return i.area();
}

std::ostream& operator<<(std::ostream& out, const Rect& r) {
  return out << "(" << r.x() << ", " << r.y() << ", " << r.width() << ", " << r.height() << ")";
}

std::ostream& operator<<(std::ostream& out, const Point& p) { return out << "(" << p.x << ", " << p.y << ")"; }

std::ostream& operator<<(std::ostream& out, const Size& s) { return out << "(" << s.width << " x " << s.height << ")"; }

}  // namespace tessarapane
