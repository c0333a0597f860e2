#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "layout/LayoutKind.h"

namespace tessarapane {

// The last layout, as kept in the user defaults: a tab layout of some kind
// ("tabs:" + the kind's raw value) or the grid layout ("grid"). Nothing else
// about a layout is kept.
class RememberedLayout {
 public:
  static RememberedLayout tabs(LayoutKind kind) { return RememberedLayout(kind); }
  static RememberedLayout grid() { return RememberedLayout(std::nullopt); }

  bool isGrid() const { return !kind_.has_value(); }
  // The kind of a tab layout; none for the grid.
  std::optional<LayoutKind> tabsKind() const { return kind_; }

  friend bool operator==(const RememberedLayout&, const RememberedLayout&) = default;

 private:
  explicit RememberedLayout(std::optional<LayoutKind> kind) : kind_(kind) {}
  std::optional<LayoutKind> kind_;
};

// The user-defaults key (a string value) of the remembered layout.
inline constexpr std::string_view kRememberedLayoutDefaultsKey = "rememberedLayout";

// "tabs:split2", "grid".
std::string rawValue(const RememberedLayout& layout);

template <typename Enum>
std::optional<Enum> fromRawValue(std::string_view raw);

// Exactly "grid", or "tabs:" followed by a kind's exact raw value; anything
// else gives nothing.
template <>
std::optional<RememberedLayout> fromRawValue<RememberedLayout>(std::string_view raw);

}  // namespace tessarapane
