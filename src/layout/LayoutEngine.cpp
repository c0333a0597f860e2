#include "layout/LayoutEngine.h"

#include <algorithm>
#include <cmath>

#include "layout/NewWindowPlacement.h"

namespace tessarapane::LayoutEngine {

std::vector<Rect> paneFrames(LayoutKind kind, const Rect& rect) {
  const Rect r = rect.standardized();
  const double x = r.x();
  const double y = r.y();
  const double w = r.width();
  const double h = r.height();
  const double halfW = std::floor(w * 0.5);
  const double restW = w - halfW;
  const double halfH = std::floor(h * 0.5);
  const double restH = h - halfH;
  const double thirdW = std::floor(w / 3);
  const double lastW = w - thirdW - thirdW;

  switch (kind) {
    case LayoutKind::fullScreen:
      return {Rect(x, y, w, h)};
    case LayoutKind::split2:
      return {Rect(x, y, halfW, h), Rect(x + halfW, y, restW, h)};
    case LayoutKind::split3:
      return {Rect(x, y, thirdW, h), Rect(x + thirdW, y, thirdW, h), Rect(x + thirdW + thirdW, y, lastW, h)};
    case LayoutKind::topBottom:
      return {Rect(x, y + halfH, w, restH), Rect(x, y, w, halfH)};
    case LayoutKind::focusStack:
      return {Rect(x, y, halfW, h), Rect(x + halfW, y + halfH, restW, restH), Rect(x + halfW, y, restW, halfH)};
    case LayoutKind::stackFocus:
      return {Rect(x, y + halfH, halfW, restH), Rect(x, y, halfW, halfH), Rect(x + halfW, y, restW, h)};
    case LayoutKind::split4:
      return {Rect(x, y + halfH, halfW, restH), Rect(x + halfW, y + halfH, restW, restH), Rect(x, y, halfW, halfH),
              Rect(x + halfW, y, restW, halfH)};
  }
  return {};
}

std::vector<PaneGeometry> geometries(LayoutKind kind, const Rect& rect, double tabBarHeight) {
  const double barHeight = tabBarHeight > 0 ? tabBarHeight : 0.0;
  std::vector<PaneGeometry> result;
  for (const Rect& pane : paneFrames(kind, rect)) {
    const double t = std::min(pane.height(), barHeight);
    result.push_back(PaneGeometry{
        .paneFrame = pane,
        .tabBarFrame = Rect(pane.minX(), pane.maxY() - t, pane.width(), t),
        .windowFrame = Rect(pane.minX(), pane.minY(), pane.width(), pane.height() - t),
    });
  }
  return result;
}

WindowsByPane assign(const std::vector<ManagedWindow>& windows, int paneCount) {
  if (paneCount < 1) return {};
  const auto n = static_cast<std::size_t>(paneCount);
  const std::size_t base = windows.size() / n;
  const std::size_t extra = windows.size() % n;
  WindowsByPane result(n);
  auto next = windows.begin();
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t run = base + (i < extra ? 1 : 0);
    result[i].assign(next, next + static_cast<std::ptrdiff_t>(run));
    next += static_cast<std::ptrdiff_t>(run);
  }
  return result;
}

WindowsByPane assignByPlacement(const std::vector<ManagedWindow>& windows, const std::vector<Rect>& windowFrames,
                                const std::vector<Rect>& paneFrames) {
  WindowsByPane result(paneFrames.size());
  if (paneFrames.empty() || windows.size() != windowFrames.size()) return result;
  for (std::size_t i = 0; i < windows.size(); ++i) {
    const Rect& frame = windowFrames[i];
    std::optional<int> pane = NewWindowPlacement::paneIndex(Point{frame.midX(), frame.midY()}, paneFrames);
    if (!pane) pane = NewWindowPlacement::uniquelyLargestOverlapIndex(frame, paneFrames);
    result[static_cast<std::size_t>(pane.value_or(0))].push_back(windows[i]);
  }
  return result;
}

}  // namespace tessarapane::LayoutEngine
