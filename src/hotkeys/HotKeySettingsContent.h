#pragma once

#include <optional>
#include <string>
#include <vector>

#include "hotkeys/HotKeyAction.h"
#include "hotkeys/HotKeySettingsSection.h"
#include "hotkeys/KeyChord.h"

namespace tessarapane {

class HotKeySettingsStore;
class HotKeyRecorder;

// One row of the settings window, texts already localised. The toolkit view
// draws it and sends the row's buttons back to the window controller.
struct HotKeyBindingRow {
  HotKeyAction action = HotKeyAction::moveLeft;
  std::string title;
  std::optional<KeyChord> chord;
  bool isRecording = false;
  // "按下快捷键…" while recording, else the chord or "未设置"; drawn in the
  // accent colour while recording. A chord another client held at the last
  // registration reads "<chord>（已被窗口管理器占用）" and is drawn as a
  // warning.
  std::string chordText;
  bool isHeldElsewhere = false;
  // The remove button ("移除快捷键" as help and label) shows only when not
  // recording and a chord exists.
  bool showsClearButton = false;
  std::string clearButtonHelp;
  // "设置", or "取消" while recording.
  std::string recordButtonTitle;

  friend bool operator==(const HotKeyBindingRow&, const HotKeyBindingRow&) = default;
};

// One group per section, in section order.
struct HotKeySettingsGroup {
  HotKeySettingsSection section = HotKeySettingsSection::moveWindow;
  std::string title;
  std::vector<HotKeyBindingRow> rows;
  // The caption under the rows; every section but the layout one has it.
  std::optional<std::string> note;

  friend bool operator==(const HotKeySettingsGroup&, const HotKeySettingsGroup&) = default;
};

namespace HotKeySettingsContent {

// The window's title, "快捷键设置".
std::string windowTitle();

// The groups as the store and the recorder stand now; `held` are the
// bindings another client held when they were last registered.
std::vector<HotKeySettingsGroup> groups(const HotKeySettingsStore& store, const HotKeyRecorder& recorder,
                                        const HotKeyBindings& held);

}  // namespace HotKeySettingsContent

}  // namespace tessarapane
