#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

#include "bento/BentoChildSlot.h"
#include "bento/BentoNode.h"
#include "bento/BentoSplitOrientation.h"

// Structural operations on bento trees: build, walk, copy and edit. All pure.
namespace tessarapane::BentoEngine {

inline constexpr double kFreshSplitRatio = 0.5;

namespace detail {

// Balanced tree over values[begin, end), which holds at least one value. The
// orientation alternates by level; a parity flag instead of a depth counter
// cannot overflow.
template <typename Value>
BentoNode<Value> buildRange(const std::vector<Value>& values, std::size_t begin, std::size_t end, bool vertical) {
  const std::size_t count = end - begin;
  if (count == 1) return BentoNode<Value>::leaf(values[begin]);
  // An odd extra value goes to the second half.
  const std::size_t middle = begin + count / 2;
  BentoNode<Value> first = buildRange(values, begin, middle, !vertical);
  BentoNode<Value> second = buildRange(values, middle, end, !vertical);
  return BentoNode<Value>::split(vertical ? BentoSplitOrientation::vertical : BentoSplitOrientation::horizontal,
                                 kFreshSplitRatio, std::move(first), std::move(second));
}

template <typename Value>
void collectLeaves(const BentoNode<Value>& node, std::vector<Value>& out) {
  if (const Value* value = node.asLeaf()) {
    out.push_back(*value);
    return;
  }
  const auto& split = *node.asSplit();
  collectLeaves(split.first(), out);
  collectLeaves(split.second(), out);
}

template <typename Value>
BentoNode<Value> replacingRatioFrom(double ratio, const BentoPath& path, std::size_t index,
                                    const BentoNode<Value>& node) {
  const auto* split = node.asSplit();
  // A leaf before the path ends: the path is stale, so nothing changes.
  if (split == nullptr) return node;
  if (index == path.size()) return BentoNode<Value>::split(split->orientation, ratio, split->firstNode, split->secondNode);
  auto edited = std::make_shared<const BentoNode<Value>>(
      replacingRatioFrom(ratio, path, index + 1, split->child(path[index])));
  if (path[index] == BentoChildSlot::first) {
    return BentoNode<Value>::split(split->orientation, split->ratio, std::move(edited), split->secondNode);
  }
  return BentoNode<Value>::split(split->orientation, split->ratio, split->firstNode, std::move(edited));
}

}  // namespace detail

// Balanced tree of the values in the given order; nothing for an empty list.
// Even depths split side by side, odd depths one above the other.
template <typename Value>
std::optional<BentoNode<Value>> build(const std::vector<Value>& values, int depth = 0) {
  if (values.empty()) return std::nullopt;
  return detail::buildRange(values, 0, values.size(), depth % 2 == 0);
}

// The leaf payloads, first subtree before second.
template <typename Value>
std::vector<Value> leafValues(const BentoNode<Value>& node) {
  std::vector<Value> values;
  detail::collectLeaves(node, values);
  return values;
}

// Same shape, orientations and ratios, every payload transformed; the
// transform is called in leaf order.
template <typename Value, typename Transform>
auto mapLeaves(const BentoNode<Value>& node, Transform&& transform)
    -> BentoNode<std::decay_t<std::invoke_result_t<Transform&, const Value&>>> {
  using Result = BentoNode<std::decay_t<std::invoke_result_t<Transform&, const Value&>>>;
  if (const Value* value = node.asLeaf()) return Result::leaf(std::invoke(transform, *value));
  const auto& split = *node.asSplit();
  Result first = mapLeaves(split.first(), transform);
  Result second = mapLeaves(split.second(), transform);
  return Result::split(split.orientation, split.ratio, std::move(first), std::move(second));
}

// The node the path names; nothing when the path runs into a leaf first.
template <typename Value>
std::optional<BentoNode<Value>> nodeAt(const BentoPath& path, const BentoNode<Value>& node) {
  const BentoNode<Value>* current = &node;
  for (BentoChildSlot slot : path) {
    const auto* split = current->asSplit();
    if (split == nullptr) return std::nullopt;
    current = &split->child(slot);
  }
  return *current;
}

// Copy of the tree with the ratio of the split at the path replaced; a path
// that ends on or passes through a leaf edits nothing.
template <typename Value>
BentoNode<Value> replacingRatio(double ratio, const BentoPath& path, const BentoNode<Value>& node) {
  return detail::replacingRatioFrom(ratio, path, 0, node);
}

// The tree after a window joins: rebuilt balanced with the value last, so
// every ratio returns to 0.5.
template <typename Value>
BentoNode<Value> appendingLeaf(const BentoNode<Value>& node, Value value) {
  std::vector<Value> values = leafValues(node);
  values.push_back(std::move(value));
  return *build(values, 0);
}

// The tree rebuilt from the leaves that pass the test, in leaf order (all
// ratios 0.5); nothing when no leaf passes.
template <typename Value, typename Predicate>
std::optional<BentoNode<Value>> keepingLeaves(const BentoNode<Value>& node, Predicate&& keep) {
  std::vector<Value> survivors;
  for (Value& value : leafValues(node)) {
    if (std::invoke(keep, std::as_const(value))) survivors.push_back(std::move(value));
  }
  return build(survivors, 0);
}

}  // namespace tessarapane::BentoEngine
