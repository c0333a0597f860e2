#pragma once

#include "platform/Log.h"

namespace tessarapane {

// Diagnostic lines on standard error: "subsystem [category] text".
class StderrLog final : public Log {
 public:
  void write(std::string_view subsystem, std::string_view category, std::string_view text) override;
};

}  // namespace tessarapane
