// Seeded random runs of the coordinator on the simulated desktop, with the
// invariants checked after every single operation.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "StressFixture.h"
#include "StressTrace.h"

namespace tessarapane {
namespace {

// Enough to pass through every layout kind, pause and drag many times per
// seed, and still quick under the sanitizers.
constexpr int kStepsPerSeed = 2500;
constexpr std::size_t kTraceLength = 40;

TEST_P(CoordinatorStress, InvariantsHoldAfterEveryStep) {
  const std::uint32_t seed = GetParam();
  rng.seed(seed);
  StressTrace trace(kTraceLength);
  // Set to print every step of a run, to follow a failure from its start.
  const bool verbose = std::getenv("TESSARAPANE_STRESS_VERBOSE") != nullptr;
  int layoutsStarted = 0;
  int stepsWithLayout = 0;
  // Desktops differ in how late notifications come and whether processes
  // can be brought to the front.
  const double latencies[] = {0.0, 0.0, 0.02, 0.15};
  desktop->setNotificationLatency(latencies[below(4)]);
  const SimFrontProcessMode modes[] = {SimFrontProcessMode::succeeds, SimFrontProcessMode::succeeds,
                                       SimFrontProcessMode::fails, SimFrontProcessMode::unavailable};
  desktop->setFrontProcessMode(modes[below(4)]);
  rememberState();
  for (int step = 0; step < kStepsPerSeed; ++step) {
    const bool wasRunning = coordinator->isLayoutRunning();
    const std::string done = randomStep();
    if (verbose) {
      const char* layout = coordinator->session ? "tabs" : (coordinator->bentoSession ? "grid" : "none");
      std::printf("#%d %s [%s%s]\n", step, done.c_str(), layout, coordinator->isPaused() ? " paused" : "");
    }
    trace.add(step, done);
    if (coordinator->isLayoutRunning()) {
      ++stepsWithLayout;
      if (!wasRunning) ++layoutsStarted;
    }
    const std::vector<std::string> found = violations();
    if (!found.empty()) {
      std::string report;
      for (const std::string& line : found) report += "  " + line + "\n";
      FAIL() << "seed " << seed << ", step " << step << ":\n" << report << "last operations:\n" << trace.text();
    }
    rememberState();
  }
  // A run that never got a layout going would have checked nothing.
  EXPECT_GT(layoutsStarted, 10) << "seed " << seed;
  EXPECT_GT(stepsWithLayout, kStepsPerSeed / 4) << "seed " << seed;
}

INSTANTIATE_TEST_SUITE_P(Seeds, CoordinatorStress, ::testing::Values(1U, 2U, 3U, 5U, 8U, 13U, 21U, 34U),
                         [](const ::testing::TestParamInfo<std::uint32_t>& info) {
                           return "seed" + std::to_string(info.param);
                         });

}  // namespace
}  // namespace tessarapane
