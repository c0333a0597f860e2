#include "bento/BentoTilePresentation.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "bento/BentoTreeOperations.h"
#include "bento/WhitespaceTrim.h"
#include "unit/bento/BentoTestSupport.h"

namespace tessarapane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::string dimensions(double width, double height) {
  return BentoTilePresentation{"", 0, Rect(0, 0, width, height)}.dimensionText();
}

TEST(BentoTilePresentation, DimensionTextDropsFractionsAndJoinsWithTheMultiplicationSign) {
  EXPECT_EQ(dimensions(1280.6, 800.2), "1280 × 800");
  EXPECT_EQ(dimensions(0.9, 0.9), "0 × 0");
  EXPECT_EQ(dimensions(1919.9999, 1), "1919 × 1");
  EXPECT_EQ(dimensions(-0.5, -7.9), "0 × -7");
  EXPECT_EQ(dimensions(1e15 + 0.5, 3), "1000000000000000 × 3");
  // Never produced by a layout, but must not fail.
  EXPECT_EQ(dimensions(kNaN, kInf), "0 × 0");
  const std::string huge = dimensions(1e300, -kInf);  // 301 digits, never cut
  EXPECT_EQ(huge.size(), 301u + std::string(" × 0").size());
  EXPECT_EQ(huge.substr(0, 4), "1000");
}

TEST(BentoTilePresentation, TitlesAreTrimmedAndFallBackToTheApplicationName) {
  EXPECT_EQ(tileTitle(makeWindow(1, "  Notes — draft \n", "Notes")), "Notes — draft");
  EXPECT_EQ(tileTitle(makeWindow(1, "   \n ", " \tEditor\r\n")), "Editor");
  EXPECT_EQ(tileTitle(makeWindow(1, "", "")), "");
  EXPECT_EQ(tileTitle(makeWindow(1, " \n", "  ")), "");
  // Ideographic, no-break and line-separator spaces count as white space.
  EXPECT_EQ(tileTitle(makeWindow(1, "\u3000文档\u00A0\u2028", "x")), "文档");
  EXPECT_EQ(tileTitle(makeWindow(1, "\u3000\u2029\u0085", "终端")), "终端");
}

TEST(BentoTilePresentation, TrimmingLeavesInnerSpaceZeroWidthCharactersAndBrokenBytes) {
  EXPECT_EQ(trimmingWhitespaceAndNewlines(" a  b "), "a  b");
  EXPECT_EQ(trimmingWhitespaceAndNewlines("\u200Bx\u200B"), "\u200Bx\u200B");
  EXPECT_EQ(trimmingWhitespaceAndNewlines(" \xE3\x80 "), "\xE3\x80");      // a cut-off sequence
  EXPECT_EQ(trimmingWhitespaceAndNewlines("\xC0\xA0x"), "\xC0\xA0x");     // an overlong space
  EXPECT_EQ(trimmingWhitespaceAndNewlines(std::string("\0 ", 2)), std::string("\0", 1));
}

TEST(BentoTilePresentation, TilesFollowTheTreeInLeafOrder) {
  const Rect visible(0, 25, 1448, 875);
  const auto one = *BentoEngine::build(std::vector<ManagedWindow>{makeWindow(9, "Only", "App", 42)});
  EXPECT_EQ(tilePresentations(one, visible, 8), (std::vector<BentoTilePresentation>{{"Only", 42, visible}}));

  auto tree = *BentoEngine::build(std::vector<ManagedWindow>{
      makeWindow(1, "Mail", "Post", 10), makeWindow(2, "\n", "Browser", 11), makeWindow(3, "Shell", "Term", 12)});
  tree = BentoEngine::replacingRatio(0.25, {}, tree);  // a drag in progress shows its ratio
  const auto tiles = tilePresentations(tree, visible, 8);
  EXPECT_EQ(tiles, (std::vector<BentoTilePresentation>{
                       {"Mail", 10, Rect(0, 25, 360, 875)},
                       {"Browser", 11, Rect(368, 25 + 434 + 8, 1080, 433)},
                       {"Shell", 12, Rect(368, 25, 1080, 434)},
                   }));
  EXPECT_EQ(tiles[1].dimensionText(), "1080 × 433");
}

}  // namespace
}  // namespace tessarapane
