// The grid's rules where the stories on the simulated desktop do not reach: the handles' hit areas, a pointer
// that is no number, and what each tile shows in the preview for hostile titles. (How the tree tiles a screen is
// the grid stories'.)
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "bento/BentoEngine.h"
#include "bento/BentoTilePresentation.h"
#include "bento/BentoTreeOperations.h"
#include "bento/WhitespaceTrim.h"

namespace tessarapane {

namespace {

using namespace BentoEngine;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr auto kV = BentoSplitOrientation::vertical;
constexpr auto kH = BentoSplitOrientation::horizontal;

BentoNode<char> letters(const std::string& text, int depth = 0) {
  return *build(std::vector<char>(text.begin(), text.end()), depth);
}
ManagedWindow window(WindowID id, std::string title, std::string appName, ProcessID pid = 0) {
  ManagedWindow w;
  w.windowID = id;
  w.ownerPID = pid;
  w.title = std::move(title);
  w.appName = std::move(appName);
  return w;
}

// Where the divider lands for real pointers is told by the grid story on the simulated desktop; here, where a
// handle takes the pointer, and a pointer that is no number.
TEST(BentoGrid, HandlesTakeThePointerAcrossTheirStripAndOneThatIsNoNumberLeavesTheDividerPut) {
  // Hit areas grow across the strip, measured on its long side.
  EXPECT_EQ(hitFrame(Rect(496, 0, 8, 800), kV), Rect(492, 0, 16, 800));
  EXPECT_EQ(hitFrame(Rect(0, 0, 8, 15), kV), Rect(-4.5, 0, 17, 15));
  EXPECT_EQ(hitFrame(Rect(0, 0, 10, 8), kH), Rect(0, -7, 10, 22));
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
