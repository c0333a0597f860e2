#pragma once

namespace tessarapane::program {

// Where the running instance answers control requests on the session bus.
inline constexpr const char* kControlServiceName = "org.tessarapane.Tessarapane";
inline constexpr const char* kControlObjectPath = "/org/tessarapane/Tessarapane";
inline constexpr const char* kControlInterface = "org.tessarapane.Tessarapane.Control";
inline constexpr const char* kInvalidArgumentError = "org.tessarapane.Tessarapane.Error.InvalidArgument";
inline constexpr const char* kUnavailableError = "org.tessarapane.Tessarapane.Error.Unavailable";
inline constexpr const char* kFailedError = "org.tessarapane.Tessarapane.Error.Failed";

}  // namespace tessarapane::program
