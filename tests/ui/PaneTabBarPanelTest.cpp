#include "ui/PaneTabBarPanel.h"

#include <gtest/gtest.h>

#include <QAbstractAnimation>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <utility>
#include <vector>

#include "UiTestSupport.h"
#include "ui/ApplicationIcons.h"
#include "ui/PaneTabChromeButton.h"
#include "ui/PaneTabItemView.h"
#include "ui/PaneTabOverflowButton.h"
#include "ui/PaneTabSelectButton.h"
#include "ui/PaneTabStripView.h"
#include "ui/QtConversions.h"

namespace tessarapane::ui {
namespace {

using testing_support::FakeIconProvider;
using testing_support::grabImage;
using testing_support::text;

constexpr double kBarHeight = 32.0;  // the tab-bar strip of a pane
constexpr ProcessID kEditorPID = 101;
constexpr ProcessID kTerminalPID = 202;
constexpr ProcessID kIconlessPID = 303;

struct MoveCall {
  int tabIndex;
  PaneMoveDirection direction;
};

class PaneTabBarPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    provider = std::make_shared<FakeIconProvider>();
    provider->colors[kEditorPID] = QColor(220, 80, 60);
    provider->colors[kTerminalPID] = QColor(40, 160, 90);
    icons = std::make_shared<ApplicationIcons>(provider);
  }

  void TearDown() override {
    panel.reset();
    testing_support::flushDeferredDeletes();
  }

  static std::vector<PaneTabPresentation> tabs(int count) {
    std::vector<PaneTabPresentation> result;
    for (int index = 0; index < count; ++index) {
      result.push_back({"Window " + std::to_string(index), index % 2 == 0 ? kEditorPID : kTerminalPID});
    }
    return result;
  }

  static Rect bar(double width) { return Rect(40.0, 400.0, width, kBarHeight); }

  void make(const std::vector<PaneTabPresentation>& shown, double width,
            std::vector<PaneMoveDirection> moves = {PaneMoveDirection::left, PaneMoveDirection::right}) {
    PaneTabBarHandlers handlers;
    handlers.selection = [this](int index) { selections.push_back(index); };
    handlers.close = [this](int index) { closes.push_back(index); };
    handlers.move = [this](int index, PaneMoveDirection direction) { moves_.push_back({index, direction}); };
    panel = std::make_unique<PaneTabBarPanel>(shown, std::move(moves), bar(width), std::move(handlers), icons,
                                              ToolkitSpace());
  }

  PaneTabItemView& view(std::size_t slot) { return *panel->tabItemViews().at(slot); }

  static QRect slot(double x, double width) { return QRect(static_cast<int>(x), 0, static_cast<int>(width), 24); }

  std::shared_ptr<FakeIconProvider> provider;
  std::shared_ptr<ApplicationIcons> icons;
  std::unique_ptr<PaneTabBarPanel> panel;
  std::vector<int> selections;
  std::vector<int> closes;
  std::vector<MoveCall> moves_;
};

TEST_F(PaneTabBarPanelTest, PanelIsAFloatingWindowThatNeverTakesFocus) {
  make(tabs(1), 500);
  const Qt::WindowFlags flags = panel->windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::Tool));
  EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
  EXPECT_TRUE(panel->testAttribute(Qt::WA_ShowWithoutActivating));
  EXPECT_EQ(panel->focusPolicy(), Qt::NoFocus);
}

TEST_F(PaneTabBarPanelTest, OneThreeAndTenTabsTakeTheirSlotsAndThePanelHugsThem) {
  make(tabs(1), 500);
  ASSERT_EQ(panel->tabItemViews().size(), 1u);
  EXPECT_EQ(view(0).geometry(), slot(0, 154));
  EXPECT_EQ(panel->tabStripView()->geometry(), QRect(6, 4, 154, 24));
  EXPECT_EQ(panel->toolkitFrame(), Rect(40, 400, 166, 32));

  // 320 points for tabs: floor(312 / 3) = 104 each, panel 3 * 104 + 8 + 12.
  make(tabs(3), 332);
  ASSERT_EQ(panel->tabItemViews().size(), 3u);
  EXPECT_EQ(view(0).geometry(), slot(0, 104));
  EXPECT_EQ(view(1).geometry(), slot(108, 104));
  EXPECT_EQ(view(2).geometry(), slot(216, 104));
  EXPECT_EQ(panel->toolkitFrame(), Rect(40, 400, 332, 32));
  EXPECT_EQ(panel->overflowButton(), nullptr);

  // Ten tabs in 300 points overflow: four 51-point slots and the button.
  make(tabs(10), 312);
  panel->updateTabs(tabs(10), 7, bar(312));
  ASSERT_EQ(panel->tabItemViews().size(), 4u);
  std::vector<int> shown;
  for (PaneTabItemView* item : panel->tabItemViews()) shown.push_back(item->tabIndex());
  EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 7}));
  EXPECT_EQ(view(3).geometry(), slot(165, 51));
  ASSERT_NE(panel->overflowButton(), nullptr);
  EXPECT_EQ(panel->overflowButton()->geometry(), QRect(220, 0, 40, 24));
  EXPECT_EQ(panel->toolkitFrame(), Rect(40, 400, 4 * 51 + 12 + 44 + 12, 32));
}

TEST_F(PaneTabBarPanelTest, PanelFrameIsFlippedIntoQtSpaceAboutThePrimaryScreen) {
  make(tabs(1), 500);
  const Rect primary = ToolkitSpace().screens().front().frame;
  EXPECT_EQ(panel->geometry().y(), static_cast<int>(primary.maxY() - 432.0));
  EXPECT_EQ(panel->geometry().x(), 40);
}

TEST_F(PaneTabBarPanelTest, DisplayModesFollowTheWidthAndChangeOnUpdate) {
  // 260 points for three tabs: 84 each.
  make(tabs(3), 272, {PaneMoveDirection::left});
  EXPECT_EQ(panel->stripLayout()->mode, PaneTabDisplayMode::iconWithMoves);
  EXPECT_EQ(view(1).displayMode(), PaneTabDisplayMode::iconWithMoves);
  EXPECT_EQ(view(1).selectButton()->geometry(), QRect(0, 0, 28, 24));
  EXPECT_TRUE(view(1).moveButtonStack()->isVisibleTo(&view(1)));
  EXPECT_EQ(view(1).moveButtonStack()->geometry(), QRect(84 - 23 - 20, 0, 20, 24));
  EXPECT_EQ(view(1).closeButton()->geometry(), QRect(61, 0, 23, 24));
  // The icon replaces the title.
  EXPECT_TRUE(view(1).selectButton()->shownTitle().isEmpty());

  make(tabs(3), 272, {PaneMoveDirection::left, PaneMoveDirection::right});
  EXPECT_EQ(panel->stripLayout()->mode, PaneTabDisplayMode::iconOnly);
  EXPECT_FALSE(view(0).moveButtonStack()->isVisibleTo(&view(0)));

  // Wider: full mode, titles come back beside the icon.
  panel->updateTabs(tabs(3), 0, bar(500));
  EXPECT_EQ(panel->stripLayout()->mode, PaneTabDisplayMode::full);
  EXPECT_EQ(view(0).displayMode(), PaneTabDisplayMode::full);
  EXPECT_EQ(text(view(0).selectButton()->shownTitle()), "Window 0");
  EXPECT_EQ(view(0).selectButton()->geometry(), QRect(9, 0, 154 - 23 - 40 - 9, 24));
}

TEST_F(PaneTabBarPanelTest, AnIconlessTabKeepsItsTitleInIconModes) {
  make({{"Plain", kIconlessPID}, {"Plain 2", kIconlessPID}, {"Plain 3", kIconlessPID}}, 272);
  EXPECT_EQ(view(0).displayMode(), PaneTabDisplayMode::iconOnly);
  EXPECT_FALSE(view(0).selectButton()->showsIcon());
  EXPECT_EQ(text(view(0).selectButton()->shownTitle()), "Plain");
}

TEST_F(PaneTabBarPanelTest, InFullModeMoveArrowsShowOnTheSelectedOrHoveredTabOnly) {
  make(tabs(3), 600);
  EXPECT_TRUE(view(0).moveButtonStack()->isVisibleTo(&view(0)));
  EXPECT_FALSE(view(1).moveButtonStack()->isVisibleTo(&view(1)));
  EXPECT_EQ(view(1).selectButton()->geometry(), QRect(9, 0, 154 - 23 - 9, 24));

  testing_support::hover(view(1));
  EXPECT_TRUE(view(1).isHovered());
  EXPECT_TRUE(view(1).moveButtonStack()->isVisibleTo(&view(1)));
  EXPECT_EQ(view(1).moveButtonStack()->geometry(), QRect(154 - 23 - 40, 0, 40, 24));
  EXPECT_EQ(view(1).moveButtons().at(0)->geometry(), QRect(0, 0, 20, 24));
  EXPECT_EQ(view(1).moveButtons().at(1)->geometry(), QRect(20, 0, 20, 24));
  EXPECT_EQ(view(1).selectButton()->geometry(), QRect(9, 0, 154 - 23 - 40 - 9, 24));

  testing_support::unhover(view(1));
  EXPECT_FALSE(view(1).moveButtonStack()->isVisibleTo(&view(1)));
}

TEST_F(PaneTabBarPanelTest, SelectedTabIsTintedAlmostWhiteAndOthersStayDark) {
  make(tabs(3), 500);
  panel->updateTabs(tabs(3), 1, bar(500));
  const QImage image = grabImage(*panel);
  // A point inside each tab clear of icon and title: 5 points from its left.
  const int y = 4 + 12;
  const QColor unselected = image.pixelColor(6 + 0 * 158 + 5, y);
  const QColor selected = image.pixelColor(6 + 1 * 158 + 5, y);
  EXPECT_GT(selected.lightness(), 235) << selected.name(QColor::HexArgb).toStdString();
  EXPECT_GT(selected.alpha(), 245);
  EXPECT_LT(unselected.lightness(), 100) << unselected.name(QColor::HexArgb).toStdString();
  EXPECT_GT(unselected.alpha(), 150);
  // The panel is transparent outside its tabs: between two tabs.
  EXPECT_LT(image.pixelColor(6 + 154 + 2, 2).alpha(), 40);

  EXPECT_EQ(view(1).tintColor(), whiteColor(1.0, 0.97));
  EXPECT_EQ(view(0).tintColor(), whiteColor(1.0, 0.13));
  EXPECT_EQ(view(1).selectButton()->contentTint(), whiteColor(0.0, 0.92));
  EXPECT_EQ(view(0).selectButton()->contentTint(), whiteColor(1.0, 0.94));
  EXPECT_EQ(view(1).closeButton()->idleTint(), whiteColor(0.0, 0.48));
  EXPECT_EQ(view(0).closeButton()->idleTint(), whiteColor(1.0, 0.78));
  EXPECT_TRUE(view(1).closeButton()->isOnSelectedTab());
  EXPECT_DOUBLE_EQ(view(1).shadowOpacity(), 0.16);
  EXPECT_DOUBLE_EQ(view(0).shadowRadius(), 1.0);
}

TEST_F(PaneTabBarPanelTest, ClicksReportTheTabIndexAndDirection) {
  make(tabs(10), 312);
  panel->updateTabs(tabs(10), 7, bar(312));
  panel->updateTabs(tabs(10), 7, bar(1600));  // full mode, all ten shown
  panel->show();
  QTest::mouseClick(view(7).selectButton(), Qt::LeftButton);
  QTest::mouseClick(view(7).closeButton(), Qt::LeftButton);
  QTest::mouseClick(view(7).moveButtons().at(1), Qt::LeftButton);
  EXPECT_EQ(selections, std::vector<int>{7});
  EXPECT_EQ(closes, std::vector<int>{7});
  ASSERT_EQ(moves_.size(), 1u);
  EXPECT_EQ(moves_[0].tabIndex, 7);
  EXPECT_EQ(moves_[0].direction, PaneMoveDirection::right);
}

TEST_F(PaneTabBarPanelTest, OverflowButtonListsTheHiddenTabsAndSelectsThem) {
  make(tabs(10), 312);
  panel->updateTabs(tabs(10), 7, bar(312));
  PaneTabOverflowButton* overflow = panel->overflowButton();
  ASSERT_NE(overflow, nullptr);
  EXPECT_EQ(text(overflow->button()->text()), "+6");
  EXPECT_EQ(text(overflow->button()->toolTip()), "还有 6 个窗口");

  QMenu* menu = overflow->makeMenu();
  std::vector<std::string> titles;
  std::vector<int> indices;
  for (QAction* action : menu->actions()) {
    titles.push_back(text(action->text()));
    indices.push_back(action->data().toInt());
  }
  EXPECT_EQ(indices, (std::vector<int>{3, 4, 5, 6, 8, 9}));
  EXPECT_EQ(titles.front(), "Window 3");
  EXPECT_FALSE(menu->actions().at(0)->icon().isNull());
  menu->actions().at(4)->trigger();
  EXPECT_EQ(selections, std::vector<int>{8});
  delete menu;

  // One hidden tab: the singular tooltip.
  // Five tabs in 262 points: 49 each is too narrow, and four fit beside the button.
  panel->updateTabs(tabs(5), 0, bar(262 + 12));
  ASSERT_NE(panel->overflowButton(), nullptr);
  EXPECT_EQ(text(panel->overflowButton()->button()->text()), "+1");
  EXPECT_EQ(text(panel->overflowButton()->button()->toolTip()), "还有 1 个窗口");

  // Room again: the button goes away.
  panel->updateTabs(tabs(5), 0, bar(900));
  EXPECT_EQ(panel->overflowButton(), nullptr);
}

TEST_F(PaneTabBarPanelTest, ChromeButtonReleasedOutsideSendsNothing) {
  make(tabs(2), 500);
  panel->show();
  PaneTabChromeButton* close = view(0).closeButton();
  const QPoint inside = close->rect().center();
  const QPoint outside(close->width() + 30, inside.y());
  QTest::mousePress(close, Qt::LeftButton, Qt::NoModifier, inside);
  EXPECT_TRUE(close->isPressed());
  QMouseEvent drag(QEvent::MouseMove, QPointF(outside), close->mapToGlobal(QPointF(outside)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(close, &drag);
  EXPECT_FALSE(close->isPressed());
  QTest::mouseRelease(close, Qt::LeftButton, Qt::NoModifier, outside);
  EXPECT_TRUE(closes.empty());
}

TEST_F(PaneTabBarPanelTest, ChromeButtonColoursFollowHoverPressAndTab) {
  make(tabs(2), 500);
  PaneTabChromeButton& close = *view(1).closeButton();
  EXPECT_FALSE(close.showsHoverBackground());
  EXPECT_EQ(close.backgroundColor(), QColor(Qt::transparent));
  EXPECT_EQ(close.glyphColor(), whiteColor(1.0, 0.78));
  testing_support::hover(close);
  EXPECT_EQ(close.backgroundColor(), QColor::fromRgbF(1.0f, 59 / 255.0f, 48 / 255.0f, 0.82f));
  EXPECT_EQ(close.glyphColor(), whiteColor(1.0, 1.0));
  // 23 x 24: a 16-point square, radius 5, centred.
  EXPECT_EQ(close.hoverBackgroundRect(), QRectF(3.5, 4, 16, 16));
  EXPECT_DOUBLE_EQ(close.hoverBackgroundRadius(), 5.0);

  testing_support::hover(view(0));
  PaneTabChromeButton& arrow = *view(0).moveButtons().at(0);
  testing_support::hover(arrow);
  EXPECT_EQ(arrow.backgroundColor(), whiteColor(0.0, 0.10));
  EXPECT_EQ(arrow.glyphColor(), whiteColor(0.0, 0.68));
  PaneTabChromeButton& otherArrow = *view(1).moveButtons().at(0);
  testing_support::hover(view(1));
  testing_support::hover(otherArrow);
  EXPECT_EQ(otherArrow.backgroundColor(), whiteColor(1.0, 0.18));
  EXPECT_EQ(otherArrow.glyphColor(), whiteColor(1.0, 0.94));
}

TEST_F(PaneTabBarPanelTest, EqualUpdateDoesNoWorkAndOutOfRangeSelectionMeansNone) {
  make(tabs(3), 500);
  const int passes = panel->layoutPasses();
  panel->updateTabs(tabs(3), 0, bar(500));
  EXPECT_EQ(panel->layoutPasses(), passes);

  panel->updateTabs(tabs(3), 9, bar(500));
  EXPECT_EQ(panel->selectedIndex(), -1);
  EXPECT_EQ(panel->layoutPasses(), passes + 1);
  for (PaneTabItemView* item : panel->tabItemViews()) EXPECT_FALSE(item->isSelected());
  panel->updateTabs(tabs(3), -4, bar(500));
  EXPECT_EQ(panel->layoutPasses(), passes + 1);
}

TEST_F(PaneTabBarPanelTest, VisiblePanelAnimatesSelectionButNotResizes) {
  make(tabs(3), 500);
  panel->updateTabs(tabs(3), 1, bar(500));
  EXPECT_EQ(panel->runningAnimation(), nullptr) << "a hidden panel changes at once";

  panel->show();
  panel->updateTabs(tabs(4), 1, bar(500));
  QAbstractAnimation* animation = panel->runningAnimation();
  ASSERT_NE(animation, nullptr);
  EXPECT_EQ(animation->duration(), 180);
  // The new fourth tab fades in while the others narrow.
  ASSERT_EQ(panel->tabItemViews().size(), 4u);
  EXPECT_EQ(view(0).geometry().width(), 154);
  animation->setCurrentTime(animation->duration());
  EXPECT_EQ(panel->runningAnimation(), nullptr);
  EXPECT_EQ(view(0).geometry(), slot(0, 119));
  EXPECT_EQ(view(3).geometry(), slot(369, 119));
  EXPECT_EQ(view(3).graphicsEffect(), nullptr);

  // A new size applies at once.
  panel->updateTabs(tabs(4), 2, bar(700));
  EXPECT_EQ(panel->runningAnimation(), nullptr);
  EXPECT_EQ(view(0).geometry(), slot(0, 154));
}

TEST_F(PaneTabBarPanelTest, ShrinkingPanelKeepsItsWidthUntilTheAnimationEnds) {
  make(tabs(3), 600);
  panel->show();
  panel->updateTabs(tabs(2), 0, bar(600));
  ASSERT_EQ(panel->tabItemViews().size(), 2u);
  EXPECT_EQ(panel->toolkitFrame().width(), 3 * 154 + 8 + 12);
  QAbstractAnimation* animation = panel->runningAnimation();
  ASSERT_NE(animation, nullptr);
  animation->setCurrentTime(animation->duration());
  EXPECT_EQ(panel->toolkitFrame().width(), 2 * 154 + 4 + 12);

  // A growing panel takes its width at once.
  panel->updateTabs(tabs(3), 0, bar(600));
  EXPECT_EQ(panel->toolkitFrame().width(), 3 * 154 + 8 + 12);
}

TEST_F(PaneTabBarPanelTest, ShrinkIsDroppedWhenAnotherLayoutCameMeanwhile) {
  make(tabs(3), 600);
  panel->show();
  panel->updateTabs(tabs(2), 0, bar(600));
  panel->updateTabs(tabs(3), 1, bar(600));
  QAbstractAnimation* animation = panel->runningAnimation();
  ASSERT_NE(animation, nullptr);
  animation->setCurrentTime(animation->duration());
  EXPECT_EQ(panel->toolkitFrame().width(), 3 * 154 + 8 + 12);
}

TEST_F(PaneTabBarPanelTest, TabIconsComeFromOneSharedCache) {
  make(tabs(3), 600);
  const QPixmap first = view(0).selectButton()->icon();
  const QPixmap third = view(2).selectButton()->icon();
  ASSERT_FALSE(first.isNull());
  EXPECT_EQ(first.cacheKey(), third.cacheKey());
  EXPECT_EQ(first.deviceIndependentSize(), QSizeF(13, 13));
  EXPECT_EQ(provider->requests[kEditorPID], 1);
  EXPECT_EQ(view(0).selectButton()->iconRect(), QRectF(0, 5.5, 13, 13));

  // No icon: nothing cached, asked again for the next new tab.
  panel->updateTabs({{"A", kIconlessPID}, {"B", kIconlessPID}}, 0, bar(600));
  EXPECT_TRUE(view(0).selectButton()->icon().isNull());
  EXPECT_EQ(provider->requests[kIconlessPID], 2);
  EXPECT_EQ(icons->cachedCount(), 2u);
}

TEST_F(PaneTabBarPanelTest, TitleAndTooltipFollowTheTab) {
  make({{"Report.txt — Editor", kEditorPID}}, 600);
  EXPECT_EQ(text(view(0).selectButton()->toolTip()), "Report.txt — Editor");
  EXPECT_EQ(text(view(0).selectButton()->accessibleName()), "Report.txt — Editor");
  EXPECT_EQ(text(view(0).closeButton()->toolTip()), "关闭窗口");
  EXPECT_EQ(text(view(0).moveButtons().at(0)->toolTip()), tooltip(PaneMoveDirection::left));
}

}  // namespace
}  // namespace tessarapane::ui
