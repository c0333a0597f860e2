// The user's bindings: how they are kept, and the settings window that
// records new chords while the hot keys wait.
#include <gtest/gtest.h>

#include "HotKeysSim.h"
#include "hotkeys/HotKeyRecorder.h"
#include "hotkeys/HotKeySettingsContent.h"
#include "hotkeys/HotKeySettingsStore.h"
#include "hotkeys/HotKeySettingsWindowController.h"

namespace tessarapane {


// Draws the window as text: "# <section>" (with "+note" when it has its
// caption), a line per row, "! <conflict>" under the list.
struct TextSettingsWindow final : HotKeySettingsWindow {
  void show() override { visible = true; }
  void close() override { visible = false; }
  bool isVisible() const override { return visible; }
  void refreshRows(const std::vector<HotKeySettingsGroup>& groups) override {
    rows.clear();
    for (const auto& group : groups) {
      rows.push_back("# " + group.title + (group.note ? " +note" : ""));
      for (const auto& row : group.rows) {
        EXPECT_EQ(row.clearButtonHelp, "移除快捷键");
        rows.push_back(row.title + " " + row.chordText + " [" + row.recordButtonTitle + "]" +
                       (row.showsClearButton ? " [x]" : "") + (row.isRecording ? " *" : ""));
      }
    }
  }
  void showConflict(const std::optional<std::string>& message) override { conflict = message; }
  Lines drawn() const {
    Lines all = rows;
    if (conflict) all.push_back("! " + *conflict);
    return all;
  }

  bool visible = false;
  Lines rows;
  std::optional<std::string> conflict;
};

TEST_F(HotKeysSim, ChordsRecordedInTheSettingsWindowAreKeptAndRegisteredAtOnce) {
  // Wired as the application delegate wires it; nothing saved yet.
  SimUserDefaults& defaults = *desktop->userDefaults();
  auto relaunched = [&] { return HotKeySettingsStore(desktop->userDefaults()).bindings(); };
  auto store = std::make_shared<HotKeySettingsStore>(desktop->userDefaults());
  std::weak_ptr<HotKeyCenter> weak = center;
  store->onChange = [weak](const HotKeyBindings& bindings) {
    if (const auto live = weak.lock()) live->updateBindings(bindings);
  };
  center->updateBindings(store->bindings());
  auto window = std::make_shared<TextSettingsWindow>();
  auto controller = HotKeySettingsWindowController::create(store, center, platform.hotKeys, window);
  auto type = [&](std::uint16_t key, std::uint64_t flags = 0) { return keys().sendLocalKeyDown(keyDown(key, flags)); };
  controller->showWindow();
  EXPECT_TRUE(window->visible && HotKeySettingsContent::windowTitle() == "快捷键设置");

  // Recording suspends every hot key; a key without a modifier is consumed
  // and ignored; a chord another action holds is refused, written nowhere,
  // and shown until the next recording starts.
  controller->record(HotKeyAction::moveLeft);
  EXPECT_EQ(registered(), Lines{});
  EXPECT_TRUE(type(kKeyA));
  EXPECT_EQ(window->drawn(), (Lines{"# 移动窗口 +note", "移到左侧 按下快捷键… [取消] *", "移到右侧 ⌃⌥→ [设置] [x]",
                                    "移到上方 ⌃⌥↑ [设置] [x]", "移到下方 ⌃⌥↓ [设置] [x]", "# 布局",
                                    "全屏 ⌃⌥↩ [设置] [x]"}));
  EXPECT_TRUE(type(kKeyRight, kControlOption));  // recorded, not fired
  EXPECT_EQ(delivered(), Lines{});
  EXPECT_EQ(window->conflict, "快捷键已被「移到右侧」占用");
  EXPECT_EQ(defaults.writeCount(), 0u);
  controller->record(HotKeyAction::moveLeft);
  EXPECT_EQ(window->conflict, std::nullopt);
  EXPECT_TRUE(type(kKeyForwardDelete, KeyEvent::kControl | KeyEvent::kCapsLock));
  EXPECT_EQ(registered(), (Lines{"1:⌃⌦", "2:⌃⌥→", "3:⌃⌥↑", "4:⌃⌥↓", "5:⌃⌥↩"}));

  // Delete alone clears, with a modifier it is a chord; Escape cancels even
  // with modifiers, as does the row's button.
  controller->record(HotKeyAction::moveUp);
  type(kKeyDelete);
  controller->record(HotKeyAction::moveDown);
  type(kKeyForwardDelete);
  controller->record(HotKeyAction::moveUp);
  type(kKeyY, KeyEvent::kCommand | KeyEvent::kFunction);
  controller->record(HotKeyAction::moveDown);
  type(kKey7, KeyEvent::kOption | KeyEvent::kShift);
  const std::size_t writes = defaults.writeCount();
  controller->record(HotKeyAction::fullScreen);
  type(kKeyEscape, KeyEvent::kControl);
  controller->record(HotKeyAction::moveRight);
  controller->cancelRecording();
  controller->record(HotKeyAction::fullScreen);
  type(kKeyY, KeyEvent::kCommand);
  EXPECT_EQ(defaults.writeCount(), writes);
  EXPECT_EQ(window->drawn(), (Lines{"# 移动窗口 +note", "移到左侧 ⌃⌦ [设置] [x]", "移到右侧 ⌃⌥→ [设置] [x]",
                                    "移到上方 ⌘Y [设置] [x]", "移到下方 ⌥⇧7 [设置] [x]", "# 布局",
                                    "全屏 ⌃⌥↩ [设置] [x]", "! 快捷键已被「移到上方」占用"}));

  // Removing a binding takes the conflict away with it.
  controller->clear(HotKeyAction::fullScreen);
  EXPECT_EQ(window->drawn(), (Lines{"# 移动窗口 +note", "移到左侧 ⌃⌦ [设置] [x]", "移到右侧 ⌃⌥→ [设置] [x]",
                                    "移到上方 ⌘Y [设置] [x]", "移到下方 ⌥⇧7 [设置] [x]", "# 布局", "全屏 未设置 [设置]"}));
  // Removing another binding spares a recording; removing the one being
  // recorded ends it as a removal.
  controller->record(HotKeyAction::moveRight);
  controller->clear(HotKeyAction::fullScreen);
  EXPECT_EQ(registered(), Lines{});
  controller->clear(HotKeyAction::moveRight);
  EXPECT_EQ(registered(), (Lines{"1:⌃⌦", "3:⌘Y", "4:⌥⇧7"}));
  press(kKeyY, KeyChord::kCommand);
  EXPECT_EQ(delivered(), Lines{"moveUp@0"});
  EXPECT_EQ(relaunched(), store->bindings());

  // Closing the window or losing the view ends a recording and brings every
  // hot key back.
  controller->record(HotKeyAction::moveLeft);
  window->close();
  controller->windowWillClose();
  EXPECT_EQ(registered(), (Lines{"1:⌃⌦", "3:⌘Y", "4:⌥⇧7"}));
  controller->record(HotKeyAction::moveLeft);
  controller->viewDidDisappear();
  EXPECT_EQ(window->drawn()[1], "移到左侧 ⌃⌦ [设置] [x]");

  // Every binding removed is kept as none, not as the defaults; only a true
  // boolean marks bindings as saved.
  for (HotKeyAction action : kAllHotKeyActions) controller->clear(action);
  EXPECT_TRUE(relaunched().empty());
  defaults.setString(HotKeySettingsStore::kSavedKey, "true");
  EXPECT_EQ(relaunched(), KeyChord::defaultBindings());

  // A gone window or center is left alone.
  window.reset();
  controller->record(HotKeyAction::moveRight);
  center.reset();
  type(kKeyA, KeyEvent::kOption);
  controller->windowWillClose();
  EXPECT_EQ(store->chord(HotKeyAction::moveRight), (KeyChord{kKeyA, KeyChord::kOption}));
}

}  // namespace tessarapane
