#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace tessarapane {

// What an accessibility element stands for.
enum class AXElementKind : std::uint8_t {
  none,         // the null element
  application,  // the application element of a process
  window,       // a top-level window (or a sheet or dialog of one)
  control,      // a control inside a window, such as its close button
};

// A handle to an accessibility element of another application. Handles are
// values: two handles are the same element exactly when they are equal (the
// platform's element identity), whichever call produced them. `token` is the
// backend's own name for the object (an X window id, a simulated object id).
struct AXElement {
  std::int32_t pid = 0;
  AXElementKind kind = AXElementKind::none;
  std::uint64_t token = 0;

  bool isNull() const { return kind == AXElementKind::none; }

  friend bool operator==(const AXElement&, const AXElement&) = default;
};

}  // namespace tessarapane

template <>
struct std::hash<tessarapane::AXElement> {
  std::size_t operator()(const tessarapane::AXElement& e) const noexcept {
    std::size_t h = std::hash<std::uint64_t>{}(e.token);
    h ^= std::hash<std::int32_t>{}(e.pid) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    h ^= static_cast<std::size_t>(e.kind) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    return h;
  }
};
