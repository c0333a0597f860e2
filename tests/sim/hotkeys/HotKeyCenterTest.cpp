#include "hotkeys/HotKeyCenter.h"

#include <gtest/gtest.h>

#include "HotKeysSimFixture.h"

namespace tessarapane {
namespace {

using testing_support::HotKeysTest;
using testing_support::keyDown;
using testing_support::kControlOption;
using testing_support::kCtrlOpt;
using testing_support::kKeyA;
using testing_support::kKeyLeft;
using testing_support::kKeyRight;
using testing_support::kKeyUp;

using HotKeyCenterTest = HotKeysTest;

TEST_F(HotKeyCenterTest, RegistersBoundActionsInCaseOrderUnderTheApplicationSignature) {
  EXPECT_TRUE(keys().hasPressedHandler());
  EXPECT_EQ(HotKeyCenter::kSignature, 0x5473486Bu);

  center->updateBindings(KeyChord::defaultBindings());

  const auto registered = keys().registrations();
  ASSERT_EQ(registered.size(), 5u);
  const std::uint32_t expectedKeys[] = {123, 124, 126, 125, 36};
  for (std::size_t i = 0; i < registered.size(); ++i) {
    EXPECT_EQ(registered[i].id.signature, 0x5473486Bu);
    EXPECT_EQ(registered[i].id.id, i + 1);
    EXPECT_EQ(registered[i].keyCode, expectedKeys[i]);
    EXPECT_EQ(registered[i].modifiers, 6144u);
  }
  EXPECT_EQ(keys().localMonitorCount(), 1u);
  EXPECT_EQ(keys().globalMonitorCount(), 1u);

  // Each registered chord reaches its own action.
  for (HotKeyAction action : kAllHotKeyActions) {
    const KeyChord chord = KeyChord::defaultChord(action);
    EXPECT_EQ(press(chord.keyCode), std::optional<bool>(true));
    clock->advance(0.1);
  }
  EXPECT_EQ(delivered(), std::vector<HotKeyAction>(kAllHotKeyActions.begin(), kAllHotKeyActions.end()));
}

TEST_F(HotKeyCenterTest, ARefusedChordIsSkippedAndStillArrivesThroughTheMonitors) {
  keys().holdChordElsewhere(kKeyRight, kCtrlOpt);
  center->updateBindings(KeyChord::defaultBindings());

  EXPECT_EQ(center->registeredActions(),
            (std::vector<HotKeyAction>{HotKeyAction::moveLeft, HotKeyAction::moveUp, HotKeyAction::moveDown,
                                       HotKeyAction::fullScreen}));
  EXPECT_FALSE(keys().isRegistered(kKeyRight, kCtrlOpt));
  EXPECT_TRUE(keys().isRegistered(kKeyUp, kCtrlOpt));

  keys().sendGlobalKeyDown(keyDown(kKeyRight, kControlOption));
  EXPECT_TRUE(deliveries.empty()) << "the global monitor only posts to the main thread";
  clock->runPending();
  EXPECT_EQ(delivered(), std::vector<HotKeyAction>{HotKeyAction::moveRight});
}

TEST_F(HotKeyCenterTest, APressOnTwoPathsIsDeliveredOnceAndAgainAfterTheWindow) {
  center->updateBindings(KeyChord::defaultBindings());

  EXPECT_EQ(press(kKeyLeft), std::optional<bool>(true));
  keys().sendGlobalKeyDown(keyDown(kKeyLeft, kControlOption));
  clock->runPending();
  EXPECT_EQ(delivered(), std::vector<HotKeyAction>{HotKeyAction::moveLeft});

  // 50 ms later: still inside the window, dropped without renewing it.
  clock->advance(0.05);
  press(kKeyLeft);
  clock->runPending();
  EXPECT_EQ(deliveries.size(), 1u);

  // 100 ms after the first delivery.
  clock->advance(0.05);
  press(kKeyLeft);
  clock->runPending();
  ASSERT_EQ(deliveries.size(), 2u);
  EXPECT_NEAR(deliveries[1].time - deliveries[0].time, 0.1, 1e-9);
}

TEST_F(HotKeyCenterTest, OnlyTheSameActionIsDeduplicated) {
  center->updateBindings(KeyChord::defaultBindings());
  press(kKeyLeft);
  clock->advance(0.01);
  press(kKeyRight);
  clock->advance(0.01);
  EXPECT_EQ(delivered(), (std::vector<HotKeyAction>{HotKeyAction::moveLeft, HotKeyAction::moveRight}));
}

TEST_F(HotKeyCenterTest, TheLocalMonitorDeliversAtOnceAndConsumesOnlyBoundChords) {
  center->updateBindings(KeyChord::defaultBindings());

  EXPECT_TRUE(keys().sendLocalKeyDown(keyDown(kKeyUp, kControlOption)));
  EXPECT_EQ(delivered(), std::vector<HotKeyAction>{HotKeyAction::moveUp}) << "synchronous, no main-loop turn";

  EXPECT_FALSE(keys().sendLocalKeyDown(keyDown(kKeyA, kControlOption)));
  EXPECT_FALSE(keys().sendLocalKeyDown(keyDown(kKeyUp, KeyEvent::kControl)));
  KeyEvent up = keyDown(kKeyLeft, kControlOption);
  up.type = KeyEvent::Type::keyUp;
  EXPECT_FALSE(keys().sendLocalKeyDown(up));
  clock->runPending();
  EXPECT_EQ(deliveries.size(), 1u);
}

TEST_F(HotKeyCenterTest, AutoRepeatsAreNeverDelivered) {
  center->updateBindings(KeyChord::defaultBindings());

  EXPECT_FALSE(keys().sendLocalKeyDown(keyDown(kKeyLeft, kControlOption, true)));
  keys().sendGlobalKeyDown(keyDown(kKeyLeft, kControlOption, true));
  clock->advance(1.0);
  EXPECT_TRUE(deliveries.empty());

  // Holding the key: the first press counts, the repeats well after the
  // de-duplication window do not.
  keys().sendGlobalKeyDown(keyDown(kKeyLeft, kControlOption));
  for (int i = 0; i < 10; ++i) {
    clock->advance(0.1);
    keys().sendGlobalKeyDown(keyDown(kKeyLeft, kControlOption, true));
  }
  clock->runPending();
  EXPECT_EQ(deliveries.size(), 1u);
}

TEST_F(HotKeyCenterTest, SuspensionSilencesEveryPathUntilResumed) {
  center->updateBindings(KeyChord::defaultBindings());
  center->setSuspended(true);

  EXPECT_TRUE(center->isSuspended());
  EXPECT_TRUE(keys().registrations().empty());
  EXPECT_EQ(keys().localMonitorCount(), 0u);
  EXPECT_EQ(keys().globalMonitorCount(), 0u);
  EXPECT_FALSE(press(kKeyLeft).has_value());
  EXPECT_FALSE(keys().sendLocalKeyDown(keyDown(kKeyLeft, kControlOption)));
  keys().sendGlobalKeyDown(keyDown(kKeyLeft, kControlOption));

  // A change while suspended is only stored.
  HotKeyBindings changed = KeyChord::defaultBindings();
  changed[HotKeyAction::moveLeft] = KeyChord{kKeyA, KeyChord::kControl};
  center->updateBindings(changed);
  EXPECT_TRUE(keys().registrations().empty());
  EXPECT_EQ(center->bindings(), changed);
  clock->advance(1.0);
  EXPECT_TRUE(deliveries.empty());

  center->setSuspended(false);
  EXPECT_EQ(keys().registrations().size(), 5u);
  EXPECT_TRUE(keys().isRegistered(kKeyA, KeyChord::kControl));
  EXPECT_FALSE(keys().isRegistered(kKeyLeft, kCtrlOpt));
  press(kKeyA, KeyChord::kControl);
  clock->runPending();
  EXPECT_EQ(delivered(), std::vector<HotKeyAction>{HotKeyAction::moveLeft});
}

TEST_F(HotKeyCenterTest, AGlobalKeyQueuedBeforeSuspensionDoesNotFireDuringIt) {
  center->updateBindings(KeyChord::defaultBindings());
  keys().sendGlobalKeyDown(keyDown(kKeyLeft, kControlOption));
  center->setSuspended(true);
  clock->runPending();
  EXPECT_TRUE(deliveries.empty());
}

TEST_F(HotKeyCenterTest, AnEmptyMapInstallsNoMonitorAndConsumesNothing) {
  center->updateBindings({});
  EXPECT_TRUE(keys().registrations().empty());
  EXPECT_EQ(keys().localMonitorCount(), 0u);
  EXPECT_EQ(keys().globalMonitorCount(), 0u);
  EXPECT_FALSE(keys().sendLocalKeyDown(keyDown(kKeyLeft, kControlOption)));

  // From bound to empty removes what was there.
  center->updateBindings(KeyChord::defaultBindings());
  center->updateBindings({});
  EXPECT_TRUE(keys().registrations().empty());
  EXPECT_EQ(keys().localMonitorCount(), 0u);
  EXPECT_EQ(keys().globalMonitorCount(), 0u);
}

TEST_F(HotKeyCenterTest, RebindingReleasesTheOldChordAndTakesTheNewOne) {
  center->updateBindings(KeyChord::defaultBindings());
  HotKeyBindings changed = KeyChord::defaultBindings();
  changed.erase(HotKeyAction::moveDown);
  changed[HotKeyAction::moveLeft] = KeyChord{kKeyA, KeyChord::kCommand | KeyChord::kShift};
  center->updateBindings(changed);

  EXPECT_EQ(keys().registrations().size(), 4u);
  EXPECT_EQ(keys().localMonitorCount(), 1u);
  EXPECT_EQ(keys().globalMonitorCount(), 1u);
  EXPECT_FALSE(press(kKeyLeft).has_value());
  EXPECT_FALSE(keys().isRegistered(125, kCtrlOpt));
  keys().sendGlobalKeyDown(keyDown(kKeyLeft, kControlOption));
  clock->runPending();
  EXPECT_TRUE(deliveries.empty());

  press(kKeyA, KeyChord::kCommand | KeyChord::kShift);
  clock->runPending();
  EXPECT_EQ(delivered(), std::vector<HotKeyAction>{HotKeyAction::moveLeft});
}

TEST_F(HotKeyCenterTest, UnregisterAllForgetsTheLastDelivery) {
  center->updateBindings(KeyChord::defaultBindings());
  press(kKeyLeft);
  clock->runPending();
  center->unregisterAll();
  EXPECT_TRUE(keys().registrations().empty());
  EXPECT_EQ(keys().localMonitorCount(), 0u);

  center->updateBindings(KeyChord::defaultBindings());
  clock->advance(0.01);
  press(kKeyLeft);
  clock->runPending();
  EXPECT_EQ(deliveries.size(), 2u);
}

TEST_F(HotKeyCenterTest, ForeignSignaturesAndUnknownIdentifiersAreNotOurs) {
  center->updateBindings(KeyChord::defaultBindings());
  const auto foreign = platform.hotKeys->registerHotKey(kKeyA, KeyChord::kControl, HotKeyID{fourCharCode("Othr"), 1});
  ASSERT_EQ(foreign.status, 0);
  EXPECT_EQ(press(kKeyA, KeyChord::kControl), std::optional<bool>(false));

  // Our signature with an id no action was registered under.
  const auto stray = platform.hotKeys->registerHotKey(kKeyA, KeyChord::kShift, HotKeyID{HotKeyCenter::kSignature, 42});
  ASSERT_EQ(stray.status, 0);
  EXPECT_EQ(press(kKeyA, KeyChord::kShift), std::optional<bool>(true));
  clock->runPending();
  EXPECT_TRUE(deliveries.empty());
}

TEST_F(HotKeyCenterTest, PressesQueuedForAGoneCenterDoNothing) {
  center->updateBindings(KeyChord::defaultBindings());
  press(kKeyLeft);
  keys().sendGlobalKeyDown(keyDown(kKeyRight, kControlOption));
  center.reset();

  EXPECT_TRUE(keys().registrations().empty()) << "the center gives its keys back when it goes";
  EXPECT_FALSE(keys().hasPressedHandler());
  EXPECT_EQ(keys().globalMonitorCount(), 0u);
  EXPECT_TRUE(clock->runPending());
  EXPECT_TRUE(deliveries.empty());
}

TEST_F(HotKeyCenterTest, WithoutThePressedHandlerTheMonitorsStillWork) {
  center.reset();
  keys().failHandlerInstallation(true);
  center = makeCenter();
  EXPECT_FALSE(center->hasEventHandler());

  center->updateBindings(KeyChord::defaultBindings());
  EXPECT_EQ(keys().registrations().size(), 5u);
  EXPECT_EQ(press(kKeyLeft), std::optional<bool>(false));
  keys().sendGlobalKeyDown(keyDown(kKeyLeft, kControlOption));
  clock->runPending();
  EXPECT_EQ(delivered(), std::vector<HotKeyAction>{HotKeyAction::moveLeft});
}

}  // namespace
}  // namespace tessarapane
