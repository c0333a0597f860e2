#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <utility>

namespace tessarapane {

// The last operations of a random run, so that a failure can be read and
// replayed: the seed and step say where, the trace says how it got there.
class StressTrace {
 public:
  explicit StressTrace(std::size_t capacity) : capacity_(capacity) {}

  void add(int step, std::string text) {
    if (entries_.size() == capacity_) entries_.pop_front();
    entries_.emplace_back(step, std::move(text));
  }

  std::string text() const {
    std::string result;
    for (const auto& [step, line] : entries_) result += "  #" + std::to_string(step) + " " + line + "\n";
    return result;
  }

 private:
  std::size_t capacity_;
  std::deque<std::pair<int, std::string>> entries_;
};

}  // namespace tessarapane
