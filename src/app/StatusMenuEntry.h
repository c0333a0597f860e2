#pragma once

#include <optional>
#include <string>

#include "chrome/LayoutKindIcon.h"

namespace tessarapane {

// What choosing a menu entry does.
enum class StatusMenuAction {
  none,  // section headers and separators
  startLayoutFromMenu,
  startBento,
  exitLayout,
  openHotKeySettings,
  openAccessibilitySettings,
  quit,
};

// One entry of the status menu, texts already localised, states as of the
// last refresh. The toolkit side draws the entries in order and reports the
// chosen one back to the controller.
struct StatusMenuEntry {
  enum class Kind { sectionHeader, item, separator };

  Kind kind = Kind::item;
  std::string title;
  StatusMenuAction action = StatusMenuAction::none;
  // The layout kind's raw value for the layout items.
  std::optional<std::string> representedObject;
  // Empty for none; with the default Command modifier.
  std::string keyEquivalent;
  // Drawn at its size, not as a template, for the layout and grid items.
  std::optional<LayoutKindIcon::Image> image;
  bool isOn = false;  // check mark
  bool isEnabled = true;

  friend bool operator==(const StatusMenuEntry&, const StatusMenuEntry&) = default;
};

}  // namespace tessarapane
