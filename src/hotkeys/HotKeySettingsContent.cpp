#include "hotkeys/HotKeySettingsContent.h"

#include "hotkeys/HotKeyRecorder.h"
#include "hotkeys/HotKeySettingsStore.h"
#include "platform/Localizer.h"
#include "text/TextFormat.h"

namespace tessarapane::HotKeySettingsContent {

namespace {

HotKeyBindingRow row(HotKeyAction action, const HotKeySettingsStore& store, const HotKeyRecorder& recorder,
                     const HotKeyBindings& held) {
  HotKeyBindingRow row;
  row.action = action;
  row.title = title(action);
  row.chord = store.chord(action);
  row.isRecording = recorder.recordingAction() == action;
  if (row.isRecording) {
    row.chordText = localized("按下快捷键…");
  } else {
    row.chordText = row.chord ? row.chord->displayString() : localized("未设置");
    const auto heldChord = held.find(action);
    row.isHeldElsewhere = row.chord && heldChord != held.end() && heldChord->second == *row.chord;
    if (row.isHeldElsewhere) {
      row.chordText = TextFormat::format(localized("%@（%@）"), {row.chordText, localized("已被窗口管理器占用")});
    }
  }
  row.showsClearButton = !row.isRecording && row.chord.has_value();
  row.clearButtonHelp = localized("移除快捷键");
  row.recordButtonTitle = row.isRecording ? localized("取消") : localized("设置");
  return row;
}

}  // namespace

std::string windowTitle() { return localized("快捷键设置"); }

std::vector<HotKeySettingsGroup> groups(const HotKeySettingsStore& store, const HotKeyRecorder& recorder,
                                        const HotKeyBindings& held) {
  std::vector<HotKeySettingsGroup> result;
  for (HotKeySettingsSection section : kAllHotKeySettingsSections) {
    HotKeySettingsGroup group;
    group.section = section;
    group.title = title(section);
    for (HotKeyAction action : actions(section)) group.rows.push_back(row(action, store, recorder, held));
    if (section != HotKeySettingsSection::layout) {
      group.note = localized("仅在 Tab Mode 中生效，效果与 Tab 栏箭头相同。全屏 1 格时，左右快捷键会切换到左右二分。");
    }
    result.push_back(std::move(group));
  }
  return result;
}

}  // namespace tessarapane::HotKeySettingsContent
