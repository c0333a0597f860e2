#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/Alerts.h"

namespace tessarapane {

// Records every modal alert and answers with a scripted button.
class SimAlerts final : public Alerts {
 public:
  struct Shown {
    std::string title;
    std::string message;
    std::vector<std::string> buttons;
  };

  std::size_t runModal(std::string_view title, std::string_view message,
                       const std::vector<std::string>& buttons) override;

  // The button index every later alert answers with (0 by default); an index
  // beyond the buttons counts as dismissing, i.e. the last button.
  void setAnswer(std::size_t buttonIndex) { answer_ = buttonIndex; }
  // Runs while the alert is up, as the main loop would keep running.
  void setWhileShown(std::function<void(const Shown&)> action) { whileShown_ = std::move(action); }

  const std::vector<Shown>& shown() const { return shown_; }
  void clear() { shown_.clear(); }

 private:
  std::vector<Shown> shown_;
  std::size_t answer_ = 0;
  std::function<void(const Shown&)> whileShown_;
};

}  // namespace tessarapane
