#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Alerts.h"

class QMessageBox;

namespace tessarapane::ui {

// Modal informational alerts as message boxes: the title as the main text,
// the message as the informative text, the buttons in the order given (the
// first is the default). Closing the box otherwise counts as the last button.
class QtAlerts final : public Alerts {
 public:
  std::size_t runModal(std::string_view title, std::string_view message,
                       const std::vector<std::string>& buttons) override;
  std::size_t runNotice(std::string_view title, std::string_view message,
                        const std::vector<std::string>& buttons) override;

  // Set (true) on the box of a notice.
  static constexpr const char* kNoticeProperty = "tessarapaneNotice";

  // Called with each box just before it runs (tests press its buttons).
  std::function<void(QMessageBox&)> onAboutToRun;

 private:
  std::size_t run(std::string_view title, std::string_view message, const std::vector<std::string>& buttons,
                  bool notice);
};

}  // namespace tessarapane::ui
