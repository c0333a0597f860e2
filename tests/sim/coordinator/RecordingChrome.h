#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "chrome/BentoDividerController.h"
#include "chrome/BentoPreviewPanel.h"
#include "chrome/ChromeFactory.h"
#include "chrome/PaneTabBarPanel.h"

namespace tessarapane {

// One call the coordinator made on a panel, in the order made. `stamp` is
// whatever the factory's stamp function gave at that moment (the fixture
// uses the number of window writes made so far, to tell what came first).
struct ChromeCall {
  std::string panel;  // "tabBar#1", "dividers#1", "preview#1"
  std::string name;   // "create", "updateTabs", "orderFrontRegardless", ...
  double time = 0.0;
  std::size_t stamp = 0;
};

class ChromeCallLog {
 public:
  std::function<double()> clock;
  std::function<std::size_t()> stamp;

  void add(const std::string& panel, const std::string& name) {
    calls_.push_back(ChromeCall{panel, name, clock ? clock() : 0.0, stamp ? stamp() : 0});
  }
  const std::vector<ChromeCall>& calls() const { return calls_; }
  void clear() { calls_.clear(); }

 private:
  std::vector<ChromeCall> calls_;
};

// A tab strip that keeps what it was told and can be clicked like the real
// one.
class RecordingTabBarPanel final : public PaneTabBarPanel {
 public:
  RecordingTabBarPanel(std::string name, std::shared_ptr<ChromeCallLog> log, std::vector<PaneTabPresentation> tabs,
                       std::vector<PaneMoveDirection> moveDirections, Rect frame, PaneTabBarHandlers handlers)
      : name(std::move(name)), tabs(std::move(tabs)), moveDirections(std::move(moveDirections)), frame(frame),
        selectedIndex(this->tabs.empty() ? -1 : 0), handlers(std::move(handlers)), log_(std::move(log)) {
    log_->add(this->name, "create");
  }

  void updateTabs(const std::vector<PaneTabPresentation>& newTabs, int newSelection, const Rect& newFrame) override {
    log_->add(name, "updateTabs");
    tabs = newTabs;
    selectedIndex = newSelection >= 0 && static_cast<std::size_t>(newSelection) < tabs.size() ? newSelection : -1;
    frame = newFrame;
  }
  void orderFrontRegardless() override { log_->add(name, "orderFrontRegardless"); isVisible = true; }
  void orderOut() override { log_->add(name, "orderOut"); isVisible = false; }
  void close() override { log_->add(name, "close"); isClosed = true; }

  // The user's clicks, as the strip reports them.
  void clickTab(int index) const { handlers.selection(index); }
  void clickClose(int index) const { handlers.close(index); }
  void clickMove(int index, PaneMoveDirection direction) const { handlers.move(index, direction); }

  std::vector<std::string> titles() const {
    std::vector<std::string> result;
    for (const PaneTabPresentation& tab : tabs) result.push_back(tab.title);
    return result;
  }

  const std::string name;
  std::vector<PaneTabPresentation> tabs;
  const std::vector<PaneMoveDirection> moveDirections;
  Rect frame;
  int selectedIndex;
  const PaneTabBarHandlers handlers;
  bool isVisible = false;
  bool isClosed = false;

 private:
  std::shared_ptr<ChromeCallLog> log_;
};

class RecordingDividerController final : public BentoDividerController {
 public:
  RecordingDividerController(std::string name, std::shared_ptr<ChromeCallLog> log, BentoDividerCallbacks callbacks)
      : name(std::move(name)), callbacks(std::move(callbacks)), log_(std::move(log)) {
    log_->add(this->name, "create");
  }

  void update(const std::vector<BentoDividerLayout>& newDividers) override {
    log_->add(name, "update");
    dividers = newDividers;
  }
  void tearDown() override {
    log_->add(name, "tearDown");
    dividers.clear();
    isTornDown = true;
  }

  const std::string name;
  const BentoDividerCallbacks callbacks;
  std::vector<BentoDividerLayout> dividers;
  bool isTornDown = false;

 private:
  std::shared_ptr<ChromeCallLog> log_;
};

class RecordingPreviewPanel final : public BentoPreviewPanel {
 public:
  RecordingPreviewPanel(std::string name, std::shared_ptr<ChromeCallLog> log, Rect frame)
      : name(std::move(name)), frame(frame), log_(std::move(log)) {
    log_->add(this->name, "create");
  }

  void setFrame(const Rect& newFrame) override { log_->add(name, "setFrame"); frame = newFrame; }
  void setScreenFrame(const Rect& newScreenFrame) override {
    log_->add(name, "setScreenFrame");
    screenFrame = newScreenFrame;
  }
  void setTiles(const std::vector<BentoTilePresentation>& newTiles) override {
    log_->add(name, "setTiles");
    tiles = newTiles;
  }
  void setNeedsDisplay() override { log_->add(name, "setNeedsDisplay"); }
  void orderFrontRegardless() override { log_->add(name, "orderFrontRegardless"); isVisible = true; }
  void orderOut() override { log_->add(name, "orderOut"); isVisible = false; }
  void close() override { log_->add(name, "close"); isClosed = true; }

  const std::string name;
  Rect frame;
  Rect screenFrame;
  std::vector<BentoTilePresentation> tiles;
  bool isVisible = false;
  bool isClosed = false;

 private:
  std::shared_ptr<ChromeCallLog> log_;
};

// Makes recording panels and keeps every one it made, in order.
class RecordingChromeFactory final : public ChromeFactory {
 public:
  std::shared_ptr<PaneTabBarPanel> makePaneTabBarPanel(const std::vector<PaneTabPresentation>& tabs,
                                                       const std::vector<PaneMoveDirection>& moveDirections,
                                                       const Rect& frame, PaneTabBarHandlers handlers) override {
    auto panel = std::make_shared<RecordingTabBarPanel>("tabBar#" + std::to_string(tabBars.size() + 1), log, tabs,
                                                        moveDirections, frame, std::move(handlers));
    tabBars.push_back(panel);
    return panel;
  }

  std::shared_ptr<BentoDividerController> makeBentoDividerController(BentoDividerCallbacks callbacks) override {
    auto controller = std::make_shared<RecordingDividerController>(
        "dividers#" + std::to_string(dividerControllers.size() + 1), log, std::move(callbacks));
    dividerControllers.push_back(controller);
    return controller;
  }

  std::shared_ptr<BentoPreviewPanel> makeBentoPreviewPanel(const Rect& frame) override {
    auto panel = std::make_shared<RecordingPreviewPanel>("preview#" + std::to_string(previewPanels.size() + 1), log,
                                                         frame);
    previewPanels.push_back(panel);
    return panel;
  }

  std::shared_ptr<ChromeCallLog> log = std::make_shared<ChromeCallLog>();
  std::vector<std::shared_ptr<RecordingTabBarPanel>> tabBars;
  std::vector<std::shared_ptr<RecordingDividerController>> dividerControllers;
  std::vector<std::shared_ptr<RecordingPreviewPanel>> previewPanels;
};

}  // namespace tessarapane
