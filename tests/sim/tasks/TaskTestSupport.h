#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

#include "backends/sim/SimScheduler.h"
#include "tasks/TaskEnd.h"

namespace tessarapane {

inline void PrintTo(TaskEnd end, std::ostream* out) { *out << toString(end); }

namespace testing_support {

// Stands in for the coordinator: what the tasks hold weakly and act on.
struct Owner {
  std::vector<double> stepTimes;  // seconds since the clock's start
  bool layoutRunning = true;
};

class TaskTest : public ::testing::Test {
 protected:
  double elapsed() const { return clock->now() - SimScheduler::kDefaultStart; }

  void expectTimes(const std::vector<double>& actual, const std::vector<double>& expected) const {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-9) << "step " << i;
  }

  std::shared_ptr<SimScheduler> clock = std::make_shared<SimScheduler>();
  std::shared_ptr<Owner> owner = std::make_shared<Owner>();
  std::vector<TaskEnd> ends;
};

}  // namespace testing_support
}  // namespace tessarapane
