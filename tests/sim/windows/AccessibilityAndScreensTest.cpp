#include <gtest/gtest.h>

#include "WindowsSimFixture.h"
#include "windows/AXHelpers.h"
#include "windows/ScreenIdentity.h"

namespace tessarapane {
namespace {

class AccessibilityReadersSim : public WindowsSim {};

TEST_F(AccessibilityReadersSim, AFrameNeedsBothPositionAndSize) {
  const ProcessID app = launch("Editor");
  const AXElement window = elementOf(open(app, "Doc", Rect(10, 40, 300, 200)));
  Accessibility& ax = *platform.accessibility;
  EXPECT_EQ(AXHelpers::frame(ax, window), Rect(10, 40, 300, 200));

  accessibility->editCopy = [](const AXElement&, std::string_view attribute, AXCopyResult& result) {
    if (attribute == "AXSize") result = AXCopyResult{AXError::cannotComplete, std::nullopt};
  };
  EXPECT_EQ(AXHelpers::frame(ax, window), std::nullopt);
  // A size handed back as a point is no size.
  accessibility->editCopy = [](const AXElement&, std::string_view attribute, AXCopyResult& result) {
    if (attribute == "AXSize") result.value = Point{300, 200};
  };
  EXPECT_EQ(AXHelpers::frame(ax, window), std::nullopt);
}

TEST_F(AccessibilityReadersSim, TypedReadersTreatOtherTypesAndErrorsAsAbsent) {
  const ProcessID app = launch("Editor");
  const WindowID number = open(app, "Doc", Rect(10, 40, 300, 200));
  const AXElement window = elementOf(number);
  Accessibility& ax = *platform.accessibility;

  EXPECT_EQ(AXHelpers::string(ax, "AXTitle", window), "Doc");
  EXPECT_EQ(AXHelpers::boolean(ax, "AXMinimized", window), false);
  EXPECT_EQ(AXHelpers::string(ax, "AXMinimized", window), std::nullopt);
  EXPECT_EQ(AXHelpers::boolean(ax, "AXTitle", window), std::nullopt);
  EXPECT_EQ(AXHelpers::string(ax, "AXNoSuchAttribute", window), std::nullopt);

  const AXElement application = ax.createApplication(app);
  EXPECT_EQ(AXHelpers::windows(ax, application), (std::vector<AXElement>{window}));
  EXPECT_TRUE(AXHelpers::windows(ax, window).empty());  // a window has no "AXWindows"

  desktop->closeWindow(number);
  EXPECT_EQ(AXHelpers::string(ax, "AXRole", window), std::nullopt);
  desktop->setAnswersAccessibility(app, false);
  EXPECT_TRUE(AXHelpers::windows(ax, application).empty());
}

TEST_F(AccessibilityReadersSim, LiveScreensAreLookedUpAndFlippedAboutThePrimary) {
  Screens& screens = *platform.screens;
  EXPECT_EQ(ScreenIdentity::convertFrame(Rect(100, 100, 400, 300), screens), Rect(100, 500, 400, 300));

  desktop->setDisplays({SimDisplay{7, Rect(0, 0, 1920, 1200), Rect(0, 0, 1920, 1175)},
                        SimDisplay{9, Rect(1920, 0, 1440, 900), Rect(1920, 0, 1440, 875)}});
  EXPECT_EQ(ScreenIdentity::convertFrame(Rect(100, 100, 400, 300), screens), Rect(100, 800, 400, 300));
  const auto second = ScreenIdentity::screenForDisplayID(9, screens);
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(second->frame, Rect(1920, 0, 1440, 900));
  EXPECT_EQ(ScreenIdentity::screenForDisplayID(3, screens), std::nullopt);
  EXPECT_EQ(ScreenIdentity::screenForDisplayID(0, screens), std::nullopt);

  desktop->setDisplays({});
  EXPECT_EQ(ScreenIdentity::convertFrame(Rect(100, 100, 400, 300), screens), Rect(100, -400, 400, 300));
}

}  // namespace
}  // namespace tessarapane
