#pragma once

#include <string_view>

namespace tessarapane {

// The application's identifier in every log line.
inline constexpr std::string_view kLogSubsystem = "org.tessarapane.Tessarapane";

// Diagnostic lines for the system log, at the default level. Never shown to
// the user.
class Log {
 public:
  virtual ~Log() = default;

  // `subsystem` is the application's identifier, `category` e.g. "Pause".
  virtual void write(std::string_view subsystem, std::string_view category, std::string_view text) = 0;
};

}  // namespace tessarapane
