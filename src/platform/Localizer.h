#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tessarapane {

// Looks up the user-visible text for a key. Keys are the Chinese texts
// themselves; a key without a translation is shown unchanged.
class Localizer {
 public:
  virtual ~Localizer() = default;
  virtual std::string localized(std::string_view key) const = 0;
};

class IdentityLocalizer final : public Localizer {
 public:
  std::string localized(std::string_view key) const override { return std::string(key); }
};

namespace localization {

inline std::shared_ptr<const Localizer>& currentSlot() {
  static std::shared_ptr<const Localizer> slot = std::make_shared<IdentityLocalizer>();
  return slot;
}

// Installs the process-wide localizer (at start-up, on the main thread).
// Passing null restores the identity localizer.
inline void install(std::shared_ptr<const Localizer> localizer) {
  currentSlot() = localizer ? std::move(localizer) : std::make_shared<IdentityLocalizer>();
}

}  // namespace localization

// Every user-visible text goes through here.
inline std::string localized(std::string_view key) { return localization::currentSlot()->localized(key); }

}  // namespace tessarapane
