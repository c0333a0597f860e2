#include "backends/sim/SimAlerts.h"

#include <algorithm>

namespace tessarapane {

std::size_t SimAlerts::runModal(std::string_view title, std::string_view message,
                                const std::vector<std::string>& buttons) {
  shown_.push_back(Shown{std::string(title), std::string(message), buttons});
  if (whileShown_) {
    auto action = whileShown_;
    action(shown_.back());
  }
  // With no buttons the single default button is shown.
  if (buttons.empty()) return 0;
  return std::min(answer_, buttons.size() - 1);
}

}  // namespace tessarapane
