#pragma once

#include <cstdint>
#include <optional>

namespace tessarapane::X11KeyCodes {

// The keysym at a virtual key code's position of the ANSI keyboard (the
// unshifted symbol: "a" for 0, Left for 123); none for codes without one.
std::optional<std::uint32_t> keysymForVirtualKey(std::uint32_t keyCode);

// The virtual key code of an unshifted keysym; letters are matched in either
// case.
std::optional<std::uint16_t> virtualKeyForKeysym(std::uint32_t keysym);

}  // namespace tessarapane::X11KeyCodes
