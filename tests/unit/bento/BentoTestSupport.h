#pragma once

#include <ostream>
#include <sstream>
#include <string>

#include "bento/BentoNode.h"
#include "platform/ManagedWindow.h"

namespace tessarapane {

// A compact picture of a tree, "V0.5(a,H0.5(b,c))", so a failing shape reads
// at a glance.
template <typename Value>
void describeInto(std::ostream& out, const BentoNode<Value>& node) {
  if (const Value* value = node.asLeaf()) {
    out << *value;
    return;
  }
  const auto& split = *node.asSplit();
  out << (split.orientation == BentoSplitOrientation::vertical ? 'V' : 'H') << split.ratio << '(';
  describeInto(out, split.first());
  out << ',';
  describeInto(out, split.second());
  out << ')';
}

template <typename Value>
std::string describe(const BentoNode<Value>& node) {
  std::ostringstream out;
  describeInto(out, node);
  return out.str();
}

template <typename Value>
void PrintTo(const BentoNode<Value>& node, std::ostream* out) {
  *out << describe(node);
}

inline std::ostream& operator<<(std::ostream& out, const ManagedWindow& window) {
  return out << "#" << window.windowID;
}

inline ManagedWindow makeWindow(WindowID id, std::string title = {}, std::string appName = {}, ProcessID pid = 0) {
  ManagedWindow window;
  window.windowID = id;
  window.ownerPID = pid;
  window.title = std::move(title);
  window.appName = std::move(appName);
  return window;
}

}  // namespace tessarapane
