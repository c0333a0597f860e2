#include "chrome/LayoutKindIcon.h"

#include <algorithm>
#include <cmath>

namespace tessarapane::LayoutKindIcon {

namespace {

constexpr double kPlateInset = 0.5;
constexpr double kPlateRadius = 3.0;
constexpr double kInnerInset = 1.5;
constexpr double kPaneRadius = 2.0;
constexpr double kBentoLeftSplit = 0.38;
constexpr double kBentoRightSplit = 0.62;
constexpr double kStatusBarInsetX = 1.5;
constexpr double kStatusBarInsetY = 3.0;
constexpr double kStatusBarRadius = 2.5;
constexpr double kStatusBarLineWidth = 1.4;
constexpr Color kBlack{0.0, 0.0, 0.0, 1.0};

Rect inset(const Rect& r, double dx, double dy) {
  return Rect(r.minX() + dx, r.minY() + dy, r.width() - 2.0 * dx, r.height() - 2.0 * dy);
}

// Builds (x, y, width, height) with any negative size pulled up to 0.
Rect clampedRect(double x, double y, double width, double height) {
  return Rect(x, y, std::max(width, 0.0), std::max(height, 0.0));
}

RoundedRect filledPane(const Rect& r) { return RoundedRect{r, kPaneRadius, paneColor(), true, 0.0}; }

RoundedRect plate(const Rect& r) {
  return RoundedRect{inset(r, kPlateInset, kPlateInset), kPlateRadius, plateColor(), true, 0.0};
}

Rect innerArea(const Rect& r) { return inset(inset(r, kPlateInset, kPlateInset), kInnerInset, kInnerInset); }

}  // namespace

Color plateColor() { return Color{0.22, 0.22, 0.22, 1.0}; }
Color paneColor() { return Color{0.29, 0.56, 0.98, 1.0}; }

std::vector<Rect> paneRects(LayoutKind kind, const Rect& rect, double gap) {
  const Rect r = rect.standardized();
  const double x0 = r.minX(), y0 = r.minY(), x1 = r.maxX(), y1 = r.maxY();
  const double w = r.width(), h = r.height(), g = gap;

  const double lw = std::floor((w - g) * 0.5);
  const double rx = x0 + lw + g;
  const double rw = x1 - rx;
  const double lh = std::floor((h - g) * 0.5);
  const double uy = y0 + lh + g;
  const double uh = y1 - uy;
  const double c = std::floor((w - 2.0 * g) / 3.0);
  const double thirdX = x0 + 2.0 * c + 2.0 * g;

  switch (kind) {
    case LayoutKind::fullScreen:
      return {r};
    case LayoutKind::split2:
      return {clampedRect(x0, y0, lw, h), clampedRect(rx, y0, rw, h)};
    case LayoutKind::split3:
      return {clampedRect(x0, y0, c, h), clampedRect(x0 + c + g, y0, c, h), clampedRect(thirdX, y0, x1 - thirdX, h)};
    case LayoutKind::topBottom:
      return {clampedRect(x0, uy, w, uh), clampedRect(x0, y0, w, lh)};
    case LayoutKind::focusStack:
      return {clampedRect(x0, y0, lw, h), clampedRect(rx, uy, rw, uh), clampedRect(rx, y0, rw, lh)};
    case LayoutKind::stackFocus:
      return {clampedRect(x0, uy, lw, uh), clampedRect(x0, y0, lw, lh), clampedRect(rx, y0, rw, h)};
    case LayoutKind::split4:
      return {clampedRect(x0, uy, lw, uh), clampedRect(rx, uy, rw, uh), clampedRect(x0, y0, lw, lh),
              clampedRect(rx, y0, rw, lh)};
  }
  return {};
}

std::vector<Shape> draw(LayoutKind kind, const Rect& rect) {
  std::vector<Shape> shapes{plate(rect)};
  for (const Rect& pane : paneRects(kind, innerArea(rect), kPaneGap)) shapes.emplace_back(filledPane(pane));
  return shapes;
}

Image image(LayoutKind kind) {
  return Image{kMiniatureSize, false, draw(kind, Rect(Point{}, kMiniatureSize))};
}

Image bentoImage() {
  const Rect bounds(Point{}, kMiniatureSize);
  const Rect inner = innerArea(bounds);
  const double x0 = inner.minX(), y0 = inner.minY(), x1 = inner.maxX(), y1 = inner.maxY();
  const double w = inner.width(), h = inner.height(), g = kPaneGap;

  // The two columns are cut at different heights, which is what reads as "grid".
  const double sx = x0 + std::floor((w - g) * 0.5);
  const double ay = y0 + std::floor(h * kBentoLeftSplit);
  const double by = y0 + std::floor(h * kBentoRightSplit);

  return Image{kMiniatureSize,
               false,
               {plate(bounds), filledPane(Rect(x0, ay + g, sx - x0, y1 - ay - g)),
                filledPane(Rect(x0, y0, sx - x0, ay - y0)), filledPane(Rect(sx + g, by + g, x1 - sx - g, y1 - by - g)),
                filledPane(Rect(sx + g, y0, x1 - sx - g, by - y0))}};
}

Image statusBarImage() {
  const Rect frame = inset(Rect(Point{}, kStatusBarSize), kStatusBarInsetX, kStatusBarInsetY);
  const RoundedRect outline{frame, kStatusBarRadius, kBlack, false, kStatusBarLineWidth};
  const Line divider{Point{frame.midX(), frame.minY() + kStatusBarLineWidth},
                     Point{frame.midX(), frame.maxY() - kStatusBarLineWidth}, kBlack, kStatusBarLineWidth};
  return Image{kStatusBarSize, true, {outline, divider}};
}

}  // namespace tessarapane::LayoutKindIcon
