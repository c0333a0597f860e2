#pragma once

#include <memory>
#include <utility>
#include <variant>

#include "bento/BentoChildSlot.h"
#include "bento/BentoSplitOrientation.h"
#include "platform/ManagedWindow.h"

namespace tessarapane {

// Leaf payloads compare with ==, except windows, which are the same window
// exactly when their identifiers match (their title and frame are snapshots).
template <typename Value>
bool sameLeaf(const Value& a, const Value& b) {
  return a == b;
}

inline bool sameLeaf(const ManagedWindow& a, const ManagedWindow& b) { return a.windowID == b.windowID; }

// An immutable two-way split tree whose leaves hold one value each (a window
// in the running system). Children are shared, so copies are cheap and edits
// build a new tree around the untouched subtrees. Always holds at least one
// leaf: there is no empty tree.
template <typename Value>
class BentoNode {
 public:
  struct Split {
    BentoSplitOrientation orientation;
    // Share of the free length that goes to `first`; stored as given and
    // clamped only when laid out.
    double ratio;
    std::shared_ptr<const BentoNode> firstNode;
    std::shared_ptr<const BentoNode> secondNode;

    const BentoNode& first() const { return *firstNode; }
    const BentoNode& second() const { return *secondNode; }
    const BentoNode& child(BentoChildSlot slot) const {
      return slot == BentoChildSlot::first ? *firstNode : *secondNode;
    }
  };

  static BentoNode leaf(Value value) { return BentoNode(std::move(value)); }

  static BentoNode split(BentoSplitOrientation orientation, double ratio, BentoNode first, BentoNode second) {
    return BentoNode(Split{orientation, ratio, std::make_shared<const BentoNode>(std::move(first)),
                           std::make_shared<const BentoNode>(std::move(second))});
  }

  // Reuses existing children without copying them.
  static BentoNode split(BentoSplitOrientation orientation, double ratio, std::shared_ptr<const BentoNode> first,
                         std::shared_ptr<const BentoNode> second) {
    return BentoNode(Split{orientation, ratio, std::move(first), std::move(second)});
  }

  bool isLeaf() const { return std::holds_alternative<Value>(content_); }
  // The payload, or null for a split.
  const Value* asLeaf() const { return std::get_if<Value>(&content_); }
  // The split, or null for a leaf.
  const Split* asSplit() const { return std::get_if<Split>(&content_); }

  // Same shape, orientations, ratios (compared exactly) and leaves.
  friend bool operator==(const BentoNode& a, const BentoNode& b) {
    if (const Value* leafA = a.asLeaf()) {
      const Value* leafB = b.asLeaf();
      return leafB != nullptr && sameLeaf(*leafA, *leafB);
    }
    const Split* splitA = a.asSplit();
    const Split* splitB = b.asSplit();
    return splitB != nullptr && splitA->orientation == splitB->orientation && splitA->ratio == splitB->ratio &&
           splitA->first() == splitB->first() && splitA->second() == splitB->second();
  }

 private:
  explicit BentoNode(Value value) : content_(std::in_place_index<0>, std::move(value)) {}
  explicit BentoNode(Split split) : content_(std::in_place_index<1>, std::move(split)) {}

  std::variant<Value, Split> content_;
};

}  // namespace tessarapane
