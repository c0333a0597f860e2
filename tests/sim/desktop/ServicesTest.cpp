// Hot keys, key monitors, user defaults, alerts and the log of the
// simulated platform.
#include "SimDesktopFixture.h"
#include "backends/sim/SimAlerts.h"
#include "backends/sim/SimHotKeys.h"
#include "backends/sim/SimLog.h"
#include "backends/sim/SimUserDefaults.h"

namespace tessarapane::testing {
namespace {

using Services = SimDesktopTest;

constexpr std::uint32_t kRightArrow = 124;
constexpr std::uint32_t kControlOption = HotKeys::kControlKey | HotKeys::kOptionKey;

TEST_F(Services, EveryPlatformMemberIsFilled) {
  EXPECT_TRUE(platform.accessibility && platform.windowServer && platform.workspace && platform.screens &&
              platform.scheduler && platform.input && platform.hotKeys && platform.systemEvents &&
              platform.userDefaults && platform.log && platform.alerts && platform.localizer);
  EXPECT_EQ(platform.scheduler.get(), clock.get());
  EXPECT_EQ(platform.localizer->localized("好"), "好");
}

TEST_F(Services, HotKeysRegisterPressAndFailForHeldChords) {
  SimHotKeys& keys = *desktop->hotKeys();
  std::vector<std::uint32_t> pressed;
  Subscription handler = platform.hotKeys->installHotKeyPressedHandler([&](HotKeyID id) {
    pressed.push_back(id.id);
    return true;
  });
  ASSERT_TRUE(handler.isActive());

  const HotKeyID moveRight{fourCharCode("TsHk"), 3};
  const HotKeyRegistration registration = platform.hotKeys->registerHotKey(kRightArrow, kControlOption, moveRight);
  EXPECT_EQ(registration.status, 0);
  ASSERT_TRUE(registration.ref);
  EXPECT_EQ(keys.pressHotKey(kRightArrow, kControlOption), true);
  EXPECT_EQ(pressed, std::vector<std::uint32_t>{3});
  EXPECT_EQ(keys.pressHotKey(kRightArrow, HotKeys::kControlKey), std::nullopt);  // not registered

  // A second registration of the same chord, or one held elsewhere, fails.
  EXPECT_NE(platform.hotKeys->registerHotKey(kRightArrow, kControlOption, HotKeyID{1, 9}).status, 0);
  keys.holdChordElsewhere(123, kControlOption);
  const HotKeyRegistration held = platform.hotKeys->registerHotKey(123, kControlOption, HotKeyID{1, 2});
  EXPECT_EQ(held.status, SimHotKeys::kHotKeyExistsStatus);
  EXPECT_FALSE(held.ref);

  platform.hotKeys->unregisterHotKey(*registration.ref);
  EXPECT_EQ(keys.pressHotKey(kRightArrow, kControlOption), std::nullopt);

  handler.cancel();
  platform.hotKeys->registerHotKey(kRightArrow, kControlOption, moveRight);
  EXPECT_EQ(keys.pressHotKey(kRightArrow, kControlOption), false);  // no handler left
  keys.failHandlerInstallation(true);
  EXPECT_FALSE(platform.hotKeys->installHotKeyPressedHandler([](HotKeyID) { return true; }).isActive());
}

TEST_F(Services, LocalMonitorsCanConsumeGlobalMonitorsOnlyWatch) {
  SimHotKeys& keys = *desktop->hotKeys();
  std::vector<std::string> seen;
  Subscription first = platform.hotKeys->addLocalKeyDownMonitor([&](const KeyEvent& event) {
    seen.push_back("first");
    return event.keyCode == 53;  // consumes Escape only
  });
  Subscription second = platform.hotKeys->addLocalKeyDownMonitor([&](const KeyEvent&) {
    seen.push_back("second");
    return false;
  });
  Subscription global = platform.hotKeys->addGlobalKeyDownMonitor([&](const KeyEvent&) { seen.push_back("global"); });

  EXPECT_TRUE(keys.sendLocalKeyDown(KeyEvent{KeyEvent::Type::keyDown, 53, 0, false}));
  EXPECT_FALSE(keys.sendLocalKeyDown(KeyEvent{KeyEvent::Type::keyDown, 0, 0, false}));
  keys.sendGlobalKeyDown(KeyEvent{KeyEvent::Type::keyDown, 124, KeyEvent::kControl, false});
  EXPECT_EQ(seen, (std::vector<std::string>{"first", "first", "second", "global"}));

  first.cancel();
  global.cancel();
  seen.clear();
  keys.sendLocalKeyDown(KeyEvent{});
  keys.sendGlobalKeyDown(KeyEvent{});
  EXPECT_EQ(seen, std::vector<std::string>{"second"});
}

TEST_F(Services, UserDefaultsKeepOneTypedValuePerKey) {
  UserDefaults& defaults = *platform.userDefaults;
  defaults.setString("rememberedLayout", "split2");
  defaults.setBool("hotKeyBindingsSaved", true);
  defaults.setData("hotKeyBindings", {1, 2, 3});
  EXPECT_EQ(defaults.stringValue("rememberedLayout"), "split2");
  EXPECT_EQ(defaults.boolValue("rememberedLayout"), std::nullopt);  // wrong type reads as nothing
  EXPECT_EQ(defaults.boolValue("hotKeyBindingsSaved"), true);
  EXPECT_EQ(defaults.dataValue("hotKeyBindings"), (std::vector<std::uint8_t>{1, 2, 3}));

  defaults.setBool("rememberedLayout", false);  // a new type replaces the old value
  EXPECT_EQ(defaults.stringValue("rememberedLayout"), std::nullopt);
  defaults.removeValue("rememberedLayout");
  EXPECT_EQ(defaults.boolValue("rememberedLayout"), std::nullopt);
  EXPECT_FALSE(desktop->userDefaults()->contains("rememberedLayout"));
  EXPECT_TRUE(desktop->userDefaults()->contains("hotKeyBindings"));
}

TEST_F(Services, AlertsAreRecordedAndAnsweredWithTheScriptedButton) {
  SimAlerts& alerts = *desktop->alerts();
  EXPECT_EQ(platform.alerts->runModal("标题", "正文", {"好"}), 0U);
  alerts.setAnswer(1);
  EXPECT_EQ(platform.alerts->runModal("t", "m", {"打开", "取消"}), 1U);
  alerts.setAnswer(7);  // out of range: dismissed, i.e. the last button
  EXPECT_EQ(platform.alerts->runModal("t", "m", {"a", "b", "c"}), 2U);
  EXPECT_EQ(platform.alerts->runModal("t", "m", {}), 0U);

  int during = 0;
  alerts.setWhileShown([&](const SimAlerts::Shown& shown) { during += static_cast<int>(shown.buttons.size()); });
  platform.alerts->runModal("t", "m", {"x", "y"});
  EXPECT_EQ(during, 2);
  ASSERT_EQ(alerts.shown().size(), 5U);
  EXPECT_EQ(alerts.shown().front().title, "标题");
  EXPECT_EQ(alerts.shown().front().message, "正文");
}

TEST_F(Services, LogKeepsLinesByCategory) {
  platform.log->write("org.example.tessarapane", "Pause", "screen parameters changed while paused");
  platform.log->write("org.example.tessarapane", "Pause", "resumed");
  platform.log->write("org.example.tessarapane", "Snapshot", "paused twice");
  EXPECT_EQ(desktop->log()->count("Pause", "paused"), 1U);
  EXPECT_EQ(desktop->log()->lines().size(), 3U);
  EXPECT_EQ(desktop->log()->lines()[0].subsystem, "org.example.tessarapane");
}

}  // namespace
}  // namespace tessarapane::testing
