#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Log.h"

namespace tessarapane {

// Keeps every log line for tests to read.
class SimLog final : public Log {
 public:
  struct Line {
    std::string subsystem;
    std::string category;
    std::string text;
  };

  void write(std::string_view subsystem, std::string_view category, std::string_view text) override;

  const std::vector<Line>& lines() const { return lines_; }
  // Lines of one category whose text contains `fragment`.
  std::size_t count(std::string_view category, std::string_view fragment) const;
  void clear() { lines_.clear(); }

 private:
  std::vector<Line> lines_;
};

}  // namespace tessarapane
