#pragma once

#include "geometry/Rect.h"

namespace tessarapane {

// Where one leaf's window goes (toolkit space, y up).
template <typename Value>
struct BentoLeafLayout {
  Value value;
  Rect frame;
};

}  // namespace tessarapane
