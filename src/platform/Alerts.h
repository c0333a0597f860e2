#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tessarapane {

// Modal informational alerts, the only messages the user sees.
class Alerts {
 public:
  virtual ~Alerts() = default;

  // Shows the alert and waits (running the main loop) until a button is
  // pressed; returns that button's index in `buttons`. Texts are already
  // localised. Dismissing the alert otherwise counts as the last button, the
  // one that does nothing; with no buttons one "OK"-style button is shown and
  // 0 returned.
  virtual std::size_t runModal(std::string_view title, std::string_view message,
                               const std::vector<std::string>& buttons) = 0;

  // The same for a notice of the program's own that no operation waits on
  // (no tray, hot keys held by another program): requests from elsewhere go
  // on being carried out while it is up.
  virtual std::size_t runNotice(std::string_view title, std::string_view message,
                                const std::vector<std::string>& buttons) {
    return runModal(title, message, buttons);
  }
};

}  // namespace tessarapane
