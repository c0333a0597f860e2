// Prints where each tab layout puts its panes, tab strips and windows on a
// sample screen, and how the grid layout tiles a handful of windows. A quick
// way to see the layout rules at work without a desktop.
#include <cstdio>
#include <string>
#include <vector>

#include "bento/BentoEngine.h"
#include "bento/BentoTilePresentation.h"
#include "layout/LayoutEngine.h"
#include "layout/LayoutKind.h"
#include "platform/ManagedWindow.h"

namespace {

using namespace tessarapane;

// A 1440 × 900 display whose menu bar takes the top 25 points.
constexpr Rect kSampleVisibleFrame{0, 0, 1440, 875};
// Every grid layout the program starts uses this gap between tiles.
constexpr double kSampleGridGap = 8.0;

std::string format(const Rect& r) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "(%g, %g, %g × %g)", r.x(), r.y(), r.width(), r.height());
  return buffer;
}

void printTabLayouts() {
  for (LayoutKind kind : kAllLayoutKinds) {
    std::printf("%s  \"%s\"\n", std::string(rawValue(kind)).c_str(), displayTitle(kind).c_str());
    const auto panes = LayoutEngine::geometries(kind, kSampleVisibleFrame, LayoutEngine::kTabBarHeight);
    for (std::size_t i = 0; i < panes.size(); ++i) {
      std::printf("  pane %zu: tab strip %s, window %s\n", i, format(panes[i].tabBarFrame).c_str(),
                  format(panes[i].windowFrame).c_str());
    }
  }
}

void printGrid() {
  const std::vector<std::string> titles = {"Terminal", "Editor", "Browser", "Notes", "Mail"};
  std::vector<ManagedWindow> windows;
  for (std::size_t i = 0; i < titles.size(); ++i) {
    ManagedWindow w;
    w.windowID = static_cast<WindowID>(100 + i);
    w.ownerPID = static_cast<ProcessID>(4000 + i);
    w.appName = titles[i];
    w.title = titles[i];
    windows.push_back(w);
  }
  const auto tree = BentoEngine::build(windows);
  if (!tree) return;
  std::printf("grid of %zu windows, gap %g\n", windows.size(), kSampleGridGap);
  for (const auto& tile : tilePresentations(*tree, kSampleVisibleFrame, kSampleGridGap)) {
    std::printf("  %-9s %s  %s\n", tile.title.c_str(), format(tile.frame).c_str(), tile.dimensionText().c_str());
  }
}

}  // namespace

int main() {
  std::printf("Sample screen: visible frame %s (origin bottom-left, y up)\n\n", format(kSampleVisibleFrame).c_str());
  printTabLayouts();
  std::printf("\n");
  printGrid();
  return 0;
}
