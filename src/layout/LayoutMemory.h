#pragma once

#include <memory>
#include <optional>

#include "layout/RememberedLayout.h"
#include "platform/UserDefaults.h"

namespace tessarapane {

// Keeps the last layout under "rememberedLayout" so it comes back after the
// next launch. Nothing else about a layout is stored.
class LayoutMemory {
 public:
  explicit LayoutMemory(std::shared_ptr<UserDefaults> defaults) : defaults(std::move(defaults)) {}

  // The stored layout; none when the key is missing or does not parse.
  std::optional<RememberedLayout> read() const;
  void write(const RememberedLayout& layout) const;
  void remove() const;

  std::shared_ptr<UserDefaults> defaults;
};

}  // namespace tessarapane
