#include "backends/sim/SimLog.h"

#include <algorithm>

namespace tessarapane {

void SimLog::write(std::string_view subsystem, std::string_view category, std::string_view text) {
  lines_.push_back(Line{std::string(subsystem), std::string(category), std::string(text)});
}

std::size_t SimLog::count(std::string_view category, std::string_view fragment) const {
  return static_cast<std::size_t>(std::count_if(lines_.begin(), lines_.end(), [&](const Line& line) {
    return line.category == category && line.text.find(fragment) != std::string::npos;
  }));
}

}  // namespace tessarapane
