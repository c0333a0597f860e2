#pragma once

#include <time.h>

namespace tessarapane {

// Seconds on the clock that keeps counting while the machine sleeps.
inline double monotonicSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_BOOTTIME, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

}  // namespace tessarapane
