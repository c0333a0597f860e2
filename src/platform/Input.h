#pragma once

#include <cstdint>

namespace tessarapane {

// The pointer's buttons, so that windows the user is dragging are left alone.
class Input {
 public:
  // Bit 0 of pressedMouseButtons(): the primary (left) button.
  static constexpr std::uint32_t kPrimaryButton = 1U << 0;
  static constexpr std::uint32_t kSecondaryButton = 1U << 1;
  static constexpr std::uint32_t kMiddleButton = 1U << 2;

  virtual ~Input() = default;

  // The buttons held down right now, one bit per button.
  virtual std::uint32_t pressedMouseButtons() = 0;
};

}  // namespace tessarapane
