#include "ui/QtChromeFactory.h"

#include <gtest/gtest.h>

#include <QTest>

#include <memory>
#include <vector>

#include "UiTestSupport.h"
#include "ui/BentoPreviewContainerView.h"
#include "ui/BentoPreviewPanel.h"
#include "ui/PaneTabBarPanel.h"
#include "ui/PaneTabChromeButton.h"
#include "ui/PaneTabItemView.h"

namespace tessarapane::ui {
namespace {

using testing_support::FakeIconProvider;
using testing_support::grabImage;
using testing_support::onDesktop;
using testing_support::saveScreenshot;

constexpr ProcessID kEditor = 11;
constexpr ProcessID kBrowser = 12;
constexpr ProcessID kTerminal = 13;

class ChromeFactoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    provider = std::make_shared<FakeIconProvider>();
    provider->colors[kEditor] = QColor(232, 96, 64);
    provider->colors[kBrowser] = QColor(64, 140, 232);
    provider->colors[kTerminal] = QColor(40, 40, 44);
    factory = std::make_unique<QtChromeFactory>(std::make_shared<ApplicationIcons>(provider), ToolkitSpace());
  }
  void TearDown() override { testing_support::flushDeferredDeletes(); }

  static std::vector<PaneTabPresentation> tabs(int count) {
    const std::vector<PaneTabPresentation> kinds = {{"Quarterly report.txt — Editor", kEditor},
                                                    {"Release notes — Browser", kBrowser},
                                                    {"build — Terminal", kTerminal}};
    std::vector<PaneTabPresentation> result;
    for (int index = 0; index < count; ++index) result.push_back(kinds[static_cast<std::size_t>(index) % 3]);
    return result;
  }

  std::shared_ptr<FakeIconProvider> provider;
  std::unique_ptr<QtChromeFactory> factory;
};

TEST_F(ChromeFactoryTest, PanelReleasedFromInsideItsOwnCloseClickGoesQuietly) {
  std::shared_ptr<tessarapane::PaneTabBarPanel> held;
  int closes = 0;
  PaneTabBarHandlers handlers;
  // What the coordinator does when the last tab of a pane closes.
  handlers.close = [&](int) {
    ++closes;
    held->orderOut();
    held->close();
    held.reset();
  };
  held = factory->makePaneTabBarPanel(tabs(1), {PaneMoveDirection::right}, Rect(0, 300, 400, 32),
                                      std::move(handlers));
  held->orderFrontRegardless();
  auto& panel = dynamic_cast<PaneTabBarPanel&>(*held);
  QPointer<QWidget> widget(&panel);
  QTest::mouseClick(panel.tabItemViews().at(0)->closeButton(), Qt::LeftButton);
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(held);
  ASSERT_TRUE(widget);
  EXPECT_FALSE(widget->isVisible());
  testing_support::flushDeferredDeletes();
  EXPECT_FALSE(widget) << "deleted on the next turn";
}

TEST_F(ChromeFactoryTest, ScreenshotsOfTabStripsInEachModeAndOfTheGridPreview) {
  const auto strip = [&](int count, double width, std::vector<PaneMoveDirection> moves, int selected) {
    auto panel = factory->makePaneTabBarPanel(tabs(count), moves, Rect(0, 300, width, 32), {});
    panel->updateTabs(tabs(count), selected, Rect(0, 300, width, 32));
    return panel;
  };
  const std::vector<PaneMoveDirection> both = {PaneMoveDirection::left, PaneMoveDirection::right};

  auto full = strip(3, 520, both, 1);
  auto& fullPanel = dynamic_cast<PaneTabBarPanel&>(*full);
  EXPECT_EQ(fullPanel.stripLayout()->mode, PaneTabDisplayMode::full);
  saveScreenshot(onDesktop(testing_support::renderImage(fullPanel)), QStringLiteral("tab-strip-full"));
  // The hovered tab shows its arrows, its close button lit.
  testing_support::hover(*fullPanel.tabItemViews().at(2));
  testing_support::hover(*fullPanel.tabItemViews().at(2)->closeButton());
  saveScreenshot(onDesktop(testing_support::renderImage(fullPanel)), QStringLiteral("tab-strip-full-hover"));

  auto withMoves = strip(3, 272, {PaneMoveDirection::left}, 0);
  EXPECT_EQ(dynamic_cast<PaneTabBarPanel&>(*withMoves).stripLayout()->mode, PaneTabDisplayMode::iconWithMoves);
  saveScreenshot(onDesktop(testing_support::renderImage(dynamic_cast<QWidget&>(*withMoves))), QStringLiteral("tab-strip-icon-with-moves"));

  auto iconOnly = strip(3, 272, both, 2);
  EXPECT_EQ(dynamic_cast<PaneTabBarPanel&>(*iconOnly).stripLayout()->mode, PaneTabDisplayMode::iconOnly);
  saveScreenshot(onDesktop(testing_support::renderImage(dynamic_cast<QWidget&>(*iconOnly))), QStringLiteral("tab-strip-icon-only"));

  auto overflow = strip(10, 312, both, 7);
  EXPECT_FALSE(dynamic_cast<PaneTabBarPanel&>(*overflow).stripLayout()->hiddenIndices.empty());
  saveScreenshot(onDesktop(testing_support::renderImage(dynamic_cast<QWidget&>(*overflow))), QStringLiteral("tab-strip-overflow"));

  auto preview = factory->makeBentoPreviewPanel(Rect(0, 0, 800, 600));
  preview->setScreenFrame(Rect(0, 0, 800, 600));
  preview->setTiles({{"Quarterly report.txt — Editor", kEditor, Rect(8, 8, 388, 584)},
                     {"Release notes — Browser with a title far too long for its card", kBrowser,
                      Rect(404, 304, 388, 288)},
                     {"build — Terminal", kTerminal, Rect(404, 8, 190, 288)},
                     {"Quit application", 99, Rect(602, 8, 190, 288)}});
  preview->setNeedsDisplay();
  auto& previewPanel = dynamic_cast<BentoPreviewPanel&>(*preview);
  EXPECT_FALSE(previewPanel.isVisible()) << "made hidden";
  saveScreenshot(onDesktop(testing_support::renderImage(previewPanel)), QStringLiteral("grid-preview"));
}

}  // namespace
}  // namespace tessarapane::ui
