#include "tasks/TaskEnd.h"

namespace tessarapane {

std::string_view toString(TaskEnd end) {
  switch (end) {
    case TaskEnd::finished:
      return "finished";
    case TaskEnd::stopped:
      return "stopped";
    case TaskEnd::satisfied:
      return "satisfied";
    case TaskEnd::deadlinePassed:
      return "deadlinePassed";
    case TaskEnd::ownerGone:
      return "ownerGone";
    case TaskEnd::notWanted:
      return "notWanted";
  }
  return "unknown";
}

}  // namespace tessarapane
