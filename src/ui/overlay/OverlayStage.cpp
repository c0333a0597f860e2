#include "ui/overlay/OverlayStage.h"

#include <algorithm>
#include <utility>

#include "ui/overlay/CompositingWatch.h"
#include "ui/overlay/OverlayPanel.h"

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
