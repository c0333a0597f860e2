#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace tessarapane {

// The accessibility interface's result codes, with the platform's numeric
// values: callers compare against these and log the numbers. A backend may
// hand back a code outside this list (the underlying type holds any value);
// callers treat such codes as "any other error".
enum class AXError : std::int32_t {
  success = 0,
  failure = -25200,
  illegalArgument = -25201,
  invalidUIElement = -25202,  // the element is gone (its window closed, its process ended)
  invalidUIElementObserver = -25203,
  cannotComplete = -25204,  // the application did not answer in time; worth retrying
  attributeUnsupported = -25205,
  actionUnsupported = -25206,
  notificationUnsupported = -25207,
  notImplemented = -25208,
  notificationAlreadyRegistered = -25209,  // counts as registered
  notificationNotRegistered = -25210,
  apiDisabled = -25211,  // accessibility is switched off for this process
  noValue = -25212,
};

inline constexpr std::array<AXError, 14> kAllAXErrors = {
    AXError::success,
    AXError::failure,
    AXError::illegalArgument,
    AXError::invalidUIElement,
    AXError::invalidUIElementObserver,
    AXError::cannotComplete,
    AXError::attributeUnsupported,
    AXError::actionUnsupported,
    AXError::notificationUnsupported,
    AXError::notImplemented,
    AXError::notificationAlreadyRegistered,
    AXError::notificationNotRegistered,
    AXError::apiDisabled,
    AXError::noValue,
};

constexpr std::int32_t rawValue(AXError error) { return static_cast<std::int32_t>(error); }

// Construction from a numeric raw value: fromRawValue<AXError>(-25202).
template <typename Enum>
constexpr std::optional<Enum> fromRawValue(std::int32_t raw);

// Only the fourteen named codes; any other number gives nothing.
template <>
constexpr std::optional<AXError> fromRawValue<AXError>(std::int32_t raw) {
  for (AXError error : kAllAXErrors) {
    if (rawValue(error) == raw) return error;
  }
  return std::nullopt;
}

}  // namespace tessarapane
