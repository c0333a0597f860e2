#pragma once

#include <map>
#include <optional>
#include <utility>

#include "platform/ManagedWindow.h"

namespace tessarapane {

// Application icons by process, shared by every tab of one application so a
// strip redraw neither asks the platform again nor rescales. Templated on the
// toolkit's image type so the rule stays toolkit-free. Entries are never
// removed; a lookup that finds nothing caches nothing, so an application that
// has ended is asked again next time.
template <typename Image>
class ApplicationIconCache {
 public:
  // `load(pid)` returns the platform's icon, already scaled to the tab icon
  // size, or nothing when the application or its icon is missing.
  template <typename Load>
  std::optional<Image> icon(ProcessID pid, Load&& load) {
    if (auto found = images_.find(pid); found != images_.end()) return found->second;
    std::optional<Image> loaded = std::forward<Load>(load)(pid);
    if (loaded) images_.emplace(pid, *loaded);
    return loaded;
  }

  std::size_t size() const { return images_.size(); }

 private:
  std::map<ProcessID, Image> images_;
};

}  // namespace tessarapane
