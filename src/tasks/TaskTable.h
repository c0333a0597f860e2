#pragma once

#include <cstddef>
#include <map>
#include <utility>
#include <vector>

#include "tasks/DelayedTask.h"

namespace tessarapane {

// Delayed tasks kept by key (a window or process id): at most one per key.
// Starting a task for a key cancels the one held before; a task that ends
// by itself leaves the table, but only while it is still the one held for
// its key, so a replaced task never removes its successor. Destroying the
// table cancels everything in it. Neither copied nor moved: the tasks it
// holds refer back to it.
template <class Key>
class TaskTable {
 public:
  TaskTable() = default;
  ~TaskTable() { cancelAll(); }

  TaskTable(const TaskTable&) = delete;
  TaskTable& operator=(const TaskTable&) = delete;

  // Holds `task` under `key` after cancelling the task held there before. A
  // task that is not pending (empty, ended, cancelled) is not held.
  void start(const Key& key, DelayedTask task) {
    cancel(key);
    if (!task.isPending()) return;
    const auto* identity = detail::TaskAccess::identity(task);
    detail::TaskAccess::whenEnded(task, [this, key, identity] { removeIfCurrent(key, identity); });
    tasks_.emplace(key, std::move(task));
  }

  bool contains(const Key& key) const { return tasks_.count(key) != 0; }

  // Cancels and removes the task held for `key`; false when there was none.
  bool cancel(const Key& key) {
    auto node = tasks_.extract(key);
    if (!node) return false;
    node.mapped().cancel();  // after the table is consistent: its captures may call back
    return true;
  }

  void cancelAll() {
    auto tasks = std::exchange(tasks_, {});
    for (auto& entry : tasks) entry.second.cancel();
  }

  std::vector<Key> keys() const {
    std::vector<Key> result;
    result.reserve(tasks_.size());
    for (const auto& entry : tasks_) result.push_back(entry.first);
    return result;
  }

  std::size_t size() const { return tasks_.size(); }
  bool empty() const { return tasks_.empty(); }

 private:
  void removeIfCurrent(const Key& key, const detail::TaskState* identity) {
    const auto it = tasks_.find(key);
    if (it != tasks_.end() && detail::TaskAccess::identity(it->second) == identity) tasks_.erase(it);
  }

  std::map<Key, DelayedTask> tasks_;
};

}  // namespace tessarapane
