#include "layout/PaneMove.h"

#include <array>
#include <span>

namespace tessarapane::PaneMove {

namespace {

constexpr int kNone = -1;

// Destination per direction, indexed like kAllPaneMoveDirections.
using Neighbours = std::array<int, 4>;

//                                                  left   right  up     down
constexpr std::array<Neighbours, 1> kFullScreen = {{{kNone, kNone, kNone, kNone}}};
constexpr std::array<Neighbours, 2> kSplit2 = {{{kNone, 1, kNone, kNone},  //
                                                {0, kNone, kNone, kNone}}};
constexpr std::array<Neighbours, 3> kSplit3 = {{{kNone, 1, kNone, kNone},  //
                                                {0, 2, kNone, kNone},
                                                {1, kNone, kNone, kNone}}};
constexpr std::array<Neighbours, 2> kTopBottom = {{{kNone, kNone, kNone, 1},  //
                                                   {kNone, kNone, 0, kNone}}};
constexpr std::array<Neighbours, 3> kFocusStack = {{{kNone, 1, kNone, kNone},  //
                                                    {0, kNone, kNone, 2},
                                                    {0, kNone, 1, kNone}}};
constexpr std::array<Neighbours, 3> kStackFocus = {{{kNone, 2, kNone, 1},  //
                                                    {kNone, 2, 0, kNone},
                                                    {0, kNone, kNone, kNone}}};
constexpr std::array<Neighbours, 4> kSplit4 = {{{kNone, 1, kNone, 2},  //
                                                {0, kNone, kNone, 3},
                                                {kNone, 3, 0, kNone},
                                                {2, kNone, 1, kNone}}};

std::span<const Neighbours> neighbourTable(LayoutKind kind) {
  switch (kind) {
    case LayoutKind::fullScreen: return kFullScreen;
    case LayoutKind::split2: return kSplit2;
    case LayoutKind::split3: return kSplit3;
    case LayoutKind::topBottom: return kTopBottom;
    case LayoutKind::focusStack: return kFocusStack;
    case LayoutKind::stackFocus: return kStackFocus;
    case LayoutKind::split4: return kSplit4;
  }
  return {};
}

}  // namespace

std::optional<int> destinationPaneIndex(int from, PaneMoveDirection direction, LayoutKind kind) {
  const std::span<const Neighbours> table = neighbourTable(kind);
  if (from < 0 || static_cast<std::size_t>(from) >= table.size()) return std::nullopt;
  const int destination = table[static_cast<std::size_t>(from)][static_cast<std::size_t>(direction)];
  if (destination == kNone) return std::nullopt;
  return destination;
}

std::vector<PaneMoveDirection> availableDirections(int from, LayoutKind kind) {
  std::vector<PaneMoveDirection> result;
  for (PaneMoveDirection direction : kAllPaneMoveDirections) {
    if (destinationPaneIndex(from, direction, kind)) result.push_back(direction);
  }
  return result;
}

std::optional<FullScreenSplit> expandFullScreenToSplit2(const std::vector<ManagedWindow>& windows, int movingIndex,
                                                        PaneMoveDirection direction) {
  if (movingIndex < 0 || static_cast<std::size_t>(movingIndex) >= windows.size()) return std::nullopt;
  if (direction != PaneMoveDirection::left && direction != PaneMoveDirection::right) return std::nullopt;

  std::vector<ManagedWindow> remaining = windows;
  std::vector<ManagedWindow> moved = {remaining[static_cast<std::size_t>(movingIndex)]};
  remaining.erase(remaining.begin() + movingIndex);

  if (direction == PaneMoveDirection::left) {
    return FullScreenSplit{.windowsByPane = {std::move(moved), std::move(remaining)}, .focusedPaneIndex = 0};
  }
  return FullScreenSplit{.windowsByPane = {std::move(remaining), std::move(moved)}, .focusedPaneIndex = 1};
}

}  // namespace tessarapane::PaneMove
