#pragma once

#include <memory>
#include <vector>

#include "platform/Log.h"

namespace tessarapane::ui {

class CompositingWatch;
class OverlayPanel;

// What the overlay panels share on the desktop: whether a compositing
// manager blends their clear parts (each panel shapes itself to what it
// draws when none does). Panels join while they live. Without an X11
// display panels stay unshaped.
class OverlayStage {
 public:
  explicit OverlayStage(std::shared_ptr<Log> log = nullptr);
  ~OverlayStage();

  OverlayStage(const OverlayStage&) = delete;
  OverlayStage& operator=(const OverlayStage&) = delete;

  bool compositing() const;

  void join(OverlayPanel* panel);
  void leave(OverlayPanel* panel);

 private:
  void compositingChanged(bool active);

  std::shared_ptr<Log> log_;
  std::vector<OverlayPanel*> panels_;
  std::unique_ptr<CompositingWatch> compositing_;
};

}  // namespace tessarapane::ui
