#pragma once

#include <string_view>

namespace tessarapane {

// How a delayed task ended by itself. Cancelling is not among them: a
// cancelled task calls nothing any more, since whoever cancelled it knows.
enum class TaskEnd {
  finished,        // ran its last step (a walk's last delay, a delayed action)
  stopped,         // a step asked to stop, or a poll sample gave up
  satisfied,       // a poll's condition held
  deadlinePassed,  // a poll reached its deadline without the condition holding
  ownerGone,       // the owner was released while the task waited
  notWanted,       // the caller's still-wanted check failed after a wait
};

// The case name, for logs and test output.
std::string_view toString(TaskEnd end);

}  // namespace tessarapane
