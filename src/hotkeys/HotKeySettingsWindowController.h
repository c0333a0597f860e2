#pragma once

#include <memory>
#include <vector>

#include "hotkeys/HotKeyAction.h"
#include "hotkeys/HotKeyCenter.h"
#include "hotkeys/HotKeyRecorder.h"
#include "hotkeys/HotKeySettingsContent.h"
#include "hotkeys/HotKeySettingsStore.h"
#include "hotkeys/HotKeySettingsWindow.h"
#include "platform/HotKeys.h"
#include "platform/Subscription.h"

namespace tessarapane {

// Runs the hot-key settings window: owns the recorder, suspends the center
// while a chord is recorded and resumes it when the recording ends or the
// window closes, and keeps the window's rows up to date. Lives for the whole
// process; the window is only hidden and shown. Holds the center and the
// window weakly. Main thread only.
class HotKeySettingsWindowController : public std::enable_shared_from_this<HotKeySettingsWindowController> {
 public:
  static std::shared_ptr<HotKeySettingsWindowController> create(std::shared_ptr<HotKeySettingsStore> store,
                                                                std::shared_ptr<HotKeyCenter> hotKeyCenter,
                                                                std::shared_ptr<HotKeys> hotKeys,
                                                                std::shared_ptr<HotKeySettingsWindow> window);

  HotKeySettingsWindowController(const HotKeySettingsWindowController&) = delete;
  HotKeySettingsWindowController& operator=(const HotKeySettingsWindowController&) = delete;

  // Redraws and shows the window.
  void showWindow();

  // A row's buttons.
  void record(HotKeyAction action);      // "设置"
  void cancelRecording();                // "取消"
  void clear(HotKeyAction action);       // the remove button

  // The view went away: any recording is cancelled.
  void viewDidDisappear();
  // The window is closing: the recording is cancelled and the center resumed.
  void windowWillClose();

  std::vector<HotKeySettingsGroup> groups() const;
  const std::shared_ptr<HotKeyRecorder>& recorder() const { return recorder_; }

 private:
  HotKeySettingsWindowController(std::shared_ptr<HotKeySettingsStore> store, std::shared_ptr<HotKeyCenter> center,
                                 std::shared_ptr<HotKeySettingsWindow> window);
  void refresh();

  std::shared_ptr<HotKeySettingsStore> store_;
  std::weak_ptr<HotKeyCenter> hotKeyCenter_;
  std::shared_ptr<HotKeyRecorder> recorder_;
  std::weak_ptr<HotKeySettingsWindow> window_;
  Subscription storeObservation_;
};

}  // namespace tessarapane
