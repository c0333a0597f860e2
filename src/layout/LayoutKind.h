#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tessarapane {

// The seven tab layout kinds, in menu order. The grid layout is not a kind.
enum class LayoutKind {
  fullScreen,
  split2,
  split3,
  topBottom,
  focusStack,
  stackFocus,
  split4,
};

inline constexpr std::array<LayoutKind, 7> kAllLayoutKinds = {
    LayoutKind::fullScreen, LayoutKind::split2,     LayoutKind::split3, LayoutKind::topBottom,
    LayoutKind::focusStack, LayoutKind::stackFocus, LayoutKind::split4,
};

// "fullScreen", "split2", ... — the stored and scripted name of a kind.
std::string_view rawValue(LayoutKind kind);

// Construction from a raw value, one specialisation per enumeration with raw
// values: fromRawValue<LayoutKind>("split2"). Other enumerations declare the
// same template and add their own specialisation.
template <typename Enum>
std::optional<Enum> fromRawValue(std::string_view raw);

// Exactly the seven raw values, case-sensitive; anything else gives nothing.
template <>
std::optional<LayoutKind> fromRawValue<LayoutKind>(std::string_view raw);

// Number of panes the kind divides the screen into (1 to 4).
int paneCount(LayoutKind kind);

// The menu title, looked up through the localizer.
std::string displayTitle(LayoutKind kind);

}  // namespace tessarapane
