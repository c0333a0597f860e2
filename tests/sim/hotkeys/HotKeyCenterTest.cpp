// The live hot keys: what is registered, and what each press delivers.
#include "hotkeys/HotKeyCenter.h"

#include <gtest/gtest.h>

#include "HotKeysSim.h"

namespace tessarapane {


TEST_F(HotKeysSim, EveryPathDeliversAPressOnceAndSuspensionSilencesThemAll) {
  center->updateBindings(KeyChord::defaultBindings());
  EXPECT_EQ(registered(), (Lines{"1:⌃⌥←", "2:⌃⌥→", "3:⌃⌥↑", "4:⌃⌥↓", "5:⌃⌥↩"}));
  for (HotKeyAction action : kAllHotKeyActions) {
    EXPECT_EQ(press(KeyChord::defaultChord(action).keyCode), std::optional<bool>(true));
    clock->advance(0.1);
  }
  EXPECT_EQ(delivered(), (Lines{"moveLeft@0", "moveRight@100", "moveUp@200", "moveDown@300", "fullScreen@400"}));

  // One press seen by the hot key and the global monitor is one delivery;
  // the same action again within 80 ms is dropped without renewing the
  // window, another action is not.
  press(kKeyLeft);
  keys().sendGlobalKeyDown(keyDown(kKeyLeft, kControlOption));
  clock->advance(0.05);
  press(kKeyLeft);
  clock->advance(0.05);
  press(kKeyLeft);
  press(kKeyRight);
  // The local monitor delivers at once and consumes only bound key-downs
  // that are not repeats.
  clock->advance(0.1);
  EXPECT_TRUE(keys().sendLocalKeyDown(keyDown(kKeyUp, kControlOption)));
  EXPECT_FALSE(keys().sendLocalKeyDown(keyDown(kKeyA, kControlOption)));
  EXPECT_FALSE(keys().sendLocalKeyDown(keyDown(kKeyUp, KeyEvent::kControl)));
  EXPECT_FALSE(keys().sendLocalKeyDown(KeyEvent{KeyEvent::Type::keyUp, kKeyRight, kControlOption, false}));
  clock->advance(0.1);
  EXPECT_FALSE(keys().sendLocalKeyDown(keyDown(kKeyUp, kControlOption, true)));
  keys().sendGlobalKeyDown(keyDown(kKeyUp, kControlOption, true));
  EXPECT_EQ(delivered(), (Lines{"moveLeft@500", "moveLeft@600", "moveRight@600", "moveUp@700"}));

  // Suspended: nothing registered, no monitor, and a global key queued just
  // before does not fire. A change meanwhile is only kept.
  keys().sendGlobalKeyDown(keyDown(kKeyRight, kControlOption));
  center->setSuspended(true);
  HotKeyBindings changed = KeyChord::defaultBindings();
  changed[HotKeyAction::moveLeft] = KeyChord{kKeyA, KeyChord::kCommand | KeyChord::kShift};
  changed.erase(HotKeyAction::moveDown);
  center->updateBindings(changed);
  EXPECT_EQ(registered(), Lines{});
  EXPECT_FALSE(keys().sendLocalKeyDown(keyDown(kKeyUp, kControlOption)));
  EXPECT_EQ(delivered(), Lines{});
  center->setSuspended(false);
  EXPECT_EQ(registered(), (Lines{"1:⇧⌘A", "2:⌃⌥→", "3:⌃⌥↑", "5:⌃⌥↩"}));
  EXPECT_FALSE(press(kKeyLeft).has_value());
  keys().sendGlobalKeyDown(keyDown(kKeyLeft, kControlOption));
  press(kKeyA, KeyChord::kCommand | KeyChord::kShift);
  EXPECT_EQ(delivered(), Lines{"moveLeft@800"});

  // Giving everything back forgets the last delivery too.
  center->unregisterAll();
  center->updateBindings(changed);
  keys().sendGlobalKeyDown(keyDown(kKeyA, KeyEvent::kCommand | KeyEvent::kShift));
  EXPECT_EQ(delivered(), Lines{"moveLeft@800"});

  // No bindings: no monitor either, and nothing is consumed.
  center->updateBindings({});
  EXPECT_EQ(keys().localMonitorCount() + keys().globalMonitorCount(), 0u);
  EXPECT_FALSE(keys().sendLocalKeyDown(keyDown(kKeyUp, kControlOption)));
}

TEST_F(HotKeysSim, ForeignKeysAndAGoneCenter) {
  center->updateBindings(KeyChord::defaultBindings());
  keys().sendGlobalKeyDown(keyDown(kKeyRight, kControlOption));
  EXPECT_TRUE(log.empty()) << "the global monitor only posts to the main thread";
  EXPECT_EQ(delivered(), Lines{"moveRight@0"});

  // Another signature is not ours; our signature with an unknown id is ours
  // but delivers nothing.
  ASSERT_EQ(platform.hotKeys->registerHotKey(kKeyA, KeyChord::kControl, HotKeyID{fourCharCode("Othr"), 1}).status, 0);
  ASSERT_EQ(platform.hotKeys->registerHotKey(kKeyA, KeyChord::kShift, HotKeyID{HotKeyCenter::kSignature, 42}).status, 0);
  EXPECT_EQ(press(kKeyA, KeyChord::kControl), std::optional<bool>(false));
  EXPECT_EQ(press(kKeyA, KeyChord::kShift), std::optional<bool>(true));
  EXPECT_EQ(delivered(), Lines{});

  // A center that goes gives its keys back; what it queued does nothing.
  press(kKeyLeft);
  keys().sendGlobalKeyDown(keyDown(kKeyUp, kControlOption));
  center.reset();
  EXPECT_EQ(keys().registrations().size() + keys().localMonitorCount() + keys().globalMonitorCount(), 2u);
  EXPECT_FALSE(keys().hasPressedHandler());
  EXPECT_EQ(delivered(), Lines{});

}

}  // namespace tessarapane
