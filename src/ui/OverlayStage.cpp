#include "ui/OverlayStage.h"

#include <algorithm>
#include <utility>

#include "ui/CompositingWatch.h"
#include "ui/OverlayPanel.h"
#include "ui/OverlayStacking.h"

namespace tessarapane::ui {

namespace {
constexpr std::string_view kLogCategory = "Overlays";
}  // namespace

OverlayStage::OverlayStage(std::shared_ptr<Log> log) : log_(std::move(log)) {
  compositing_ = std::make_unique<CompositingWatch>([this](bool active) { compositingChanged(active); });
  if (log_) {
    log_->write(kLogSubsystem, kLogCategory,
                compositing_->active() ? "a compositing manager runs: overlays are translucent"
                                       : "no compositing manager: overlays are shaped to what they draw");
  }
  stacking_ = std::make_unique<OverlayStacking>([this] {
    // Strips and handles first, the drag preview over them.
    std::vector<xcb_window_t> shown[2];
    for (OverlayPanel* panel : panels_) {
      if (panel->isVisible()) shown[panel->stacksOnTop() ? 1 : 0].push_back(static_cast<xcb_window_t>(panel->winId()));
    }
    shown[0].insert(shown[0].end(), shown[1].begin(), shown[1].end());
    return shown[0];
  });
}

OverlayStage::~OverlayStage() = default;

bool OverlayStage::compositing() const { return compositing_->active(); }

void OverlayStage::join(OverlayPanel* panel) { panels_.push_back(panel); }

void OverlayStage::leave(OverlayPanel* panel) { panels_.erase(std::remove(panels_.begin(), panels_.end(), panel), panels_.end()); }

void OverlayStage::compositingChanged(bool active) {
  if (log_) {
    log_->write(kLogSubsystem, kLogCategory,
                active ? "a compositing manager started: overlays are translucent"
                       : "the compositing manager stopped: overlays are shaped to what they draw");
  }
  for (OverlayPanel* panel : panels_) panel->updateShape();
}

}  // namespace tessarapane::ui
