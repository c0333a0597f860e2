#include "app/StatusItemController.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "StatusItemDoubles.h"
#include "backends/sim/SimAlerts.h"
#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimPlatform.h"
#include "backends/sim/SimScheduler.h"
#include "chrome/LayoutKindIcon.h"
#include "platform/Localizer.h"

namespace tessarapane {
namespace {

using testing_support::FakeLayoutControl;
using testing_support::RecordingStatusBar;
using testing_support::RecordingStatusItem;
using testing_support::RecordingStatusMenu;

const std::vector<std::string> kLayoutTitles = {"全屏（1 格）",   "左右二分（2 格）", "左右三等分（3 格）", "上下二分（2 格）",
                                                "1+2（3 格）", "2+1（3 格）",      "四等分（4 格）"};

const char* const kAccessibilityAddresses[] = {
    "x-apple.systempreferences:com.apple.settings.PrivacySecurity.extension?Privacy_Accessibility",
    "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility",
};

class StatusItemControllerTest : public ::testing::Test {
 protected:
  std::shared_ptr<StatusItemController> make() {
    StatusItemController::Callbacks callbacks;
    callbacks.onOpenHotKeySettings = [this] { events.push_back("hot key settings"); };
    callbacks.onOpenPermissionGuide = [this] { events.push_back("permission guide"); };
    callbacks.onTerminate = [this] { control->commands.push_back("terminate"); };
    return StatusItemController::create(platform, control, bar, std::move(callbacks));
  }

  RecordingStatusItem& item() { return *bar->made.back(); }
  RecordingStatusMenu& menu() { return *item().menu; }
  std::vector<std::string> opened() const { return desktop->recorder().openedAddresses(); }
  const std::vector<SimAlerts::Shown>& alerts() const { return desktop->alerts()->shown(); }

  // Every layout item's check mark, in menu order.
  std::vector<bool> layoutChecks() {
    std::vector<bool> checks;
    for (const std::string& title : kLayoutTitles) checks.push_back(menu().entry(title).isOn);
    return checks;
  }

  std::shared_ptr<SimScheduler> clock = std::make_shared<SimScheduler>();
  std::shared_ptr<SimDesktop> desktop = SimDesktop::create(clock);
  Platform platform = makeSimPlatform(desktop);
  std::shared_ptr<FakeLayoutControl> control = std::make_shared<FakeLayoutControl>();
  std::shared_ptr<RecordingStatusBar> bar = std::make_shared<RecordingStatusBar>();
  std::vector<std::string> events;
};

TEST_F(StatusItemControllerTest, TheMenuListsEighteenEntriesInOrder) {
  const auto controller = make();
  ASSERT_EQ(bar->made.size(), 1u);
  EXPECT_TRUE(item().visible);
  ASSERT_TRUE(item().image.has_value());
  EXPECT_TRUE(item().image->isTemplate);
  EXPECT_EQ(item().image->size, LayoutKindIcon::kStatusBarSize);
  EXPECT_EQ(item().toolTip, std::optional<std::string>("Tessarapane"));
  EXPECT_FALSE(item().title.has_value());
  ASSERT_TRUE(item().menu);
  EXPECT_EQ(menu().delegate.lock(), controller);

  using Kind = StatusMenuEntry::Kind;
  const auto& entries = menu().entries;
  ASSERT_EQ(entries.size(), 18u);
  EXPECT_EQ(entries, controller->entries());

  std::vector<std::string> titles;
  std::vector<Kind> kinds;
  for (const auto& entry : entries) {
    titles.push_back(entry.title);
    kinds.push_back(entry.kind);
  }
  std::vector<std::string> expectedTitles = {"Tab Mode"};
  expectedTitles.insert(expectedTitles.end(), kLayoutTitles.begin(), kLayoutTitles.end());
  expectedTitles.insert(expectedTitles.end(), {"", "Grid Mode", "网格", "", "退出当前布局", "快捷键设置…", "",
                                               "打开辅助功能权限设置…", "", "退出 Tessarapane"});
  EXPECT_EQ(titles, expectedTitles);
  const std::vector<Kind> expectedKinds = {
      Kind::sectionHeader, Kind::item, Kind::item,      Kind::item, Kind::item, Kind::item,
      Kind::item,          Kind::item, Kind::separator, Kind::sectionHeader,    Kind::item,
      Kind::separator,     Kind::item, Kind::item,      Kind::separator,        Kind::item,
      Kind::separator,     Kind::item};
  EXPECT_EQ(kinds, expectedKinds);

  for (std::size_t i = 0; i < kAllLayoutKinds.size(); ++i) {
    const auto& entry = entries[i + 1];
    EXPECT_EQ(entry.action, StatusMenuAction::startLayoutFromMenu);
    EXPECT_EQ(entry.representedObject, std::optional<std::string>(rawValue(kAllLayoutKinds[i])));
    EXPECT_EQ(entry.image, std::optional<LayoutKindIcon::Image>(LayoutKindIcon::image(kAllLayoutKinds[i])));
    EXPECT_FALSE(entry.image->isTemplate);
  }
  EXPECT_EQ(entries[10].action, StatusMenuAction::startBento);
  EXPECT_EQ(entries[10].image, std::optional<LayoutKindIcon::Image>(LayoutKindIcon::bentoImage()));
  EXPECT_EQ(entries[12].action, StatusMenuAction::exitLayout);
  EXPECT_EQ(entries[13].action, StatusMenuAction::openHotKeySettings);
  EXPECT_EQ(entries[15].action, StatusMenuAction::openAccessibilitySettings);
  EXPECT_EQ(entries[17].action, StatusMenuAction::quit);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].keyEquivalent, i == 17 ? "q" : "") << i;
    if (i != 10 && (i < 1 || i > 7)) {
      EXPECT_FALSE(entries[i].image.has_value()) << i;
    }
  }
}

TEST_F(StatusItemControllerTest, OpeningTheMenuChecksTheRunningLayout) {
  const auto controller = make();
  const std::vector<bool> none(7, false);

  menu().open();
  EXPECT_EQ(layoutChecks(), none);
  EXPECT_FALSE(menu().entry("网格").isOn);
  EXPECT_FALSE(menu().entry("退出当前布局").isEnabled);

  for (std::size_t i = 0; i < kAllLayoutKinds.size(); ++i) {
    control->runningKind = kAllLayoutKinds[i];
    menu().open();
    std::vector<bool> expected = none;
    expected[i] = true;
    EXPECT_EQ(layoutChecks(), expected) << rawValue(kAllLayoutKinds[i]);
    EXPECT_FALSE(menu().entry("网格").isOn);
    EXPECT_TRUE(menu().entry("退出当前布局").isEnabled);
  }

  control->runningKind.reset();
  for (std::size_t tiles : {std::size_t{1}, std::size_t{6}}) {
    control->bentoTiles = tiles;
    menu().open();
    EXPECT_EQ(layoutChecks(), none) << tiles;
    EXPECT_TRUE(menu().entry("网格").isOn) << tiles;
    EXPECT_TRUE(menu().entry("退出当前布局").isEnabled) << tiles;
  }

  control->bentoTiles.reset();
  menu().open();
  EXPECT_FALSE(menu().entry("网格").isOn);
  EXPECT_FALSE(menu().entry("退出当前布局").isEnabled);
  EXPECT_EQ(controller->entries(), menu().entries);
}

TEST_F(StatusItemControllerTest, ThePermissionItemFollowsTheTrustTestOnEveryOpening) {
  const auto controller = make();
  desktop->setProcessTrusted(true);
  menu().open();
  EXPECT_TRUE(menu().entry("打开辅助功能权限设置…").isOn);
  desktop->setProcessTrusted(false);
  menu().open();
  EXPECT_FALSE(menu().entry("打开辅助功能权限设置…").isOn);
}

TEST_F(StatusItemControllerTest, LayoutItemsStartTheirKindAndIgnoreUnknownNames) {
  const auto controller = make();
  menu().choose(*menu().indexOf("左右三等分（3 格）"));
  menu().choose(*menu().indexOf("全屏（1 格）"));
  EXPECT_EQ(control->commands, (std::vector<std::string>{"startLayout split3", "startLayout fullScreen"}));

  control->commands.clear();
  controller->startLayoutFromMenu(std::string("Split3"));
  controller->startLayoutFromMenu(std::string("grid"));
  controller->startLayoutFromMenu(std::nullopt);
  menu().choose(0);   // a section header
  menu().choose(8);   // a separator
  menu().choose(99);  // past the end
  EXPECT_TRUE(control->commands.empty());
}

TEST_F(StatusItemControllerTest, GridExitSettingsAndQuitReachTheirTargets) {
  const auto controller = make();
  menu().choose(*menu().indexOf("网格"));
  control->runningKind = LayoutKind::split2;
  menu().open();
  menu().choose(*menu().indexOf("退出当前布局"));
  menu().choose(*menu().indexOf("快捷键设置…"));
  EXPECT_EQ(events, std::vector<std::string>{"hot key settings"});
  menu().choose(*menu().indexOf("退出 Tessarapane"));
  // Quitting forgets the remembered layout before the application ends.
  EXPECT_EQ(control->commands,
            (std::vector<std::string>{"startBento", "exitLayout forgetting", "exitLayout forgetting", "terminate"}));
}

TEST_F(StatusItemControllerTest, TheAccessibilityItemOpensSettingsOnlyWhenTrusted) {
  const auto controller = make();
  desktop->setProcessTrusted(true);
  controller->openAccessibilitySettings();
  EXPECT_EQ(opened(), std::vector<std::string>{kAccessibilityAddresses[0]});
  EXPECT_TRUE(events.empty());

  desktop->recorder().clear();
  desktop->refuseAddress(kAccessibilityAddresses[0]);
  controller->openAccessibilitySettings();
  EXPECT_EQ(opened(), (std::vector<std::string>{kAccessibilityAddresses[0], kAccessibilityAddresses[1]}));

  desktop->recorder().clear();
  desktop->setProcessTrusted(false);
  menu().choose(*menu().indexOf("打开辅助功能权限设置…"));
  EXPECT_TRUE(opened().empty());
  EXPECT_EQ(events, std::vector<std::string>{"permission guide"});
}

TEST_F(StatusItemControllerTest, AnItemInItsPlaceIsLeftAlone) {
  const auto controller = make();
  EXPECT_TRUE(controller->isWatchingPresence());
  clock->advance(5.0);
  EXPECT_EQ(bar->made.size(), 1u);
  EXPECT_TRUE(bar->removed.empty());
  EXPECT_TRUE(alerts().empty());
  EXPECT_FALSE(controller->isWatchingPresence());
}

TEST_F(StatusItemControllerTest, AParkedItemIsRecreatedOnceAndKeepsItsMenuStates) {
  bar->nextItemFrames = {Rect(1300, 875, 0, 22)};  // the first item is parked, the second is fine
  const auto controller = make();
  control->runningKind = LayoutKind::topBottom;
  menu().open();

  clock->advance(0.69);
  EXPECT_EQ(bar->made.size(), 1u);
  clock->advance(0.02);
  ASSERT_EQ(bar->made.size(), 2u);
  ASSERT_EQ(bar->removed.size(), 1u);
  EXPECT_EQ(bar->removed[0], bar->made[0]);
  EXPECT_EQ(bar->menus.size(), 2u);
  EXPECT_TRUE(item().visible);
  EXPECT_TRUE(item().image.has_value());
  EXPECT_TRUE(menu().entry("上下二分（2 格）").isOn) << "the item entries survive the rebuild";
  EXPECT_TRUE(menu().entry("退出当前布局").isEnabled);

  clock->advance(5.0);
  EXPECT_EQ(bar->made.size(), 2u);
  EXPECT_TRUE(alerts().empty());
}

TEST_F(StatusItemControllerTest, AnItemStillHiddenOffersTheMenuBarSettingsOnce) {
  bar->nextItemFrames = {Rect(1300, 875, 0, 22), Rect(1300, 875, 24, 0), Rect(1300, 875, 1, 1)};
  desktop->refuseAddress("x-apple.systempreferences:com.apple.MenuBarSettings");
  const auto controller = make();

  clock->advance(1.39);
  EXPECT_EQ(bar->made.size(), 2u);
  EXPECT_TRUE(alerts().empty());
  clock->advance(0.02);
  ASSERT_EQ(alerts().size(), 1u);
  EXPECT_EQ(alerts()[0].title, "菜单栏图标被系统隐藏");
  EXPECT_EQ(alerts()[0].message,
            "Tessarapane 正在运行，但 macOS 没有给它分配菜单栏槽位，图标被停在了看不见的位置。\n\n"
            "请打开“系统设置 → 菜单栏”，把 Tessarapane 的开关关掉再打开；\n"
            "若仍不显示，请检查 Bartender、iBar 等菜单栏管理工具是否把它收进了隐藏区。");
  EXPECT_EQ(alerts()[0].buttons, (std::vector<std::string>{"打开菜单栏设置", "稍后"}));
  EXPECT_EQ(desktop->recorder().activations(), std::vector<ProcessID>{desktop->currentProcessID()});
  EXPECT_EQ(opened(), (std::vector<std::string>{"x-apple.systempreferences:com.apple.MenuBarSettings",
                                                "x-apple.systempreferences:com.apple.ControlCenter-Settings.extension"}));
  EXPECT_EQ(bar->made.size(), 2u) << "recreated once only";

  // Never twice in the same process, whatever asks.
  controller->watchPresence();
  clock->advance(2.0);
  controller->offerMenuBarSettingsIfNeeded();
  EXPECT_EQ(alerts().size(), 1u);
}

TEST_F(StatusItemControllerTest, LaterDoesNothingMore) {
  bar->nextItemFrames = {Rect(1300, 875, 0, 22), Rect(1300, 875, 0, 22)};
  desktop->alerts()->setAnswer(1);
  const auto controller = make();
  clock->advance(1.41);
  ASSERT_EQ(alerts().size(), 1u);
  EXPECT_TRUE(opened().empty());
  EXPECT_EQ(bar->made.size(), 2u);
}

TEST_F(StatusItemControllerTest, ParkingFollowsTheItemItsWindowAndItsScreen) {
  const auto controller = make();
  const Screen screen24{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 876)};
  const Screen screen12{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 888)};

  item().visible = false;
  EXPECT_TRUE(controller->isParkedOffMenuBar());
  item().visible = true;
  item().windowFrame = Rect(1416, 890, 0, 22);
  EXPECT_TRUE(controller->isParkedOffMenuBar());
  item().button = false;
  EXPECT_FALSE(controller->isParkedOffMenuBar()) << "no button: nothing to judge";
  item().button = true;
  item().windowFrame.reset();
  EXPECT_FALSE(controller->isParkedOffMenuBar()) << "no window: nothing to judge";

  item().screen = screen24;
  item().windowFrame = Rect(1416, 890, 24, 10);
  EXPECT_TRUE(controller->isParkedOffMenuBar());
  item().screen = screen12;
  item().windowFrame = Rect(1416, 888, 24, 12);
  EXPECT_FALSE(controller->isParkedOffMenuBar());

  // Without a screen of its own the main screen (25-point menu bar) decides.
  item().screen.reset();
  item().windowFrame = Rect(1416, 890, 24, 10);
  EXPECT_TRUE(controller->isParkedOffMenuBar());
  item().windowFrame = Rect(1300, 890, 24, 10);
  EXPECT_FALSE(controller->isParkedOffMenuBar());

  // No screen at all: only a collapsed or sunken window counts.
  desktop->setDisplays({});
  item().windowFrame = Rect(1416, 890, 24, 10);
  EXPECT_FALSE(controller->isParkedOffMenuBar());
  item().windowFrame = Rect(1416, -30, 24, 22);
  EXPECT_TRUE(controller->isParkedOffMenuBar());
}

TEST_F(StatusItemControllerTest, AControllerGoneBeforeTheCheckLeavesNothingBehind) {
  bar->nextItemFrames = {Rect(1300, 875, 0, 22)};
  auto controller = make();
  std::weak_ptr<RecordingStatusMenu> menuSeen = bar->menus.back();
  controller.reset();
  clock->advance(2.0);
  EXPECT_EQ(bar->made.size(), 1u);
  EXPECT_TRUE(alerts().empty());
  ASSERT_FALSE(menuSeen.expired());
  menuSeen.lock()->open();  // the menu's delegate is gone: nothing happens
  EXPECT_TRUE(control->commands.empty());
}

TEST_F(StatusItemControllerTest, AButtonWithoutImageShowsInitialsAndNoButtonGetsNeither) {
  bar->itemsTakeImages = false;
  auto controller = make();
  EXPECT_FALSE(item().image.has_value());
  EXPECT_EQ(item().title, std::optional<std::string>("TP"));

  bar->itemsHaveButtons = false;
  bar->itemsTakeImages = true;
  controller = make();
  EXPECT_FALSE(item().image.has_value());
  EXPECT_FALSE(item().title.has_value());
  EXPECT_FALSE(item().toolTip.has_value());
  EXPECT_TRUE(item().visible);
  EXPECT_TRUE(item().menu) << "the menu is attached all the same";
}

}  // namespace
}  // namespace tessarapane
