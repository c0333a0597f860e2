// The menu-bar icon and its menu, as the user opens and uses them.
#include "app/StatusItemController.h"

#include <gtest/gtest.h>

#include "StatusItemDoubles.h"
#include "app/StatusMenuTexts.h"
#include "permission/Permissions.h"
#include "text/TextFormat.h"
#include "backends/sim/SimAlerts.h"
#include "sim/desktop/SimDesktopTest.h"

namespace tessarapane {

using testing_support::FakeLayoutControl;
using testing_support::RecordingStatusBar;
using testing_support::RecordingStatusItem;
using testing_support::RecordingStatusMenu;

const std::string kInstalledHelp = Permissions::trayHelpAddresses()[0];
const std::string kWebHelp = "https://tessarapane.org/help/system-tray";

// "== header", "--", or the title with "+<layout>", "⌘<key>" and "icon"
// when the entry has them; then every check mark ("✓ <title>") and every
// disabled item ("no <title>").
Lines show(const std::vector<StatusMenuEntry>& entries) {
  Lines shown, states;
  for (const StatusMenuEntry& e : entries) {
    const auto kind = e.representedObject ? fromRawValue<LayoutKind>(*e.representedObject) : std::nullopt;
    if (e.kind != StatusMenuEntry::Kind::item) {
      shown.push_back((e.isEnabled ? "!" : "") + (e.kind == StatusMenuEntry::Kind::separator ? "--" : "== " + e.title));
      continue;
    }
    shown.push_back(e.title + (kind ? " +" + *e.representedObject : "") + (e.image ? " icon" : "") +
                    (e.keyEquivalent.empty() ? "" : " ⌘" + e.keyEquivalent));
    if (e.image) {
      EXPECT_EQ(*e.image, kind ? LayoutKindIcon::image(*kind) : LayoutKindIcon::bentoImage()) << e.title;
    }
    if (e.isOn) states.push_back("✓ " + e.title);
    if (!e.isEnabled) states.push_back("no " + e.title);
  }
  shown.insert(shown.end(), states.begin(), states.end());
  return shown;
}

// The menu followed by its states.
Lines menuWith(const Lines& states) {
  Lines menu = {"== Tab Mode", "全屏（1 格） +fullScreen icon", "左右二分（2 格） +split2 icon",
                "左右三等分（3 格） +split3 icon", "上下二分（2 格） +topBottom icon", "1+2（3 格） +focusStack icon",
                "2+1（3 格） +stackFocus icon", "四等分（4 格） +split4 icon", "--", "== Grid Mode", "网格 icon", "--",
                "退出当前布局", "快捷键设置…", "--", "窗口管理器状态…", "--", "退出 Tessarapane ⌘q"};
  menu.insert(menu.end(), states.begin(), states.end());
  return menu;
}

struct StatusItemSim : testing_support::SimDesktopTest {
  std::shared_ptr<StatusItemController> make() {
    auto note = [this](std::string what) { return [this, what] { control->commands.push_back(what); }; };
    return StatusItemController::create(platform, control, bar,
                                        {note("hot key settings"), note("permission guide"), note("terminate")});
  }
  RecordingStatusItem& item() { return *bar->made.back(); }
  // "visible", then "template" (the 18-point image), "title <t>", "tip <t>"
  // and "menu" when the icon has them.
  std::string icon() {
    const RecordingStatusItem& i = item();
    const bool sized = i.image && i.image->isTemplate && i.image->size == LayoutKindIcon::kStatusBarSize;
    return std::string(i.visible ? "visible" : "hidden") + (sized ? " template" : "") + (i.title ? " title " + *i.title : "") +
           (i.toolTip ? " tip " + *i.toolTip : "") + (i.menu ? " menu" : "");
  }
  RecordingStatusMenu& menu() { return *item().menu; }
  Lines opened() {
    Lines addresses = desktop->recorder().openedAddresses();
    desktop->recorder().clear();
    return addresses;
  }

  std::shared_ptr<FakeLayoutControl> control = std::make_shared<FakeLayoutControl>();
  std::shared_ptr<RecordingStatusBar> bar = std::make_shared<RecordingStatusBar>();
};

TEST_F(StatusItemSim, TheMenuShowsWhatRunsAndSendsEachChoiceToItsTarget) {
  desktop->setProcessTrusted(false);
  const auto controller = make();
  EXPECT_EQ(icon(), "visible template tip Tessarapane menu");
  EXPECT_EQ(show(menu().entries), menuWith({}));  // states come with the first opening
  menu().open();
  EXPECT_EQ(show(controller->entries()), menuWith({"no 退出当前布局"}));
  control->runningKind = LayoutKind::stackFocus;
  menu().open();
  EXPECT_EQ(show(menu().entries), menuWith({"✓ 2+1（3 格）"}));
  control->runningKind.reset();
  control->bentoTiles = 1;
  desktop->setProcessTrusted(true);
  menu().open();
  EXPECT_EQ(show(menu().entries), menuWith({"✓ 网格", "✓ 窗口管理器状态…"}));

  menu().choose("左右三等分（3 格）");
  menu().choose("网格");
  menu().choose("退出当前布局");
  menu().choose("快捷键设置…");
  menu().choose("窗口管理器状态…");  // the guide, ready or not: nothing to open
  desktop->setProcessTrusted(false);
  menu().choose("窗口管理器状态…");
  EXPECT_EQ(opened(), Lines{});
  // Headers, separators, a disabled entry and unknown layouts do nothing.
  control->bentoTiles.reset();
  for (std::size_t index : {0, 8, 12, 99}) {
    menu().open();
    menu().choose(index);
  }
  controller->startLayoutFromMenu(std::string("Split3"));
  controller->startLayoutFromMenu(std::nullopt);
  menu().choose("退出 Tessarapane");  // quitting forgets the layout first
  EXPECT_EQ(control->commands, (Lines{"startLayout split3", "startBento", "exitLayout forgetting", "hot key settings",
                                      "permission guide", "permission guide", "exitLayout forgetting", "terminate"}));
}

TEST_F(StatusItemSim, AParkedIconIsRecreatedOnceThenTheTrayHelpIsOfferedOnce) {
  // In its place: checked once, left alone.
  auto controller = make();
  EXPECT_TRUE(controller->isWatchingPresence());
  clock->advance(5.0);
  EXPECT_FALSE(controller->isWatchingPresence());

  // Parked, then fine once recreated: the item entries keep their states.
  bar->nextItemFrames = {Rect(1300, 875, 24, 25), Rect(1300, 875, 0, 22)};
  controller = make();
  control->runningKind = LayoutKind::topBottom;
  menu().open();
  clock->advance(0.69);
  const std::size_t before = bar->made.size();
  clock->advance(0.02);
  ASSERT_EQ((std::vector<std::size_t>{before, bar->made.size()}), (std::vector<std::size_t>{2, 3}));
  EXPECT_EQ(bar->removed, std::vector<std::shared_ptr<RecordingStatusItem>>{bar->made[1]});
  EXPECT_EQ(icon(), "visible template tip Tessarapane menu");
  EXPECT_EQ(show(menu().entries), menuWith({"✓ 上下二分（2 格）", "✓ 窗口管理器状态…"}));
  clock->advance(5.0);
  EXPECT_EQ(bar->made.size(), 3u);

  // Still hidden after the second look: the user is told, once, and the
  // help opens at the first address that works.
  bar->nextItemFrames.assign(6, Rect(1300, 875, 0, 22));
  desktop->refuseAddress(kInstalledHelp);
  controller = make();
  clock->advance(1.39);
  EXPECT_TRUE(desktop->alerts()->shown().empty());
  clock->advance(0.02);
  ASSERT_EQ(desktop->alerts()->shown().size(), 1u);
  const SimAlerts::Shown& alert = desktop->alerts()->shown()[0];
  EXPECT_EQ((Lines{alert.title, alert.message, alert.buttons.at(0), alert.buttons.at(1)}),
            (Lines{"找不到系统托盘", StatusMenuTexts::missingTrayMessage(), "打开帮助", "稍后"}));
  EXPECT_EQ(desktop->recorder().activations(), std::vector<ProcessID>{desktop->currentProcessID()});
  EXPECT_EQ(opened(), (Lines{kInstalledHelp, kWebHelp}));
  controller->watchPresence();
  clock->advance(2.0);
  EXPECT_EQ(desktop->alerts()->shown().size(), 1u);

  // No address opens: the user is told where the help is.
  desktop->refuseAddress(kWebHelp);
  bar->nextItemFrames.assign(bar->made.size() + 2, Rect(1300, 875, 0, 22));
  controller = make();
  clock->advance(1.5);
  EXPECT_EQ(opened(), (Lines{kInstalledHelp, kWebHelp}));
  ASSERT_EQ(desktop->alerts()->shown().size(), 3u);
  EXPECT_EQ((Lines{desktop->alerts()->shown()[2].title, desktop->alerts()->shown()[2].message}),
            (Lines{"无法打开帮助", "请在浏览器中打开：" + kWebHelp}));

  // "稍后" opens nothing; a controller gone before its check leaves nothing.
  desktop->alerts()->setAnswer(1);
  bar->nextItemFrames.assign(bar->made.size() + 4, Rect(1300, 875, 0, 22));
  controller = make();
  clock->advance(1.5);
  controller = make();
  const auto orphanMenu = item().menu;
  controller.reset();
  clock->advance(2.0);
  orphanMenu->choose("网格");
  EXPECT_EQ(desktop->alerts()->shown().size(), 4u);
  EXPECT_TRUE(opened().empty() && control->commands.empty());
}

TEST_F(StatusItemSim, ParkingIsJudgedFromTheIconsWindowAndScreen) {
  // Hidden, without button, without window; on its own screen (a 24- and a
  // 12-point menu bar), else on the main one (25 points); with no screen
  // only a collapsed or sunken window counts.
  const auto controller = make();
  auto parked = [&](std::optional<Rect> frame, double menuBar = 0, bool shown = true, bool button = true) {
    item().windowFrame = frame;
    item().screen = menuBar ? std::optional(Screen{1, Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 900 - menuBar)})
                            : std::nullopt;
    item().visible = shown;
    item().button = button;
    return controller->isParkedOffMenuBar();
  };
  std::vector<bool> judged = {parked(Rect(1300, 875, 24, 25), 0, false), parked(Rect(1416, 890, 0, 22), 0, true, false),
                              parked(std::nullopt), parked(Rect(1416, 890, 24, 10), 24), parked(Rect(1416, 888, 24, 12), 12),
                              parked(Rect(1416, 890, 24, 10)), parked(Rect(1300, 890, 24, 10))};
  desktop->setDisplays({});
  judged.insert(judged.end(), {parked(Rect(1416, 890, 24, 10)), parked(Rect(1416, -30, 24, 22)),
                               parked(Rect(1416, 890, 2, 22)), parked(Rect(1416, -21, 24, 22))});
  EXPECT_EQ(judged, (std::vector<bool>{true, false, false, true, false, true, false, false, true, false, false}));
  // An icon without image shows initials; no button gets neither.
  bar->itemsTakeImages = false;
  make();
  EXPECT_EQ(icon(), "visible title TP tip Tessarapane menu");
  bar->itemsTakeImages = bar->itemsHaveButtons = false;
  make();
  EXPECT_EQ(icon(), "visible menu");
}

// Translations may reorder the arguments; malformed formats stay as written.
TEST(TextFormat, FillsConversionsInTurnOrByPosition) {
  const Lines formatted = {
      TextFormat::format("%2$@: %1$@", {"全屏", "1 格"}), TextFormat::format("%1$ld%% of %2$@", {"50", "x"}),
      TextFormat::format("%@ and %@", {"one"}),        TextFormat::format("%3$@ %d %", {"a"}),
      TextFormat::format("%0$@ %2$@", {"a", "b"}),     TextFormat::format("%123$@ %1$x", {"a"}),
  };
  EXPECT_EQ(formatted, (Lines{"1 格: 全屏", "50% of x", "one and %@", "%3$@ %d %", "%0$@ b", "%123$@ %1$x"}));
}

}  // namespace tessarapane
