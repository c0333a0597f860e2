#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "CoordinatorSimFixture.h"
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
  // Strips, handles or previews beyond those of the running layout show as
  // "+open".
  std::string layout() const {
    const LayoutSnapshot shown = now();
    std::string out = shown.isRunning() ? shown.kindName() : "none";
    std::size_t strips = 0;
    if (shown.family == LayoutSnapshot::Family::tabs) out += " @" + std::to_string(shown.focusedPane);
    for (std::size_t p = 0; p < shown.panes.size(); ++p) {
      const LayoutSnapshot::Pane& pane = shown.panes[p];
      std::vector<std::string> titles;
      out += " [";
      for (std::size_t t = 0; t < pane.windows.size(); ++t) {
        out += (t ? " " : "") + titleOf(pane.windows[t].id) + (pane.selectedIndex == int(t) ? "*" : "");
        std::string title = trimmingWhitespaceAndNewlines(pane.windows[t].title);
        titles.push_back(title.empty() ? trimmingWhitespaceAndNewlines(pane.windows[t].appName) : title);
      }
      out += "]";
      const auto bar = tabBar(int(p));
      strips += bar != nullptr;
      if (pane.windows.empty() ? bar != nullptr
                               : !bar || !bar->isVisible || bar->titles() != titles || bar->selectedIndex != pane.selectedIndex) {
        out += "!strip";
      }
    }
    if (shown.family == LayoutSnapshot::Family::grid) {
      out += " [";
      for (const LayoutSnapshot::Tile& tile : shown.tiles) out += " " + titleOf(tile.window.id);
      out += " ]";
    }
    std::size_t handles = 0, previews = 0;
    for (const auto& d : chrome->dividerControllers) {
      if (d->isTornDown) continue;
      ++handles;
      for (const auto& divider : d->dividers) out += " |" + text(divider.frame);
    }
    for (const auto& p : chrome->previewPanels) {
      if (p->isClosed) continue;
      ++previews;
      if (p->isVisible) out += " preview";
    }
    std::size_t openStrips = std::count_if(chrome->tabBars.begin(), chrome->tabBars.end(), [](const auto& bar) { return !bar->isClosed; });
    const std::size_t grids = shown.family == LayoutSnapshot::Family::grid;
    const bool stray = openStrips != strips || handles > grids || previews > grids;
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
