// Chords the window manager holds: left to it on every path, named to the
// user once, and marked in the settings until the user picks another.
#include <gtest/gtest.h>

#include "backends/sim/SimAlerts.h"
#include "backends/sim/SimLog.h"
#include "sim/appdelegate/AppDelegateSim.h"

namespace tessarapane {

using namespace testing_support;

TEST_F(AppDelegateSim, ChordsTheWindowManagerHoldsAreLeftToItNamedOnceAndMarkedUntilReplaced) {
  SimHotKeys& keys = *desktop->hotKeys();
  keys.holdChordElsewhere(kKeyRight, KeyChord::kDefaultModifiers);
  keys.holdChordElsewhere(kKeyReturn, KeyChord::kDefaultModifiers);
  open("b", Rect(700, 100, 400, 300));
  open("a", Rect(100, 100, 400, 300));
  launch();
  const auto registered = [&] {
    Lines shown;
    for (const auto& r : keys.registrations()) shown.push_back(KeyChord{r.keyCode, r.modifiers}.displayString());
    return shown;
  };
  const auto rows = [&] {
    Lines shown;
    for (const auto& group : settingsWindow->drawn) {
      for (const auto& row : group.rows) shown.push_back(row.chordText + (row.isHeldElsewhere ? " !" : ""));
    }
    return shown;
  };
  const auto chordDown = [](std::uint16_t key) {
    return KeyEvent{KeyEvent::Type::keyDown, key, KeyEvent::kControl | KeyEvent::kOption, false};
  };
  EXPECT_EQ(registered(), (Lines{"⌃⌥←", "⌃⌥↑", "⌃⌥↓"}));

  // One notice for both, with the restore; its first button opens the
  // settings, which mark both.
  clock->advance(0.99);
  EXPECT_TRUE(desktop->alerts()->shown().empty());
  clock->advance(0.02);
  ASSERT_EQ(desktop->alerts()->shown().size(), 1u);
  const SimAlerts::Shown& notice = desktop->alerts()->shown()[0];
  EXPECT_EQ(notice.title + "|" + notice.message,
            "快捷键已被占用|窗口管理器已在使用以下快捷键，Tessarapane 不会响应它们：\n⌃⌥→（移到右侧）\n⌃⌥↩（全屏）\n\n"
            "可以在快捷键设置中为这些操作另选快捷键，或在窗口管理器的设置中解除这些快捷键。");
  EXPECT_EQ(notice.buttons, (Lines{"快捷键设置…", "稍后"}));
  EXPECT_EQ(settingsWindow->shows, 1);
  EXPECT_EQ(rows(), (Lines{"⌃⌥←", "⌃⌥→（已被窗口管理器占用） !", "⌃⌥↑", "⌃⌥↓", "⌃⌥↩（已被窗口管理器占用） !"}));

  // A held chord does nothing on any path; a free one moves the tab.
  choose("左右二分（2 格）");
  const PaneIDs laidOut = panes();
  ASSERT_EQ(laidOut.size(), 2u);
  const WindowID left = laidOut[0].at(0), right = laidOut[1].at(0);
  desktop->focusWindow(left);
  clock->advance(5.0);
  EXPECT_EQ(press(kKeyRight), std::nullopt);
  keys.sendGlobalKeyDown(chordDown(kKeyRight));
  EXPECT_FALSE(keys.sendLocalKeyDown(chordDown(kKeyReturn)));
  clock->advance(5.0);
  EXPECT_EQ(panes(), laidOut);
  desktop->focusWindow(right);
  clock->advance(5.0);
  EXPECT_EQ(press(kKeyLeft), std::optional<bool>(true));
  EXPECT_EQ(panes(), (PaneIDs{{left, right}, {}}));

  // A free chord recorded instead clears the mark and works; a held one
  // recorded is marked at once. Nothing is told twice.
  const auto record = [&](HotKeyAction action, std::uint16_t key) {
    delegate->hotKeySettingsWindowController()->record(action);
    EXPECT_TRUE(keys.sendLocalKeyDown(chordDown(key)));
  };
  record(HotKeyAction::moveRight, kKeyL);
  record(HotKeyAction::fullScreen, kKeyRight);
  EXPECT_EQ(rows(), (Lines{"⌃⌥←", "⌃⌥L", "⌃⌥↑", "⌃⌥↓", "⌃⌥→（已被窗口管理器占用） !"}));
  EXPECT_EQ(registered(), (Lines{"⌃⌥←", "⌃⌥L", "⌃⌥↑", "⌃⌥↓"}));
  desktop->focusWindow(right);
  clock->advance(5.0);
  EXPECT_EQ(press(kKeyL), std::optional<bool>(true));
  EXPECT_EQ(panes(), laidOut);
  EXPECT_EQ(desktop->alerts()->shown().size(), 1u);
  Lines logged;
  for (const auto& line : desktop->log()->lines()) {
    if (line.category == "HotKeys") logged.push_back(line.text);
  }
  EXPECT_EQ(logged, (Lines{"⌃⌥→ (moveRight) is held by another client, most likely the window manager; Tessarapane "
                           "leaves it alone",
                           "⌃⌥↩ (fullScreen) is held by another client, most likely the window manager; Tessarapane "
                           "leaves it alone"}));
}

}  // namespace tessarapane
