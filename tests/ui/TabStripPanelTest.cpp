// A pane's floating tab strip as the user sees and uses it: where its tabs and buttons are in each display
// mode, the tint of the selected tab, the overflow menu, clicks, hover, and how updates animate.
#include <gtest/gtest.h>

#include <QAbstractAnimation>
#include <QEnterEvent>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "UiTestSupport.h"
#include "ui/overlay/ApplicationIcons.h"
#include "ui/services/QtConversions.h"
#include "ui/tabstrip/PaneTabChromeButton.h"
#include "ui/tabstrip/PaneTabItemView.h"
#include "ui/tabstrip/PaneTabOverflowButton.h"
#include "ui/tabstrip/PaneTabSelectButton.h"
#include "ui/tabstrip/PaneTabStripView.h"
#include "ui/tabstrip/QtPaneTabBarPanel.h"

namespace tessarapane::ui {
namespace {

using namespace testing_support;
using Dir = PaneMoveDirection;
constexpr ProcessID kEditor = 101, kTerminal = 202, kIconless = 303;

void hover(QWidget& widget, bool entering = true) {
  const QPointF centre(widget.width() / 2.0, widget.height() / 2.0);
  QEnterEvent enter(centre, widget.mapTo(widget.window(), centre), widget.mapToGlobal(centre));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&widget, entering ? static_cast<QEvent*>(&enter) : &leave);
}

class TabStripPanel : public ::testing::Test {
 protected:
  void SetUp() override {
    provider->colors = {{kEditor, QColor(220, 80, 60)}, {kTerminal, QColor(40, 160, 90)}};
  }
  void TearDown() override {
    panel.reset();
    flushDeferredDeletes();
  }
  static std::vector<PaneTabPresentation> tabs(int count) {
    std::vector<PaneTabPresentation> result;
    for (int i = 0; i < count; ++i) result.push_back({"Window " + std::to_string(i), i % 2 == 0 ? kEditor : kTerminal});
    return result;
  }
  static Rect bar(double width) { return Rect(40, 400, width, 32); }
  void make(const std::vector<PaneTabPresentation>& shown, double width, std::vector<Dir> moves = {Dir::left, Dir::right}) {
    PaneTabBarHandlers handlers;
    handlers.selection = [this](int index) { calls.push_back("select " + std::to_string(index)); };
    handlers.close = [this](int index) { calls.push_back("close " + std::to_string(index)); };
    handlers.move = [this](int index, Dir d) { calls.push_back("move " + std::to_string(index) + " " + std::string(rawValue(d))); };
    panel = std::make_unique<QtPaneTabBarPanel>(shown, std::move(moves), bar(width), std::move(handlers), icons, ToolkitSpace());
  }
  PaneTabItemView& view(std::size_t slot) { return *panel->tabItemViews().at(slot); }
  // For people to look at.
  void shoot(const char* name) { saveScreenshot(grabImage(*panel, 2.0), QString::fromLatin1(name)); }
  // Each visible tab: its index, slot, mode, title shown, select button and whether its arrows show.
  std::vector<std::tuple<int, QRect, PaneTabDisplayMode, std::string, QRect, bool>> shownTabs() {
    std::vector<std::tuple<int, QRect, PaneTabDisplayMode, std::string, QRect, bool>> result;
    for (PaneTabItemView* item : panel->tabItemViews()) {
      result.emplace_back(item->tabIndex(), item->geometry(), item->displayMode(), text(item->selectButton()->shownTitle()),
                          item->selectButton()->geometry(), item->moveButtonStack()->isVisibleTo(item));
    }
    return result;
  }

  std::shared_ptr<FakeIconProvider> provider = std::make_shared<FakeIconProvider>();
  std::shared_ptr<ApplicationIcons> icons = std::make_shared<ApplicationIcons>(provider);
  std::unique_ptr<QtPaneTabBarPanel> panel;
  std::vector<std::string> calls;
};

// Where everything is in each display mode, and how the selected, hovered and plain tabs look.
TEST_F(TabStripPanel, TabsTakeTheirSlotsInEachDisplayModeThePanelHugsThemAndTheSelectedTabIsTintedAlmostWhite) {
  using M = PaneTabDisplayMode;
  make(tabs(1), 500);
  // Flipped into Qt's y-down space about the primary screen.
  EXPECT_EQ(std::tuple(panel->windowFlags().testFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                                      Qt::WindowDoesNotAcceptFocus), panel->toolkitFrame(), panel->geometry()),
            std::tuple(true, Rect(40, 400, 166, 32), QRect(40, static_cast<int>(ToolkitSpace().screens().front().frame.maxY() - 432), 166, 32)));

  // Three in 320 points: 104 each, full mode, arrows on the selected tab only.
  make(tabs(3), 332);
  EXPECT_EQ(shownTabs(), (decltype(shownTabs()){{0, QRect(0, 0, 104, 24), M::full, "Window 0", QRect(9, 0, 32, 24), true},
                                                 {1, QRect(108, 0, 104, 24), M::full, "Window 1", QRect(9, 0, 72, 24), false},
                                                 {2, QRect(216, 0, 104, 24), M::full, "Window 2", QRect(9, 0, 72, 24), false}}));
  EXPECT_EQ(panel->overflowButton(), nullptr);
  // 84 points with one arrow: the icon replaces the title (a tab without one keeps it), the arrow shows on every tab.
  make({{"Plain", kIconless}, {"Window 1", kTerminal}, {"Window 2", kEditor}}, 272, {Dir::left});
  EXPECT_EQ(shownTabs(), (decltype(shownTabs()){{0, QRect(0, 0, 84, 24), M::iconWithMoves, "Plain", QRect(0, 0, 28, 24), true},
                                                 {1, QRect(88, 0, 84, 24), M::iconWithMoves, "", QRect(0, 0, 28, 24), true},
                                                 {2, QRect(176, 0, 84, 24), M::iconWithMoves, "", QRect(0, 0, 28, 24), true}}));
  EXPECT_EQ(view(1).closeButton()->geometry(), QRect(61, 0, 23, 24));
  shoot("tab-strip-icon-with-moves");
  make(tabs(3), 272);
  shoot("tab-strip-icon-only");
  // Ten in 300 points overflow: three placed and the selected seventh beside the "+6" button.
  make(tabs(10), 312);
  panel->updateTabs(tabs(10), 7, bar(312));
  std::vector<std::pair<int, QRect>> placed;
  for (PaneTabItemView* item : panel->tabItemViews()) placed.emplace_back(item->tabIndex(), item->geometry());
  EXPECT_EQ(placed, (std::vector<std::pair<int, QRect>>{{0, QRect(0, 0, 51, 24)}, {1, QRect(55, 0, 51, 24)},
                                                        {2, QRect(110, 0, 51, 24)}, {7, QRect(165, 0, 51, 24)}}));
  ASSERT_NE(panel->overflowButton(), nullptr);
  EXPECT_EQ(std::pair(panel->overflowButton()->geometry(), panel->toolkitFrame()), std::pair(QRect(220, 0, 40, 24), Rect(40, 400, 272, 32)));
  shoot("tab-strip-overflow");

  make(tabs(3), 500);
  panel->updateTabs(tabs(3), 1, bar(500));
  const QImage image = grabImage(*panel);
  shoot("tab-strip-full");
  // Inside each tab clear of icon and title, 5 points from its left; tabs are 154 wide with 4 between.
  const QColor unselected = image.pixelColor(6 + 5, 16), selected = image.pixelColor(6 + 158 + 5, 16);
  EXPECT_TRUE(selected.lightness() > 235 && selected.alpha() > 245) << text(selected.name(QColor::HexArgb));
  EXPECT_TRUE(unselected.lightness() < 100 && unselected.alpha() > 150) << text(unselected.name(QColor::HexArgb));
  EXPECT_LT(image.pixelColor(6 + 154 + 2, 2).alpha(), 40) << "clear between the tabs";

  // Hovered, the close button shows red behind a white cross.
  PaneTabChromeButton& close = *view(0).closeButton();
  EXPECT_EQ(std::pair(close.backgroundColor(), close.glyphColor()), std::pair(QColor(Qt::transparent), whiteColor(1.0, 0.78)));
  hover(close);
  EXPECT_EQ(std::pair(close.backgroundColor(), close.glyphColor()),
            std::pair(QColor::fromRgbF(1.0f, 59 / 255.0f, 48 / 255.0f, 0.82f), whiteColor(1.0, 1.0)));
  shoot("tab-strip-full-hover");
  // Hovering a tab in full mode shows its arrows, narrowing the title; leaving hides them.
  make(tabs(3), 600);
  hover(view(1));
  EXPECT_EQ(std::tuple(view(1).isHovered(), view(1).moveButtonStack()->geometry(), view(1).selectButton()->geometry()),
            std::tuple(true, QRect(91, 0, 40, 24), QRect(9, 0, 82, 24)));
  hover(view(1), false);
  EXPECT_EQ(std::pair(view(1).moveButtonStack()->isVisibleTo(&view(1)), view(1).selectButton()->geometry()),
            std::pair(false, QRect(9, 0, 122, 24)));
}

// Used and updated: clicks and the overflow menu report the tab index; a shown panel animates its updates.
TEST_F(TabStripPanel, ClicksAndTheOverflowMenuReportTheTabIndexAndAVisiblePanelAnimatesNewTabs) {
  make({{"Report.txt — Editor", kEditor}, {"Window 1", kTerminal}}, 600);
  EXPECT_EQ(std::tuple(text(view(0).selectButton()->toolTip()), text(view(0).closeButton()->toolTip()),
                       text(view(0).moveButtons().at(1)->toolTip())), std::tuple("Report.txt — Editor", "关闭窗口", "移到右侧"));
  // A press dragged off the close button and released there sends nothing.
  panel->show();
  PaneTabChromeButton* close = view(0).closeButton();
  const QPoint outside(close->width() + 30, 12);
  QTest::mousePress(close, Qt::LeftButton, Qt::NoModifier, close->rect().center());
  EXPECT_TRUE(close->isPressed());
  QMouseEvent drag(QEvent::MouseMove, QPointF(outside), close->mapToGlobal(QPointF(outside)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(close, &drag);
  const bool pressedOutside = close->isPressed();
  QTest::mouseRelease(close, Qt::LeftButton, Qt::NoModifier, outside);
  EXPECT_TRUE(!pressedOutside && calls.empty());

  panel->updateTabs(tabs(10), 7, bar(312));
  PaneTabOverflowButton* overflow = panel->overflowButton();
  ASSERT_NE(overflow, nullptr);
  EXPECT_EQ(std::pair(text(overflow->button()->text()), text(overflow->button()->toolTip())),
            std::pair(std::string("+6"), std::string("还有 6 个窗口")));
  std::unique_ptr<QMenu> menu(overflow->makeMenu());
  std::vector<std::pair<int, std::string>> entries;
  for (QAction* action : menu->actions()) entries.emplace_back(action->data().toInt(), text(action->text()));
  EXPECT_EQ(entries, (std::vector<std::pair<int, std::string>>{{3, "Window 3"}, {4, "Window 4"}, {5, "Window 5"},
                                                                {6, "Window 6"}, {8, "Window 8"}, {9, "Window 9"}}));
  menu->actions().at(4)->trigger();
  menu.reset();  // a child of the panel, which make() below replaces
  panel->updateTabs(tabs(10), 7, bar(1600));  // full mode, all ten shown
  QTest::mouseClick(view(7).selectButton(), Qt::LeftButton);
  QTest::mouseClick(view(7).closeButton(), Qt::LeftButton);
  QTest::mouseClick(view(7).moveButtons().at(1), Qt::LeftButton);
  EXPECT_EQ(calls, (std::vector<std::string>{"select 8", "select 7", "close 7", "move 7 right"}));

  make(tabs(3), 500);
  const int passes = panel->layoutPasses();
  panel->updateTabs(tabs(3), 0, bar(500));
  EXPECT_EQ(panel->layoutPasses(), passes) << "an equal update does no work";
  panel->updateTabs(tabs(3), 9, bar(500));
  const int selectedAfterNine = panel->selectedIndex();
  panel->updateTabs(tabs(3), -4, bar(500));
  EXPECT_EQ(std::pair(selectedAfterNine, panel->layoutPasses()), std::pair(-1, passes + 1));
  panel->updateTabs(tabs(3), 1, bar(500));
  EXPECT_EQ(panel->runningAnimation(), nullptr) << "a hidden panel changes at once";

  panel->show();
  panel->updateTabs(tabs(4), 1, bar(500));
  QAbstractAnimation* animation = panel->runningAnimation();
  ASSERT_NE(animation, nullptr);
  EXPECT_EQ(animation->duration(), 180);
  animation->setCurrentTime(180);
  EXPECT_EQ(std::tuple(panel->runningAnimation(), view(0).geometry(), view(3).geometry(), view(3).graphicsEffect()),
            std::tuple(nullptr, QRect(0, 0, 119, 24), QRect(369, 0, 119, 24), nullptr));
  panel->updateTabs(tabs(4), 2, bar(700));
  EXPECT_EQ(std::tuple(panel->runningAnimation(), view(0).geometry()), std::tuple(nullptr, QRect(0, 0, 154, 24)));

  // Shrinking keeps the width until the animation ends; the surplus tab is hidden at once.
  make(tabs(3), 600);
  panel->show();
  QPointer<PaneTabItemView> surplus(&view(2));
  panel->updateTabs(tabs(2), 0, bar(600));
  EXPECT_TRUE(!surplus || !surplus->isVisible());
  EXPECT_EQ(panel->toolkitFrame().width(), 3 * 154 + 8 + 12);
  panel->runningAnimation()->setCurrentTime(180);
  EXPECT_EQ(panel->toolkitFrame().width(), 2 * 154 + 4 + 12);
  panel->updateTabs(tabs(3), 0, bar(600));
  EXPECT_EQ(panel->toolkitFrame().width(), 3 * 154 + 8 + 12) << "growing takes the width at once";
}

}  // namespace
}  // namespace tessarapane::ui
