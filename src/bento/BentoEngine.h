#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "bento/BentoChildSlot.h"
#include "bento/BentoDividerLayout.h"
#include "bento/BentoGeometry.h"
#include "bento/BentoLeafLayout.h"
#include "bento/BentoNode.h"
#include "bento/BentoTreeOperations.h"
#include "geometry/Point.h"
#include "geometry/Rect.h"

namespace tessarapane {

// A whole tree laid out: leaves in leaf order, dividers in pre-order.
template <typename Value>
struct BentoTreeLayout {
  std::vector<BentoLeafLayout<Value>> leaves;
  std::vector<BentoDividerLayout> dividers;
};

}  // namespace tessarapane

// Turns a tree and a rectangle into tile frames and dividers (toolkit space).
namespace tessarapane::BentoEngine {

// Lays out `node` in `rect`, appending its leaves in leaf order and its
// dividers in pre-order (a split before the dividers of its first subtree,
// those before the dividers of its second). `path` is the node's own path.
template <typename Value>
void layoutNode(const BentoNode<Value>& node, const Rect& rect, double gap, const BentoPath& path,
                std::vector<BentoLeafLayout<Value>>& leaves, std::vector<BentoDividerLayout>& dividers) {
  const Rect frame = normalizedFrame(rect);
  if (const Value* value = node.asLeaf()) {
    leaves.push_back(BentoLeafLayout<Value>{*value, frame});
    return;
  }
  const auto& split = *node.asSplit();
  const BentoSplitFrames parts = splitFrames(frame, split.orientation, split.ratio, gap);
  dividers.push_back(BentoDividerLayout{path, split.orientation, parts.divider, hitFrame(parts.divider, split.orientation)});
  BentoPath childPath = path;
  childPath.push_back(BentoChildSlot::first);
  layoutNode(split.first(), parts.first, gap, childPath, leaves, dividers);
  childPath.back() = BentoChildSlot::second;
  layoutNode(split.second(), parts.second, gap, childPath, leaves, dividers);
}

// The whole tree in `rect` (the session screen's visible frame).
template <typename Value>
BentoTreeLayout<Value> layout(const BentoNode<Value>& root, const Rect& rect, double gap) {
  BentoTreeLayout<Value> result;
  layoutNode(root, rect, gap, BentoPath{}, result.leaves, result.dividers);
  return result;
}

// The rectangle of the node at the path when `root` fills `rect`; nothing
// when the path runs into a leaf before it ends.
template <typename Value>
std::optional<Rect> frameForNode(const BentoPath& path, const BentoNode<Value>& root, const Rect& rect, double gap) {
  const BentoNode<Value>* node = &root;
  Rect frame = normalizedFrame(rect);
  for (BentoChildSlot slot : path) {
    const auto* split = node->asSplit();
    if (split == nullptr) return std::nullopt;
    const BentoSplitFrames parts = splitFrames(frame, split->orientation, split->ratio, gap);
    frame = slot == BentoChildSlot::first ? parts.first : parts.second;
    node = &split->child(slot);
  }
  return frame;
}

// The tree after the divider of the split at `path` is dragged to `pointer`;
// nothing (ignore the event) when the path no longer names a split or the
// position is unusable.
template <typename Value>
std::optional<BentoNode<Value>> draggingDivider(const BentoPath& path, Point pointer, const BentoNode<Value>& root,
                                                const Rect& rect, double gap) {
  const std::optional<BentoNode<Value>> node = nodeAt(path, root);
  if (!node || node->isLeaf()) return std::nullopt;
  const std::optional<Rect> nodeFrame = frameForNode(path, root, rect, gap);
  if (!nodeFrame) return std::nullopt;
  const std::optional<double> ratio = ratioFromPointer(node->asSplit()->orientation, *nodeFrame, pointer, gap);
  if (!ratio) return std::nullopt;
  return replacingRatio(*ratio, path, root);
}

}  // namespace tessarapane::BentoEngine
