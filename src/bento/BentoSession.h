#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "bento/BentoNode.h"
#include "bento/BentoTilePresentation.h"
#include "geometry/Rect.h"
#include "platform/ManagedWindow.h"
#include "platform/Screens.h"

namespace tessarapane {

// Drawn by the chrome layer; the session only keeps what it was given.
class BentoDividerController;
class BentoPreviewPanel;

// One running grid layout. Shared by the coordinator and the closures of its
// chrome; the coordinator is its only writer, on the main thread.
class BentoSession {
 public:
  // Every window's recorded frame becomes its original frame; no chrome yet.
  BentoSession(const Screen& screen, const std::vector<ManagedWindow>& windows, BentoNode<ManagedWindow> tree,
               double gap);

  // One tile per leaf, in leaf order, from the current tree laid out in the
  // screen's visible frame (not from the windows' real frames).
  std::vector<BentoTilePresentation> tilePresentations() const;

  Screen screen;
  DisplayID displayID;
  double gap;
  // Accessibility space; written back when the layout is left.
  std::unordered_map<WindowID, Rect> originalFrames;
  BentoNode<ManagedWindow> tree;
  std::shared_ptr<BentoDividerController> dividerController;
  std::shared_ptr<BentoPreviewPanel> previewPanel;
  // While set the tree is neither refreshed nor laid out again.
  bool isDraggingDivider = false;
};

}  // namespace tessarapane
