#pragma once

#include <cstdint>
#include <optional>

#include "platform/AXElement.h"
#include "platform/ManagedWindow.h"

namespace tessarapane {

// The standard controls of a window's title bar.
enum class SimControlKind : std::uint8_t { closeButton = 1, minimizeButton = 2, zoomButton = 3 };

// How simulated elements are named. Window numbers are never reused, so an
// element of a destroyed window can never come back to life.
//   application: token = pid
//   window:      token = window number
//   control:     token = window number * 4 + control kind
namespace SimElements {

inline AXElement application(ProcessID pid) {
  return AXElement{pid, AXElementKind::application, static_cast<std::uint64_t>(static_cast<std::uint32_t>(pid))};
}

inline AXElement window(ProcessID pid, WindowID number) { return AXElement{pid, AXElementKind::window, number}; }

inline AXElement control(ProcessID pid, WindowID number, SimControlKind kind) {
  return AXElement{pid, AXElementKind::control,
                   (static_cast<std::uint64_t>(number) << 2) | static_cast<std::uint64_t>(kind)};
}

// The window an element belongs to: itself, or the window of a control.
inline std::optional<WindowID> windowNumber(const AXElement& element) {
  switch (element.kind) {
    case AXElementKind::window:
      return static_cast<WindowID>(element.token);
    case AXElementKind::control:
      return static_cast<WindowID>(element.token >> 2);
    default:
      return std::nullopt;
  }
}

inline std::optional<SimControlKind> controlKind(const AXElement& element) {
  if (element.kind != AXElementKind::control) return std::nullopt;
  const auto raw = static_cast<std::uint8_t>(element.token & 0x3U);
  if (raw < 1 || raw > 3) return std::nullopt;
  return static_cast<SimControlKind>(raw);
}

}  // namespace SimElements
}  // namespace tessarapane
