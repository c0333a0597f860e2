#include "ui/overlay/QtChromeFactory.h"

#include <QImage>

#include <utility>

#include "ui/grid/QtBentoDividerController.h"
#include "ui/grid/QtBentoPreviewPanel.h"
#include "ui/overlay/DeferredDelete.h"
#include "ui/tabstrip/QtPaneTabBarPanel.h"

namespace tessarapane::ui {

QtChromeFactory::QtChromeFactory(std::shared_ptr<ApplicationIcons> icons, ToolkitSpace space,
                                 std::shared_ptr<Log> log)
    : icons_(std::move(icons)),
      space_(std::move(space)),
      stage_(std::make_shared<OverlayStage>(std::move(log))),
      spareStrips_(std::make_shared<std::vector<QtPaneTabBarPanel*>>()) {
  for (std::size_t i = 0; i < kKeptTabStrips; ++i) {
    auto* strip = new QtPaneTabBarPanel({}, {}, Rect(0, 0, 1, 1), {}, icons_, space_, stage_);
    strip->winId();  // its X window now, while nothing is being placed
    spareStrips_->push_back(strip);
  }
  rehearse(*spareStrips_->front());
}

void QtChromeFactory::rehearse(QtPaneTabBarPanel& strip) {
  // The first strip ever painted finds and loads the fonts (a scan of the
  // font configuration) and outlines its glyphs: done now, off screen, that
  // work does not compete with the window manager's moves of the first layout.
  strip.reuse({PaneTabPresentation{"Tessarapane 应用", 0}, PaneTabPresentation{"Tessarapane", 0}},
              {PaneMoveDirection::left, PaneMoveDirection::right, PaneMoveDirection::up, PaneMoveDirection::down},
              Rect(0, 0, 480, 32), {});
  QImage canvas(strip.size(), QImage::Format_ARGB32_Premultiplied);
  strip.render(&canvas);
  strip.retire();
}

QtChromeFactory::~QtChromeFactory() {
  for (QtPaneTabBarPanel* panel : *spareStrips_) delete panel;
  spareStrips_->clear();
}

std::shared_ptr<tessarapane::PaneTabBarPanel> QtChromeFactory::makePaneTabBarPanel(
    const std::vector<PaneTabPresentation>& tabs, const std::vector<PaneMoveDirection>& moveDirections,
    const Rect& frame, PaneTabBarHandlers handlers) {
  QtPaneTabBarPanel* panel = nullptr;
  if (spareStrips_->empty()) {
    panel = new QtPaneTabBarPanel(tabs, moveDirections, frame, std::move(handlers), icons_, space_, stage_);
  } else {
    panel = spareStrips_->back();
    spareStrips_->pop_back();
    panel->reuse(tabs, moveDirections, frame, std::move(handlers));
  }
  std::weak_ptr<std::vector<QtPaneTabBarPanel*>> spares = spareStrips_;
  return std::shared_ptr<QtPaneTabBarPanel>(panel, [spares](QtPaneTabBarPanel* released) {
    released->hide();
    // The release may come from inside one of the strip's own clicks, whose
    // handler must outlive it: the strip is retired on a later turn.
    QMetaObject::invokeMethod(
        released,
        [released, spares] {
          const auto kept = spares.lock();
          if (kept && kept->size() < kKeptTabStrips) {
            released->retire();
            kept->push_back(released);
          } else {
            released->deleteLater();
          }
        },
        Qt::QueuedConnection);
  });
}

std::shared_ptr<tessarapane::BentoDividerController> QtChromeFactory::makeBentoDividerController(
    BentoDividerCallbacks callbacks) {
  return std::make_shared<QtBentoDividerController>(std::move(callbacks), space_, stage_);
}

std::shared_ptr<tessarapane::BentoPreviewPanel> QtChromeFactory::makeBentoPreviewPanel(const Rect& frame) {
  return makeDeferredShared<QtBentoPreviewPanel>(frame, icons_, space_, stage_);
}

}  // namespace tessarapane::ui
