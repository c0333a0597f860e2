#pragma once

#include <memory>
#include <vector>

#include "chrome/ChromeFactory.h"
#include "ui/overlay/ApplicationIcons.h"
#include "ui/overlay/OverlayStage.h"
#include "ui/services/ToolkitSpace.h"

namespace tessarapane::ui {

class QtPaneTabBarPanel;

// Makes the Qt panels the coordinator drives. All share one icon cache and
// one stage on the desktop. The
// panels are deleted on a later turn of the event loop once the coordinator
// lets go of them, since that may happen inside one of their own clicks.
//
// Tab strips are kept instead, up to one per pane of the largest layout, and
// that many are made hidden from the start: making a strip's window costs the
// X server dozens of requests, which would otherwise come right while a
// layout places its windows.
class QtChromeFactory final : public ChromeFactory {
 public:
  static constexpr std::size_t kKeptTabStrips = 4;

  QtChromeFactory(std::shared_ptr<ApplicationIcons> icons, ToolkitSpace space, std::shared_ptr<Log> log = nullptr);
  ~QtChromeFactory() override;

  std::shared_ptr<tessarapane::PaneTabBarPanel> makePaneTabBarPanel(
      const std::vector<PaneTabPresentation>& tabs, const std::vector<PaneMoveDirection>& moveDirections,
      const Rect& frame, PaneTabBarHandlers handlers) override;
  std::shared_ptr<tessarapane::BentoDividerController> makeBentoDividerController(
      BentoDividerCallbacks callbacks) override;
  std::shared_ptr<tessarapane::BentoPreviewPanel> makeBentoPreviewPanel(const Rect& frame) override;

  const std::shared_ptr<ApplicationIcons>& icons() const { return icons_; }

 private:
  void rehearse(QtPaneTabBarPanel& strip);

  std::shared_ptr<ApplicationIcons> icons_;
  ToolkitSpace space_;
  std::shared_ptr<OverlayStage> stage_;
  // Hidden strips ready for a pane; owned here.
  std::shared_ptr<std::vector<QtPaneTabBarPanel*>> spareStrips_;
};

}  // namespace tessarapane::ui
