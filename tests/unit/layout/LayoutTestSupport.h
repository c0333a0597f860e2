#pragma once

#include <ostream>
#include <vector>

#include "layout/PaneGeometry.h"
#include "platform/ManagedWindow.h"

namespace tessarapane {

inline std::ostream& operator<<(std::ostream& out, const PaneGeometry& g) {
  return out << "{pane " << g.paneFrame << ", bar " << g.tabBarFrame << ", window " << g.windowFrame << "}";
}

namespace testing_support {

using Lists = std::vector<std::vector<WindowID>>;

// A window of process `pid` whose accessibility element is told apart by `token` (the window ID unless given).
inline ManagedWindow window(WindowID id, ProcessID pid = 100, std::uint64_t token = 0) {
  ManagedWindow w;
  w.windowID = id;
  w.ownerPID = pid;
  w.element = AXElement{pid, AXElementKind::window, token == 0 ? id : token};
  return w;
}

inline std::vector<ManagedWindow> windows(std::initializer_list<WindowID> ids) {
  std::vector<ManagedWindow> result;
  for (WindowID id : ids) result.push_back(window(id));
  return result;
}

inline std::vector<WindowID> ids(const std::vector<ManagedWindow>& list) {
  std::vector<WindowID> result;
  for (const ManagedWindow& w : list) result.push_back(w.windowID);
  return result;
}

inline Lists idsByPane(const std::vector<std::vector<ManagedWindow>>& lists) {
  Lists result;
  for (const auto& list : lists) result.push_back(ids(list));
  return result;
}

}  // namespace testing_support
}  // namespace tessarapane
