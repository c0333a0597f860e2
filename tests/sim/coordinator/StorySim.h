#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "CoordinatorSimFixture.h"
#include "bento/BentoEngine.h"
#include "bento/WhitespaceTrim.h"

namespace tessarapane {

// Stories on the simulated desktop compare the whole outcome at once: every
// window's frame, and the running layout as the user sees it.
class StorySim : public CoordinatorSim {
 protected:
  static std::string text(const Rect& r) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%g,%g %gx%g", r.x(), r.y(), r.width(), r.height());
    return buffer;
  }

  std::string titleOf(WindowID window) const {
    return desktop->window(window) ? desktop->window(window)->desc.title : "#" + std::to_string(window);
  }

  // Opens windows of one application each, titled as given; the last one is
  // front-most.
  IDs openApps(const std::vector<std::string>& titles, Rect frame = Rect(100, 100, 800, 600)) {
    IDs ids;
    for (const std::string& title : titles) ids.push_back(open(launch("App-" + title), title, frame));
    settle();
    return ids;
  }

  // Every window of the desktop in the order opened: "title(x,y wxh)",
  // with "min" / "fs" for minimised and full-screen windows.
  std::string desk() const {
    std::vector<WindowID> all = desktop->stackingOrder();
    std::sort(all.begin(), all.end());
    std::string out;
    for (WindowID window : all) {
      const auto& desc = desktop->window(window)->desc;
      out += (out.empty() ? "" : " ") + desc.title + "(" + text(desc.frame) + (desc.minimized ? " min" : "") + (desc.fullScreen ? " fs" : "") + ")";
    }
    return out;
  }

  // Windows front-most first, by title.
  std::string stack() const {
    std::string out;
    for (WindowID window : desktop->stackingOrder()) out += (out.empty() ? "" : " ") + titleOf(window);
    return out;
  }

  // The running layout: "split2 @0 [b* c] [a*] mem=tabs:split2" (the kind,
  // the pane keyboard moves start from, each pane's tabs with the selected
  // one starred, the remembered layout); a pane whose strip shows anything
  // else is marked "!strip". The grid: its tiles and the divider handles.
  // Strips, handles or previews of no running layout show as "+open".
  std::string layout() const {
    std::string out;
    std::vector<const void*> live;
    if (const auto& tabs = coordinator->session) {
      out = std::string(rawValue(tabs->kind)) + " @" + std::to_string(tabs->lastFocusedPaneIndex);
      for (std::size_t p = 0; p < tabs->panes.size(); ++p) {
        const PaneState& pane = tabs->panes[p];
        std::vector<std::string> titles;
        out += " [";
        for (std::size_t t = 0; t < pane.windows.size(); ++t) {
          out += (t ? " " : "") + titleOf(pane.windows[t].windowID) + (pane.selectedIndex == int(t) ? "*" : "");
          std::string shown = trimmingWhitespaceAndNewlines(pane.windows[t].title);
          titles.push_back(shown.empty() ? trimmingWhitespaceAndNewlines(pane.windows[t].appName) : shown);
        }
        out += "]";
        const auto bar = tabBar(int(p));
        live.push_back(bar.get());
        if (pane.windows.empty() ? bar != nullptr
                                 : !bar || !bar->isVisible || bar->isClosed || bar->titles() != titles ||
                                       bar->selectedIndex != pane.selectedIndex || bar->frame != pane.geometry.tabBarFrame) {
          out += "!strip";
        }
      }
    } else if (const auto& grid = coordinator->bentoSession) {
      out = "grid [";
      for (const ManagedWindow& window : BentoEngine::leafValues(grid->tree)) out += " " + titleOf(window.windowID);
      out += " ]";
      live.push_back(grid->dividerController.get());
      live.push_back(grid->previewPanel.get());
      if (const auto handles = std::dynamic_pointer_cast<RecordingDividerController>(grid->dividerController)) {
        for (const auto& divider : handles->dividers) out += " |" + text(divider.frame);
      }
      const auto preview = std::dynamic_pointer_cast<RecordingPreviewPanel>(grid->previewPanel);
      if (preview && preview->isVisible) out += " preview";
    } else {
      out = "none";
    }
    bool stray = false;
    for (const auto& bar : chrome->tabBars) stray |= !bar->isClosed && !std::count(live.begin(), live.end(), bar.get());
    for (const auto& d : chrome->dividerControllers) stray |= !d->isTornDown && !std::count(live.begin(), live.end(), d.get());
    for (const auto& p : chrome->previewPanels) stray |= !p->isClosed && !std::count(live.begin(), live.end(), p.get());
    return out + (stray ? " +open" : "") + " mem=" + remembered().value_or("-");
  }

  // Frame writes the coordinator made to these windows since the recorder
  // was last cleared.
  std::vector<std::size_t> writes(const IDs& windows) const {
    std::vector<std::size_t> out;
    for (WindowID window : windows) out.push_back(desktop->recorder().frameWrites(window));
    return out;
  }
};

}  // namespace tessarapane
