#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "hotkeys/HotKeyAction.h"
#include "hotkeys/HotKeySettingsStore.h"
#include "hotkeys/KeyChord.h"
#include "platform/HotKeys.h"
#include "platform/KeyEvent.h"
#include "platform/Subscription.h"

namespace tessarapane {

// How a recording ends.
struct RecordingResult {
  enum class Kind { save, clear, cancel };

  Kind kind = Kind::cancel;
  KeyChord chord;  // meaningful for save only

  static RecordingResult save(KeyChord chord) { return {Kind::save, chord}; }
  static RecordingResult clear() { return {Kind::clear, {}}; }
  static RecordingResult cancel() { return {Kind::cancel, {}}; }
};

// Records a new chord for one action of the settings window: the next key
// press inside the application is consumed and, with a modifier, offered to
// the store. Made with create(): its key monitor holds it weakly. Main thread
// only.
class HotKeyRecorder : public std::enable_shared_from_this<HotKeyRecorder> {
 public:
  static constexpr std::uint32_t kEscapeKeyCode = 53;
  static constexpr std::uint32_t kDeleteKeyCode = 51;
  static constexpr std::uint32_t kForwardDeleteKeyCode = 117;

  // `onRecordingChange` is told true when a recording starts and false when
  // it ends (before the store sees the recorded chord).
  static std::shared_ptr<HotKeyRecorder> create(std::shared_ptr<HotKeys> hotKeys,
                                                std::shared_ptr<HotKeySettingsStore> store,
                                                std::function<void(bool)> onRecordingChange);

  HotKeyRecorder(const HotKeyRecorder&) = delete;
  HotKeyRecorder& operator=(const HotKeyRecorder&) = delete;

  // Ends any recording in progress as cancel, then records for the action.
  void begin(HotKeyAction action);
  // Removes the action's binding; ends its recording as clear when it is the
  // one being recorded (a recording of another action goes on).
  void clear(HotKeyAction action);
  void finish(RecordingResult result);
  // One key-down while recording: Escape cancels, a chord with a modifier is
  // saved, Delete or Forward Delete alone clears, anything else is ignored.
  void handle(const KeyEvent& event);

  const std::optional<HotKeyAction>& recordingAction() const { return recordingAction_; }
  // The last refusal from the store, shown under the list.
  const std::optional<std::string>& conflictMessage() const { return conflictMessage_; }
  bool isMonitoring() const { return monitor_.isActive(); }

  // Called after every change of the recording or the message (the settings
  // view redraws).
  std::function<void()> onStateChange;

 private:
  HotKeyRecorder(std::shared_ptr<HotKeys> hotKeys, std::shared_ptr<HotKeySettingsStore> store,
                 std::function<void(bool)> onRecordingChange);
  void stateChanged();

  std::shared_ptr<HotKeys> hotKeys_;
  std::shared_ptr<HotKeySettingsStore> store_;
  std::function<void(bool)> onRecordingChange_;
  std::optional<HotKeyAction> recordingAction_;
  std::optional<std::string> conflictMessage_;
  Subscription monitor_;
};

}  // namespace tessarapane
