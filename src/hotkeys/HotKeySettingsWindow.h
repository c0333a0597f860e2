#pragma once

#include <optional>
#include <string>
#include <vector>

#include "hotkeys/HotKeySettingsContent.h"

namespace tessarapane {

// The floating panel of the hot-key settings (the toolkit side implements
// it): titled and closable, 460 x 360 points, floating level, hidden until
// shown. It sends its row buttons, its disappearing view and its closing to
// the HotKeySettingsWindowController.
class HotKeySettingsWindow {
 public:
  virtual ~HotKeySettingsWindow() = default;

  // Activates the application, centres the panel, makes it key and front.
  virtual void show() = 0;
  virtual void close() = 0;
  virtual bool isVisible() const = 0;
  // Redraws every row.
  virtual void refreshRows(const std::vector<HotKeySettingsGroup>& groups) = 0;
  // The red line under the list; none hides it.
  virtual void showConflict(const std::optional<std::string>& message) = 0;
};

}  // namespace tessarapane
