#pragma once

#include <cstdint>

namespace tessarapane {

// A keyboard event as the toolkit reports it to key monitors.
struct KeyEvent {
  enum class Type : std::uint8_t { keyDown, keyUp, flagsChanged };

  // The toolkit's modifier flag bits (device-independent part).
  static constexpr std::uint64_t kCapsLock = 1ULL << 16;
  static constexpr std::uint64_t kShift = 1ULL << 17;
  static constexpr std::uint64_t kControl = 1ULL << 18;
  static constexpr std::uint64_t kOption = 1ULL << 19;
  static constexpr std::uint64_t kCommand = 1ULL << 20;
  static constexpr std::uint64_t kNumericPad = 1ULL << 21;
  static constexpr std::uint64_t kHelp = 1ULL << 22;
  static constexpr std::uint64_t kFunction = 1ULL << 23;

  Type type = Type::keyDown;
  std::uint16_t keyCode = 0;  // the platform's virtual key code (ANSI positions)
  std::uint64_t modifierFlags = 0;
  bool isRepeat = false;
};

}  // namespace tessarapane
