#include "chrome/LayoutKindIcon.h"

#include <gtest/gtest.h>

namespace tessarapane {
namespace {

using LayoutKindIcon::Line;
using LayoutKindIcon::RoundedRect;
using Rects = std::vector<Rect>;

TEST(LayoutKindIcon, PaneRectsFloorTheLeftAndLowerParts) {
  const Rect r(2, 3, 19, 13);  // X0 2, Y0 3, X1 21, Y1 16
  const double g = 1.5;
  // Lw = floor(17.5 / 2) = 8, Rx = 11.5, Rw = 9.5; Lh = floor(11.5 / 2) = 5, Uy = 9.5, Uh = 6.5.
  EXPECT_EQ(LayoutKindIcon::paneRects(LayoutKind::fullScreen, r, g), Rects{r});
  EXPECT_EQ(LayoutKindIcon::paneRects(LayoutKind::split2, r, g), (Rects{Rect(2, 3, 8, 13), Rect(11.5, 3, 9.5, 13)}));
  // C = floor(16 / 3) = 5; the last column takes 19 - 10 - 3 = 6.
  EXPECT_EQ(LayoutKindIcon::paneRects(LayoutKind::split3, r, g),
            (Rects{Rect(2, 3, 5, 13), Rect(8.5, 3, 5, 13), Rect(15, 3, 6, 13)}));
  EXPECT_EQ(LayoutKindIcon::paneRects(LayoutKind::topBottom, r, g),
            (Rects{Rect(2, 9.5, 19, 6.5), Rect(2, 3, 19, 5)}));
  EXPECT_EQ(LayoutKindIcon::paneRects(LayoutKind::focusStack, r, g),
            (Rects{Rect(2, 3, 8, 13), Rect(11.5, 9.5, 9.5, 6.5), Rect(11.5, 3, 9.5, 5)}));
  EXPECT_EQ(LayoutKindIcon::paneRects(LayoutKind::stackFocus, r, g),
            (Rects{Rect(2, 9.5, 8, 6.5), Rect(2, 3, 8, 5), Rect(11.5, 3, 9.5, 13)}));
  EXPECT_EQ(LayoutKindIcon::paneRects(LayoutKind::split4, r, g),
            (Rects{Rect(2, 9.5, 8, 6.5), Rect(11.5, 9.5, 9.5, 6.5), Rect(2, 3, 8, 5), Rect(11.5, 3, 9.5, 5)}));
}

TEST(LayoutKindIcon, PanesMatchTheKindStayInsideAndNeverOverlap) {
  for (const Rect& r : {Rect(2, 2, 18, 12), Rect(0, 0, 1, 1), Rect(5, 5, 0, 0)}) {
    for (LayoutKind kind : kAllLayoutKinds) {
      const Rects panes = LayoutKindIcon::paneRects(kind, r, 1.5);
      ASSERT_EQ(static_cast<int>(panes.size()), paneCount(kind)) << rawValue(kind);
      for (std::size_t i = 0; i < panes.size(); ++i) {
        // A rectangle too small for its gaps still gives no negative sizes.
        EXPECT_GE(panes[i].width(), 0) << rawValue(kind) << " " << r;
        EXPECT_GE(panes[i].height(), 0) << rawValue(kind) << " " << r;
        if (r.width() >= 4) {
          EXPECT_EQ(panes[i].unionWith(r), r) << rawValue(kind) << " pane " << i;
        }
        for (std::size_t j = i + 1; j < panes.size(); ++j) {
          EXPECT_FALSE(panes[i].intersects(panes[j])) << rawValue(kind) << " " << i << "/" << j;
        }
      }
    }
  }
}

TEST(LayoutKindIcon, KindMiniatureIsAPlateThenItsPanes) {
  for (LayoutKind kind : kAllLayoutKinds) {
    const auto image = LayoutKindIcon::image(kind);
    EXPECT_EQ(image.size, (Size{22, 16}));
    EXPECT_FALSE(image.isTemplate);
    ASSERT_EQ(image.shapes.size(), static_cast<std::size_t>(paneCount(kind) + 1));
    EXPECT_EQ(std::get<RoundedRect>(image.shapes[0]),
              (RoundedRect{Rect(0.5, 0.5, 21, 15), 3, LayoutKindIcon::plateColor(), true, 0}));
    const Rects panes = LayoutKindIcon::paneRects(kind, Rect(2, 2, 18, 12), 1.5);
    for (std::size_t i = 0; i < panes.size(); ++i) {
      EXPECT_EQ(std::get<RoundedRect>(image.shapes[i + 1]),
                (RoundedRect{panes[i], 2, LayoutKindIcon::paneColor(), true, 0}));
    }
  }
}

TEST(LayoutKindIcon, GridMiniatureCutsItsColumnsAtDifferentHeights) {
  const auto image = LayoutKindIcon::bentoImage();
  ASSERT_EQ(image.shapes.size(), 5u);
  EXPECT_EQ(std::get<RoundedRect>(image.shapes[0]).rect, Rect(0.5, 0.5, 21, 15));
  // Inner (2, 2)–(20, 14): Sx = 2 + floor(16.5 / 2) = 10, Ay = 2 + floor(4.56) = 6, By = 2 + floor(7.44) = 9.
  const Rects expected{Rect(2, 7.5, 8, 6.5), Rect(2, 2, 8, 4), Rect(11.5, 10.5, 8.5, 3.5), Rect(11.5, 2, 8.5, 7)};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(std::get<RoundedRect>(image.shapes[i + 1]),
              (RoundedRect{expected[i], 2, LayoutKindIcon::paneColor(), true, 0}));
  }
}

TEST(LayoutKindIcon, MenuBarIconIsAStrokedTemplateFrameWithADivider) {
  const auto image = LayoutKindIcon::statusBarImage();
  EXPECT_EQ(image.size, (Size{18, 18}));
  EXPECT_TRUE(image.isTemplate);
  ASSERT_EQ(image.shapes.size(), 2u);
  const LayoutKindIcon::Color black{0, 0, 0, 1};
  EXPECT_EQ(std::get<RoundedRect>(image.shapes[0]), (RoundedRect{Rect(1.5, 3, 15, 12), 2.5, black, false, 1.4}));
  const auto& divider = std::get<Line>(image.shapes[1]);
  EXPECT_EQ(divider.from.x, 9);
  EXPECT_EQ(divider.to.x, 9);
  EXPECT_DOUBLE_EQ(divider.from.y, 4.4);
  EXPECT_DOUBLE_EQ(divider.to.y, 13.6);
  EXPECT_EQ(divider.lineWidth, 1.4);
  EXPECT_EQ(divider.color, black);
}

}  // namespace
}  // namespace tessarapane
