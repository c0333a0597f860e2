#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tessarapane {

// The four directions a tab can move to a neighbouring pane, in this order.
enum class PaneMoveDirection {
  left,
  right,
  up,
  down,
};

inline constexpr std::array<PaneMoveDirection, 4> kAllPaneMoveDirections = {
    PaneMoveDirection::left, PaneMoveDirection::right, PaneMoveDirection::up, PaneMoveDirection::down};

// "left", "right", "up", "down".
std::string_view rawValue(PaneMoveDirection direction);

template <typename Enum>
std::optional<Enum> fromRawValue(std::string_view raw);

// Exactly the four raw values, case-sensitive; anything else gives nothing.
template <>
std::optional<PaneMoveDirection> fromRawValue<PaneMoveDirection>(std::string_view raw);

// The tooltip of a tab's move button, looked up through the localizer.
std::string tooltip(PaneMoveDirection direction);

}  // namespace tessarapane
