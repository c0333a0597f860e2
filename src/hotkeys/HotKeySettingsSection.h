#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hotkeys/HotKeyAction.h"

namespace tessarapane {

// How the settings window groups the actions.
enum class HotKeySettingsSection {
  moveWindow,
  layout,
};

inline constexpr std::array<HotKeySettingsSection, 2> kAllHotKeySettingsSections = {
    HotKeySettingsSection::moveWindow,
    HotKeySettingsSection::layout,
};

std::string_view rawValue(HotKeySettingsSection section);

template <>
std::optional<HotKeySettingsSection> fromRawValue<HotKeySettingsSection>(std::string_view raw);

std::string title(HotKeySettingsSection section);

// The section's actions in case order: ordinals below 4 move windows, the
// rest start layouts.
std::vector<HotKeyAction> actions(HotKeySettingsSection section);

}  // namespace tessarapane
