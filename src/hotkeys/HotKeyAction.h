#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tessarapane {

// What a global hot key can do. The first four follow the pane move
// directions in order (their ordinal is the direction's ordinal); any action
// with an ordinal above 3 starts a layout.
enum class HotKeyAction {
  moveLeft,
  moveRight,
  moveUp,
  moveDown,
  fullScreen,
};

inline constexpr std::array<HotKeyAction, 5> kAllHotKeyActions = {
    HotKeyAction::moveLeft, HotKeyAction::moveRight, HotKeyAction::moveUp,
    HotKeyAction::moveDown, HotKeyAction::fullScreen,
};

// Position in kAllHotKeyActions (0 to 4). Hot key identifiers are ordinal + 1.
constexpr int ordinal(HotKeyAction action) { return static_cast<int>(action); }

// The stored name: "moveLeft", "moveRight", "moveUp", "moveDown", "fullScreen".
std::string_view rawValue(HotKeyAction action);

template <typename Enum>
std::optional<Enum> fromRawValue(std::string_view raw);

// Exactly the five raw values, case-sensitive; anything else gives nothing.
template <>
std::optional<HotKeyAction> fromRawValue<HotKeyAction>(std::string_view raw);

// The settings window's label, looked up through the localizer.
std::string title(HotKeyAction action);

}  // namespace tessarapane
