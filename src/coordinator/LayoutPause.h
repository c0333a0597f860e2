#pragma once

#include <array>
#include <set>
#include <string_view>

namespace tessarapane {

// Why window maintenance is paused. Not paused exactly when no reason holds.
struct LayoutPause {
  enum class Reason {
    screensAsleep,
    screenLocked,
    systemAsleep,
    sessionInactive,
  };

  std::set<Reason> reasons;

  bool isPaused() const { return !reasons.empty(); }
};

inline constexpr std::array<LayoutPause::Reason, 4> kAllLayoutPauseReasons = {
    LayoutPause::Reason::screensAsleep,
    LayoutPause::Reason::screenLocked,
    LayoutPause::Reason::systemAsleep,
    LayoutPause::Reason::sessionInactive,
};

// The case name, as the pause log prints it.
constexpr std::string_view caseName(LayoutPause::Reason reason) {
  switch (reason) {
    case LayoutPause::Reason::screensAsleep:
      return "screensAsleep";
    case LayoutPause::Reason::screenLocked:
      return "screenLocked";
    case LayoutPause::Reason::systemAsleep:
      return "systemAsleep";
    case LayoutPause::Reason::sessionInactive:
      return "sessionInactive";
  }
  return "unknown";
}

}  // namespace tessarapane
