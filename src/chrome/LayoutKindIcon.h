#pragma once

#include <variant>
#include <vector>

#include "geometry/Rect.h"
#include "layout/LayoutKind.h"

namespace tessarapane {

// The status menu's pictures as drawing-free data: the miniature of each
// layout kind, the grid miniature and the monochrome menu-bar icon. The ui
// layer paints the shapes in list order, unflipped (origin bottom-left, y up),
// at whatever scale the screen needs.
namespace LayoutKindIcon {

struct Color {
  double red = 0.0;
  double green = 0.0;
  double blue = 0.0;
  double alpha = 1.0;

  friend bool operator==(const Color&, const Color&) = default;
};

// A rounded rectangle, filled or stroked.
struct RoundedRect {
  Rect rect;
  double cornerRadius = 0.0;
  Color color;
  bool filled = true;        // false: stroked with lineWidth
  double lineWidth = 0.0;

  friend bool operator==(const RoundedRect&, const RoundedRect&) = default;
};

// A stroked straight line.
struct Line {
  Point from;
  Point to;
  Color color;
  double lineWidth = 0.0;

  friend bool operator==(const Line&, const Line&) = default;
};

using Shape = std::variant<RoundedRect, Line>;

struct Image {
  Size size;
  bool isTemplate = false;  // tinted by the menu bar for light and dark appearance
  std::vector<Shape> shapes;

  friend bool operator==(const Image&, const Image&) = default;
};

inline constexpr Size kMiniatureSize{22.0, 16.0};
inline constexpr Size kStatusBarSize{18.0, 18.0};
inline constexpr double kPaneGap = 1.5;

Color plateColor();
Color paneColor();

// The pane rectangles of a kind inside `rect`, separated by `gap`, in pane
// order. Left and lower parts get whole-point sizes; right and upper parts
// take what remains. Sizes never go negative, so a rectangle too small for
// its gaps yields empty panes rather than panes outside it.
std::vector<Rect> paneRects(LayoutKind kind, const Rect& rect, double gap);

// The miniature of a kind drawn into `rect`: the plate, then the panes.
std::vector<Shape> draw(LayoutKind kind, const Rect& rect);

Image image(LayoutKind kind);
Image bentoImage();
Image statusBarImage();

}  // namespace LayoutKindIcon

}  // namespace tessarapane
