#pragma once

namespace tessarapane {

struct Size {
  double width = 0.0;
  double height = 0.0;

  friend bool operator==(const Size&, const Size&) = default;
};

}  // namespace tessarapane
