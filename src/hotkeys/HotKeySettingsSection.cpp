#include "hotkeys/HotKeySettingsSection.h"

#include "platform/Localizer.h"

namespace tessarapane {

std::string_view rawValue(HotKeySettingsSection section) {
  switch (section) {
    case HotKeySettingsSection::moveWindow: return "moveWindow";
    case HotKeySettingsSection::layout: return "layout";
  }
  return {};
}

template <>
std::optional<HotKeySettingsSection> fromRawValue<HotKeySettingsSection>(std::string_view raw) {
  for (HotKeySettingsSection section : kAllHotKeySettingsSections) {
    if (rawValue(section) == raw) return section;
  }
  return std::nullopt;
}

std::string title(HotKeySettingsSection section) {
  switch (section) {
    case HotKeySettingsSection::moveWindow: return localized("移动窗口");
    case HotKeySettingsSection::layout: return localized("布局");
  }
  return {};
}

std::vector<HotKeyAction> actions(HotKeySettingsSection section) {
  constexpr int kFirstLayoutOrdinal = 4;
  std::vector<HotKeyAction> result;
  for (HotKeyAction action : kAllHotKeyActions) {
    const bool movesWindow = ordinal(action) < kFirstLayoutOrdinal;
    if (movesWindow == (section == HotKeySettingsSection::moveWindow)) result.push_back(action);
  }
  return result;
}

}  // namespace tessarapane
