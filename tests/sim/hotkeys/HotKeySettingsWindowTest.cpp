#include "hotkeys/HotKeySettingsWindowController.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "HotKeysSimFixture.h"
#include "hotkeys/HotKeyRecorder.h"
#include "hotkeys/HotKeySettingsContent.h"
#include "hotkeys/HotKeySettingsStore.h"
#include "hotkeys/HotKeySettingsWindow.h"

namespace tessarapane {
namespace {

using testing_support::HotKeysTest;
using testing_support::keyDown;
using testing_support::kControlOption;
using testing_support::kCtrlOpt;
using testing_support::kKeyA;
using testing_support::kKeyDelete;
using testing_support::kKeyEscape;
using testing_support::kKeyForwardDelete;
using testing_support::kKeyLeft;
using testing_support::kKeyReturn;

// Records what the controller asks of the window.
class RecordingSettingsWindow final : public HotKeySettingsWindow {
 public:
  void show() override {
    ++shows;
    visible = true;
  }
  void close() override { visible = false; }
  bool isVisible() const override { return visible; }
  void refreshRows(const std::vector<HotKeySettingsGroup>& shown) override { groups = shown; }
  void showConflict(const std::optional<std::string>& message) override { conflict = message; }

  const HotKeyBindingRow& row(HotKeyAction action) const {
    for (const auto& group : groups) {
      for (const auto& row : group.rows) {
        if (row.action == action) return row;
      }
    }
    throw std::logic_error("no such row");
  }

  int shows = 0;
  bool visible = false;
  std::vector<HotKeySettingsGroup> groups;
  std::optional<std::string> conflict;
};

// The window wired as the application delegate wires it: the store's changes
// go to the center, the center's actions are recorded.
class HotKeySettingsWindowTest : public HotKeysTest {
 protected:
  void SetUp() override {
    HotKeysTest::SetUp();
    std::weak_ptr<HotKeyCenter> weak = center;
    store->onChange = [weak](const HotKeyBindings& bindings) {
      if (const auto live = weak.lock()) live->updateBindings(bindings);
    };
    center->updateBindings(store->bindings());
    controller = HotKeySettingsWindowController::create(store, center, platform.hotKeys, window);
    controller->showWindow();
  }

  HotKeyRecorder& recorder() { return *controller->recorder(); }
  // A key-down inside the application.
  bool type(std::uint16_t keyCode, std::uint64_t flags = 0) { return keys().sendLocalKeyDown(keyDown(keyCode, flags)); }
  bool centerIsLive() { return !center->isSuspended() && keys().registrations().size() == store->bindings().size(); }

  std::shared_ptr<HotKeySettingsStore> store = std::make_shared<HotKeySettingsStore>(desktop->userDefaults());
  std::shared_ptr<RecordingSettingsWindow> window = std::make_shared<RecordingSettingsWindow>();
  std::shared_ptr<HotKeySettingsWindowController> controller;
};

TEST_F(HotKeySettingsWindowTest, RowsShowSectionsChordsAndButtons) {
  EXPECT_EQ(window->shows, 1);
  EXPECT_EQ(HotKeySettingsContent::windowTitle(), "快捷键设置");
  ASSERT_EQ(window->groups.size(), 2u);
  const auto& moves = window->groups[0];
  EXPECT_EQ(moves.title, "移动窗口");
  ASSERT_EQ(moves.rows.size(), 4u);
  EXPECT_EQ(moves.rows[0].title, "移到左侧");
  EXPECT_EQ(moves.rows[3].title, "移到下方");
  EXPECT_EQ(moves.note, std::optional<std::string>(
                            "仅在 Tab Mode 中生效，效果与 Tab 栏箭头相同。全屏 1 格时，左右快捷键会切换到左右二分。"));
  const auto& layouts = window->groups[1];
  EXPECT_EQ(layouts.title, "布局");
  ASSERT_EQ(layouts.rows.size(), 1u);
  EXPECT_EQ(layouts.rows[0].title, "全屏");
  EXPECT_FALSE(layouts.note.has_value());

  const auto& left = window->row(HotKeyAction::moveLeft);
  EXPECT_EQ(left.chordText, "⌃⌥←");
  EXPECT_TRUE(left.showsClearButton);
  EXPECT_EQ(left.clearButtonHelp, "移除快捷键");
  EXPECT_EQ(left.recordButtonTitle, "设置");
  EXPECT_FALSE(window->conflict.has_value());

  // Removing redraws the row as unset, without the remove button.
  controller->clear(HotKeyAction::moveLeft);
  const auto& cleared = window->row(HotKeyAction::moveLeft);
  EXPECT_EQ(cleared.chordText, "未设置");
  EXPECT_FALSE(cleared.chord.has_value());
  EXPECT_FALSE(cleared.showsClearButton);
  EXPECT_FALSE(keys().isRegistered(kKeyLeft, kCtrlOpt));
}

TEST_F(HotKeySettingsWindowTest, RecordingSuspendsTheCenterAndAModifiedKeyBindsAtOnce) {
  controller->record(HotKeyAction::moveLeft);
  EXPECT_TRUE(center->isSuspended());
  EXPECT_TRUE(keys().registrations().empty());
  const auto& recording = window->row(HotKeyAction::moveLeft);
  EXPECT_TRUE(recording.isRecording);
  EXPECT_EQ(recording.chordText, "按下快捷键…");
  EXPECT_EQ(recording.recordButtonTitle, "取消");
  EXPECT_FALSE(recording.showsClearButton);

  // A plain letter is consumed and ignored; recording goes on.
  EXPECT_TRUE(type(kKeyA));
  EXPECT_EQ(recorder().recordingAction(), std::optional<HotKeyAction>(HotKeyAction::moveLeft));
  EXPECT_TRUE(center->isSuspended());

  EXPECT_TRUE(type(kKeyA, KeyEvent::kControl));
  EXPECT_FALSE(recorder().recordingAction().has_value());
  EXPECT_FALSE(recorder().isMonitoring());
  EXPECT_EQ(store->chord(HotKeyAction::moveLeft), (KeyChord{kKeyA, KeyChord::kControl}));
  EXPECT_EQ(window->row(HotKeyAction::moveLeft).chordText, "⌃A");
  EXPECT_TRUE(centerIsLive());

  // The new chord works right away; the old one is free.
  EXPECT_EQ(press(kKeyA, KeyChord::kControl), std::optional<bool>(true));
  EXPECT_FALSE(press(kKeyLeft).has_value());
  clock->runPending();
  EXPECT_EQ(delivered(), std::vector<HotKeyAction>{HotKeyAction::moveLeft});
}

TEST_F(HotKeySettingsWindowTest, DeleteAloneClearsAndWithAModifierIsAChord) {
  controller->record(HotKeyAction::moveUp);
  EXPECT_TRUE(type(kKeyDelete));
  EXPECT_FALSE(store->chord(HotKeyAction::moveUp).has_value());
  EXPECT_FALSE(recorder().recordingAction().has_value());

  controller->record(HotKeyAction::moveDown);
  EXPECT_TRUE(type(kKeyForwardDelete));
  EXPECT_FALSE(store->chord(HotKeyAction::moveDown).has_value());

  controller->record(HotKeyAction::moveUp);
  EXPECT_TRUE(type(kKeyDelete, KeyEvent::kCommand));
  EXPECT_EQ(store->chord(HotKeyAction::moveUp), (KeyChord{kKeyDelete, KeyChord::kCommand}));
  EXPECT_TRUE(centerIsLive());
}

TEST_F(HotKeySettingsWindowTest, EscapeCancelsEvenWithModifiers) {
  const std::size_t writes = defaults().writeCount();
  controller->record(HotKeyAction::fullScreen);
  EXPECT_TRUE(type(kKeyEscape, KeyEvent::kControl));
  EXPECT_FALSE(recorder().recordingAction().has_value());
  EXPECT_EQ(store->chord(HotKeyAction::fullScreen), (KeyChord{kKeyReturn, kCtrlOpt}));
  EXPECT_EQ(defaults().writeCount(), writes);
  EXPECT_TRUE(centerIsLive());
  EXPECT_FALSE(window->row(HotKeyAction::fullScreen).isRecording);

  // Cancelling through the row's button does the same.
  controller->record(HotKeyAction::fullScreen);
  controller->cancelRecording();
  EXPECT_FALSE(recorder().isMonitoring());
  EXPECT_TRUE(centerIsLive());
  EXPECT_EQ(defaults().writeCount(), writes);
}

TEST_F(HotKeySettingsWindowTest, RecordingASecondActionCancelsTheFirst) {
  std::vector<bool> changes;
  auto recorder = HotKeyRecorder::create(platform.hotKeys, store, [&](bool on) { changes.push_back(on); });
  recorder->begin(HotKeyAction::moveLeft);
  recorder->begin(HotKeyAction::moveRight);
  EXPECT_EQ(recorder->recordingAction(), std::optional<HotKeyAction>(HotKeyAction::moveRight));
  EXPECT_EQ(changes, (std::vector<bool>{true, false, true}));
  // The center's monitor plus exactly one of the recorder's.
  EXPECT_EQ(keys().localMonitorCount(), 2u);
  EXPECT_EQ(store->bindings(), KeyChord::defaultBindings());

  // Finishing with nothing recorded changes nothing more.
  recorder->finish(RecordingResult::cancel());
  recorder->finish(RecordingResult::save(KeyChord{kKeyA, KeyChord::kShift}));
  EXPECT_EQ(changes, (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(store->bindings(), KeyChord::defaultBindings());
  EXPECT_EQ(keys().localMonitorCount(), 1u);
}

TEST_F(HotKeySettingsWindowTest, ABoundHotKeyTypedWhileRecordingIsRecordedNotFired) {
  controller->record(HotKeyAction::moveUp);
  EXPECT_FALSE(press(kKeyLeft).has_value()) << "no hot key is registered while recording";
  EXPECT_TRUE(type(kKeyLeft, kControlOption));
  clock->advance(1.0);
  EXPECT_TRUE(deliveries.empty());

  EXPECT_EQ(recorder().conflictMessage(), std::optional<std::string>("快捷键已被「移到左侧」占用"));
  EXPECT_EQ(window->conflict, recorder().conflictMessage());
  EXPECT_EQ(store->bindings(), KeyChord::defaultBindings());
  EXPECT_TRUE(centerIsLive());

  // Pressing "设置" on any row hides the message.
  controller->record(HotKeyAction::fullScreen);
  EXPECT_FALSE(recorder().conflictMessage().has_value());
  EXPECT_FALSE(window->conflict.has_value());
}

TEST_F(HotKeySettingsWindowTest, RemovingABindingClearsTheMessageAndSparesAnotherRecording) {
  controller->record(HotKeyAction::moveUp);
  type(kKeyLeft, kControlOption);
  ASSERT_TRUE(recorder().conflictMessage().has_value());

  controller->record(HotKeyAction::moveDown);
  type(kKeyLeft, kControlOption);
  controller->record(HotKeyAction::moveUp);  // a recording in progress
  controller->clear(HotKeyAction::fullScreen);
  EXPECT_FALSE(store->chord(HotKeyAction::fullScreen).has_value());
  EXPECT_EQ(recorder().recordingAction(), std::optional<HotKeyAction>(HotKeyAction::moveUp));
  EXPECT_TRUE(center->isSuspended());

  // Removing the action being recorded ends its recording as a removal.
  controller->record(HotKeyAction::moveLeft);
  type(kKeyA, KeyEvent::kControl | KeyEvent::kShift);
  controller->record(HotKeyAction::moveRight);
  controller->clear(HotKeyAction::moveRight);
  EXPECT_FALSE(recorder().recordingAction().has_value());
  EXPECT_FALSE(store->chord(HotKeyAction::moveRight).has_value());
  EXPECT_TRUE(centerIsLive());
  EXPECT_EQ(keys().registrations().size(), 3u);
}

TEST_F(HotKeySettingsWindowTest, ClosingTheWindowWhileRecordingRestoresEveryHotKey) {
  controller->record(HotKeyAction::moveLeft);
  window->close();
  controller->windowWillClose();
  EXPECT_FALSE(recorder().recordingAction().has_value());
  EXPECT_FALSE(recorder().isMonitoring());
  EXPECT_EQ(keys().registrations().size(), 5u);
  EXPECT_EQ(keys().localMonitorCount(), 1u);
  EXPECT_EQ(store->bindings(), KeyChord::defaultBindings());
  press(kKeyLeft);
  clock->runPending();
  EXPECT_EQ(delivered(), std::vector<HotKeyAction>{HotKeyAction::moveLeft});

  // The view going away also ends a recording.
  controller->showWindow();
  controller->record(HotKeyAction::moveRight);
  controller->viewDidDisappear();
  EXPECT_FALSE(recorder().recordingAction().has_value());
  EXPECT_TRUE(centerIsLive());
}

TEST_F(HotKeySettingsWindowTest, AGoneWindowOrCenterIsLeftAlone) {
  window.reset();
  controller->record(HotKeyAction::moveLeft);  // the row texts go nowhere
  center.reset();
  EXPECT_TRUE(type(kKeyA, KeyEvent::kOption));
  EXPECT_EQ(store->chord(HotKeyAction::moveLeft), (KeyChord{kKeyA, KeyChord::kOption}));
  controller->windowWillClose();
  EXPECT_FALSE(recorder().isMonitoring());
}

}  // namespace
}  // namespace tessarapane
