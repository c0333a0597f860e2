#include "hotkeys/HotKeyRecorder.h"

#include <utility>

namespace tessarapane {

std::shared_ptr<HotKeyRecorder> HotKeyRecorder::create(std::shared_ptr<HotKeys> hotKeys,
                                                       std::shared_ptr<HotKeySettingsStore> store,
                                                       std::function<void(bool)> onRecordingChange) {
  return std::shared_ptr<HotKeyRecorder>(
      new HotKeyRecorder(std::move(hotKeys), std::move(store), std::move(onRecordingChange)));
}

HotKeyRecorder::HotKeyRecorder(std::shared_ptr<HotKeys> hotKeys, std::shared_ptr<HotKeySettingsStore> store,
                               std::function<void(bool)> onRecordingChange)
    : hotKeys_(std::move(hotKeys)), store_(std::move(store)), onRecordingChange_(std::move(onRecordingChange)) {}

void HotKeyRecorder::begin(HotKeyAction action) {
  finish(RecordingResult::cancel());
  conflictMessage_.reset();
  recordingAction_ = action;
  if (onRecordingChange_) onRecordingChange_(true);
  if (hotKeys_) {
    std::weak_ptr<HotKeyRecorder> weak = weak_from_this();
    // Every key press while recording is consumed, whatever handle decides,
    // so the keys being tried reach no other application code.
    monitor_ = hotKeys_->addLocalKeyDownMonitor([weak](const KeyEvent& event) {
      if (const auto recorder = weak.lock()) recorder->handle(event);
      return true;
    });
  }
  stateChanged();
}

void HotKeyRecorder::handle(const KeyEvent& event) {
  const auto chord = KeyChord::fromEvent(event);
  if (!chord) return;
  if (chord->keyCode == kEscapeKeyCode) {
    finish(RecordingResult::cancel());
  } else if (chord->carbonModifiers != 0) {
    finish(RecordingResult::save(*chord));
  } else if (chord->keyCode == kDeleteKeyCode || chord->keyCode == kForwardDeleteKeyCode) {
    finish(RecordingResult::clear());
  }
}

void HotKeyRecorder::finish(RecordingResult result) {
  monitor_.cancel();
  if (!recordingAction_) return;
  const HotKeyAction action = *std::exchange(recordingAction_, std::nullopt);
  // The center is resumed first, so the store's change registers the new
  // chord on a live center.
  if (onRecordingChange_) onRecordingChange_(false);
  switch (result.kind) {
    case RecordingResult::Kind::save:
      conflictMessage_ = store_ ? store_->setChord(result.chord, action) : std::nullopt;
      break;
    case RecordingResult::Kind::clear:
      conflictMessage_.reset();
      if (store_) store_->setChord(std::nullopt, action);
      break;
    case RecordingResult::Kind::cancel:
      break;
  }
  stateChanged();
}

void HotKeyRecorder::clear(HotKeyAction action) {
  if (recordingAction_ == action) {
    finish(RecordingResult::clear());
    return;
  }
  conflictMessage_.reset();
  if (store_) store_->setChord(std::nullopt, action);
  stateChanged();
}

void HotKeyRecorder::stateChanged() {
  if (onStateChange) {
    auto call = onStateChange;
    call();
  }
}

}  // namespace tessarapane
