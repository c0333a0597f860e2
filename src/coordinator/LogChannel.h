#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/Log.h"

namespace tessarapane {

// One subsystem and category of the system log, written at the default
// level.
class LogChannel {
 public:
  LogChannel(std::shared_ptr<Log> log, std::string subsystem, std::string category)
      : log_(std::move(log)), subsystem_(std::move(subsystem)), category_(std::move(category)) {}

  void write(std::string_view text) const {
    if (log_) log_->write(subsystem_, category_, text);
  }

  const std::string& subsystem() const { return subsystem_; }
  const std::string& category() const { return category_; }

 private:
  std::shared_ptr<Log> log_;
  std::string subsystem_;
  std::string category_;
};

}  // namespace tessarapane
