#include "windows/NativeFullScreen.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>

namespace tessarapane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const Rect kDisplay(0, 0, 1440, 900);

TEST(NativeFullScreen, HeightAndTopEdgeThresholds) {
  const std::vector<Rect> displays{kDisplay};
  EXPECT_TRUE(NativeFullScreen::coversDisplay(Rect(0, 0, 1440, 873), displays));   // 97 %
  EXPECT_FALSE(NativeFullScreen::coversDisplay(Rect(0, 0, 1440, 855), displays));  // 95 %
  EXPECT_TRUE(NativeFullScreen::coversDisplay(Rect(0, 0, 1440, 864), displays));   // exactly 96 %

  EXPECT_TRUE(NativeFullScreen::coversDisplay(Rect(0, 8, 1440, 892), displays));
  EXPECT_FALSE(NativeFullScreen::coversDisplay(Rect(0, 9, 1440, 891), displays));
  // Starting above the display's top is fine: only "too far below" fails.
  EXPECT_TRUE(NativeFullScreen::coversDisplay(Rect(0, -20, 1440, 920), displays));
}

TEST(NativeFullScreen, LargerWindowsNeedSimilarArea) {
  const std::vector<Rect> displays{kDisplay};
  EXPECT_TRUE(NativeFullScreen::coversDisplay(Rect(0, 0, 1440, 937), displays));   // 900/937 > 0.96
  EXPECT_FALSE(NativeFullScreen::coversDisplay(Rect(0, 0, 1440, 938), displays));  // 900/938 < 0.96
  // Spanning two displays covers each fully but is twice the size of either.
  const std::vector<Rect> pair{kDisplay, Rect(1440, 0, 1440, 900)};
  EXPECT_FALSE(NativeFullScreen::coversDisplay(Rect(0, 0, 2880, 900), pair));
}

TEST(NativeFullScreen, DegenerateWindowsAndDisplays) {
  const std::vector<Rect> displays{kDisplay};
  EXPECT_FALSE(NativeFullScreen::coversDisplay(Rect(0, 0, 0, 0), displays));
  EXPECT_FALSE(NativeFullScreen::coversDisplay(Rect(0, 0, 1440, 0), displays));
  EXPECT_FALSE(NativeFullScreen::coversDisplay(Rect(1440, 0, -1440, 900), displays));  // negative area
  EXPECT_FALSE(NativeFullScreen::coversDisplay(Rect(0, 0, kNaN, 900), displays));
  EXPECT_FALSE(NativeFullScreen::coversDisplay(Rect(0, kNaN, 1440, 900), displays));
  EXPECT_FALSE(NativeFullScreen::coversDisplay(Rect::infinite(), displays));
  EXPECT_FALSE(NativeFullScreen::coversDisplay(kDisplay, {}));

  // Displays without area, null or NaN ones are passed over; a later real
  // display still counts.
  const Rect second(1440, -180, 1920, 1080);
  const std::vector<Rect> mixed{Rect(0, 0, 0, 0), Rect::null(), Rect(0, 0, kNaN, 900), Rect::infinite(), second};
  EXPECT_TRUE(NativeFullScreen::coversDisplay(second, mixed));
  EXPECT_FALSE(NativeFullScreen::coversDisplay(kDisplay, mixed));
}

TEST(NativeFullScreen, DisjointOrTouchingWindowsDoNotCover) {
  const std::vector<Rect> displays{kDisplay};
  EXPECT_FALSE(NativeFullScreen::coversDisplay(Rect(2000, 0, 1440, 900), displays));
  EXPECT_FALSE(NativeFullScreen::coversDisplay(Rect(1440, 0, 1440, 900), displays));
  EXPECT_FALSE(NativeFullScreen::coversDisplay(Rect(0, -900, 1440, 900), displays));
}

// Answers the display queries from a script and counts them.
class ScriptedWindowServer final : public WindowServer {
 public:
  ActiveDisplayList countReply;
  ActiveDisplayList listReply;
  std::map<DisplayID, Rect> bounds;
  std::vector<std::uint32_t> asked;
  bool marksFullScreen = false;

  std::optional<std::vector<WindowInfo>> onScreenWindowList() override { return std::nullopt; }
  ActiveDisplayList activeDisplayList(std::uint32_t maxDisplays) override {
    asked.push_back(maxDisplays);
    return maxDisplays == 0 ? countReply : listReply;
  }
  Rect displayBounds(DisplayID display) override {
    const auto found = bounds.find(display);
    return found == bounds.end() ? Rect::null() : found->second;
  }
  bool marksFullScreenWindows() override { return marksFullScreen; }
};

TEST(NativeFullScreen, DisplayBoundsFollowTheListInOrder) {
  ScriptedWindowServer server;
  server.bounds = {{7, Rect(0, 0, 1440, 900)}, {3, Rect(1440, 0, 1920, 1080)}, {9, Rect(-800, 0, 800, 600)}};
  server.countReply = {0, 3, {}};
  server.listReply = {0, 3, {3, 7, 9}};
  EXPECT_EQ(NativeFullScreen::displayBounds(server),
            (std::vector<Rect>{Rect(1440, 0, 1920, 1080), Rect(0, 0, 1440, 900), Rect(-800, 0, 800, 600)}));
  EXPECT_EQ(server.asked, (std::vector<std::uint32_t>{0, 3}));

  // A display unplugged between the two queries: only what was listed.
  server.listReply = {0, 2, {3, 7}};
  EXPECT_EQ(NativeFullScreen::displayBounds(server).size(), 2U);
  // One plugged in: no more than first counted.
  server.countReply = {0, 1, {}};
  server.listReply = {0, 2, {3, 7}};
  EXPECT_EQ(NativeFullScreen::displayBounds(server), (std::vector<Rect>{Rect(1440, 0, 1920, 1080)}));
  // A count larger than the identifiers handed back never reads past them.
  server.countReply = {0, 3, {}};
  server.listReply = {0, 3, {9}};
  EXPECT_EQ(NativeFullScreen::displayBounds(server), (std::vector<Rect>{Rect(-800, 0, 800, 600)}));
}

TEST(NativeFullScreen, DisplayBoundsEmptyOnFailureOrNoDisplays) {
  ScriptedWindowServer server;
  server.listReply = {0, 1, {7}};
  server.bounds = {{7, kDisplay}};

  server.countReply = {1001, 1, {}};
  EXPECT_TRUE(NativeFullScreen::displayBounds(server).empty());
  EXPECT_EQ(server.asked.size(), 1U);  // a failed count asks no further

  server.countReply = {0, 0, {}};
  EXPECT_TRUE(NativeFullScreen::displayBounds(server).empty());

  server.countReply = {0, 1, {}};
  server.listReply = {1001, 1, {7}};
  EXPECT_TRUE(NativeFullScreen::displayBounds(server).empty());

  // Where the platform marks full-screen windows, a window filling the
  // display is judged by that mark alone: nothing to cover.
  server.listReply = {0, 1, {7}};
  ASSERT_EQ(NativeFullScreen::displayBounds(server).size(), 1U);
  server.marksFullScreen = true;
  server.asked.clear();
  EXPECT_TRUE(NativeFullScreen::displayBounds(server).empty());
  EXPECT_TRUE(server.asked.empty());
}

}  // namespace
}  // namespace tessarapane
