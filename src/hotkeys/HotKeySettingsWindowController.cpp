#include "hotkeys/HotKeySettingsWindowController.h"

#include <utility>

namespace tessarapane {

std::shared_ptr<HotKeySettingsWindowController> HotKeySettingsWindowController::create(
    std::shared_ptr<HotKeySettingsStore> store, std::shared_ptr<HotKeyCenter> hotKeyCenter,
    std::shared_ptr<HotKeys> hotKeys, std::shared_ptr<HotKeySettingsWindow> window) {
  std::shared_ptr<HotKeySettingsWindowController> controller(
      new HotKeySettingsWindowController(store, std::move(hotKeyCenter), std::move(window)));
  std::weak_ptr<HotKeyCenter> center = controller->hotKeyCenter_;
  controller->recorder_ = HotKeyRecorder::create(std::move(hotKeys), store, [center](bool recording) {
    if (const auto live = center.lock()) live->setSuspended(recording);
  });
  std::weak_ptr<HotKeySettingsWindowController> weak = controller;
  controller->recorder_->onStateChange = [weak] {
    if (const auto self = weak.lock()) self->refresh();
  };
  if (store) {
    controller->storeObservation_ = store->observe([weak] {
      if (const auto self = weak.lock()) self->refresh();
    });
  }
  return controller;
}

HotKeySettingsWindowController::HotKeySettingsWindowController(std::shared_ptr<HotKeySettingsStore> store,
                                                               std::shared_ptr<HotKeyCenter> center,
                                                               std::shared_ptr<HotKeySettingsWindow> window)
    : store_(std::move(store)), hotKeyCenter_(std::move(center)), window_(std::move(window)) {}

std::vector<HotKeySettingsGroup> HotKeySettingsWindowController::groups() const {
  if (!store_) return {};
  // Every change of a chord reaches the center before the recorder reports
  // its end, so the marks drawn then are those of the new registration.
  const auto center = hotKeyCenter_.lock();
  return HotKeySettingsContent::groups(*store_, *recorder_, center ? center->heldBindings() : HotKeyBindings{});
}

void HotKeySettingsWindowController::refresh() {
  const auto window = window_.lock();
  if (!window) return;
  window->refreshRows(groups());
  window->showConflict(recorder_->conflictMessage());
}

void HotKeySettingsWindowController::showWindow() {
  refresh();
  if (const auto window = window_.lock()) window->show();
}

void HotKeySettingsWindowController::record(HotKeyAction action) { recorder_->begin(action); }

void HotKeySettingsWindowController::cancelRecording() { recorder_->finish(RecordingResult::cancel()); }

void HotKeySettingsWindowController::clear(HotKeyAction action) { recorder_->clear(action); }

void HotKeySettingsWindowController::viewDidDisappear() { recorder_->finish(RecordingResult::cancel()); }

void HotKeySettingsWindowController::windowWillClose() {
  recorder_->finish(RecordingResult::cancel());
  if (const auto center = hotKeyCenter_.lock()) center->setSuspended(false);
}

}  // namespace tessarapane
