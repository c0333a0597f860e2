#pragma once

#include <vector>

#include "platform/ManagedWindow.h"

namespace tessarapane::PaneTabHistory {

// `history` without `id`, in the same order.
std::vector<WindowID> removing(WindowID id, const std::vector<WindowID>& history);

// `id` first, then `history` without `id`. The history has no length limit.
std::vector<WindowID> recording(WindowID id, const std::vector<WindowID>& history);

// The tab to select after a removal: the first window of `history` that is
// still in `remainingIDs` (at its first position there); else `removedIndex`
// clamped into the remaining tabs; 0 when none remain.
int selectedIndex(const std::vector<WindowID>& remainingIDs, const std::vector<WindowID>& history, int removedIndex);

}  // namespace tessarapane::PaneTabHistory
