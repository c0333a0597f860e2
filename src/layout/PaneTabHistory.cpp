#include "layout/PaneTabHistory.h"

#include <algorithm>

namespace tessarapane::PaneTabHistory {

std::vector<WindowID> removing(WindowID id, const std::vector<WindowID>& history) {
  std::vector<WindowID> result;
  result.reserve(history.size());
  std::copy_if(history.begin(), history.end(), std::back_inserter(result), [id](WindowID h) { return h != id; });
  return result;
}

std::vector<WindowID> recording(WindowID id, const std::vector<WindowID>& history) {
  std::vector<WindowID> result;
  result.reserve(history.size() + 1);
  result.push_back(id);
  std::copy_if(history.begin(), history.end(), std::back_inserter(result), [id](WindowID h) { return h != id; });
  return result;
}

int selectedIndex(const std::vector<WindowID>& remainingIDs, const std::vector<WindowID>& history, int removedIndex) {
  if (remainingIDs.empty()) return 0;
  for (WindowID id : history) {
    const auto found = std::find(remainingIDs.begin(), remainingIDs.end(), id);
    if (found != remainingIDs.end()) return static_cast<int>(found - remainingIDs.begin());
  }
  const int last = static_cast<int>(remainingIDs.size()) - 1;
  return std::clamp(removedIndex, 0, last);
}

}  // namespace tessarapane::PaneTabHistory
