#include "backends/x11/X11Monitors.h"

#include <xcb/randr.h>

#include <algorithm>

namespace tessarapane {

std::optional<std::vector<X11Monitor>> readMonitors(X11Connection& x, Deadline deadline) {
  std::vector<X11Monitor> monitors;
  if (x.hasRandR()) {
    auto reply = x.await<xcb_randr_get_monitors_reply_t>(xcb_randr_get_monitors(x.raw(), x.root(), 1), deadline);
    if (!reply.ok()) return std::nullopt;
    for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.value.get()); it.rem > 0;
         xcb_randr_monitor_info_next(&it)) {
      const xcb_randr_monitor_info_t* info = it.data;
      X11Monitor monitor;
      const int outputs = xcb_randr_monitor_info_outputs_length(info);
      monitor.id = outputs > 0 ? xcb_randr_monitor_info_outputs(info)[0] : info->name;
      monitor.frame = Rect(info->x, info->y, info->width, info->height);
      monitor.primary = info->primary != 0;
      if (monitor.frame.width() > 0 && monitor.frame.height() > 0) monitors.push_back(monitor);
    }
    std::stable_partition(monitors.begin(), monitors.end(), [](const X11Monitor& m) { return m.primary; });
  }
  if (monitors.empty()) {
    auto root = x.await<xcb_get_geometry_reply_t>(xcb_get_geometry(x.raw(), x.root()), deadline);
    if (!root.ok()) return std::nullopt;
    monitors.push_back(X11Monitor{x.root(), Rect(0, 0, root->width, root->height), true});
  }
  return monitors;
}

namespace {

// The work area the struts alone give: the root less the widest strut on each
// edge, as EWMH window managers compute it.
Rect strutWorkArea(const std::vector<ClientInfo>& docks, const Rect& rootFrame) {
  double left = 0, right = 0, top = 0, bottom = 0;
  for (const ClientInfo& dock : docks) {
    if (dock.strut.size() < 4) continue;
    left = std::max(left, static_cast<double>(dock.strut[0]));
    right = std::max(right, static_cast<double>(dock.strut[1]));
    top = std::max(top, static_cast<double>(dock.strut[2]));
    bottom = std::max(bottom, static_cast<double>(dock.strut[3]));
  }
  return Rect(rootFrame.minX() + left, rootFrame.minY() + top, rootFrame.width() - left - right,
              rootFrame.height() - top - bottom);
}

}  // namespace

Rect visibleFrame(const Rect& monitor, const std::vector<ClientInfo>& docks, const Rect& rootFrame,
                  const std::optional<Rect>& workArea) {
  double left = monitor.minX();
  double right = monitor.maxX();
  double top = monitor.minY();
  double bottom = monitor.maxY();
  const double width = rootFrame.width();
  const double height = rootFrame.height();
  for (const ClientInfo& dock : docks) {
    if (dock.strut.size() < 12) continue;
    const auto& s = dock.strut;
    auto span = [](std::uint32_t start, std::uint32_t end) { return static_cast<double>(end) - start + 1.0; };
    const Rect leftStrut(0, s[4], s[0], span(s[4], s[5]));
    const Rect rightStrut(width - s[1], s[6], s[1], span(s[6], s[7]));
    const Rect topStrut(s[8], 0, span(s[8], s[9]), s[2]);
    const Rect bottomStrut(s[10], height - s[3], span(s[10], s[11]), s[3]);
    auto touches = [&](const Rect& strut) {
      if (!(strut.width() > 0 && strut.height() > 0)) return false;
      const Rect shared = strut.intersection(monitor);
      return !shared.isNull() && shared.width() > 0 && shared.height() > 0;
    };
    // Each strut trims the edge of the monitor it covers.
    if (touches(topStrut) && topStrut.minY() <= top && top < topStrut.maxY()) top = topStrut.maxY();
    if (touches(bottomStrut) && bottomStrut.minY() < bottom && bottom <= bottomStrut.maxY()) {
      bottom = bottomStrut.minY();
    }
    if (touches(leftStrut) && leftStrut.minX() <= left && left < leftStrut.maxX()) left = leftStrut.maxX();
    if (touches(rightStrut) && rightStrut.minX() < right && right <= rightStrut.maxX()) right = rightStrut.minX();
  }
  // A work area that does not lie inside the root, or leaves nothing, is
  // another program's mistake: ignored.
  const Rect struts = strutWorkArea(docks, rootFrame);
  if (workArea && workArea->width() > 0 && workArea->height() > 0 && rootFrame.contains(workArea->origin) &&
      workArea->maxX() <= rootFrame.maxX() && workArea->maxY() <= rootFrame.maxY()) {
    if (monitor.minY() == rootFrame.minY() && workArea->minY() > struts.minY()) top = std::max(top, workArea->minY());
    if (monitor.maxY() == rootFrame.maxY() && workArea->maxY() < struts.maxY()) {
      bottom = std::min(bottom, workArea->maxY());
    }
    if (monitor.minX() == rootFrame.minX() && workArea->minX() > struts.minX()) left = std::max(left, workArea->minX());
    if (monitor.maxX() == rootFrame.maxX() && workArea->maxX() < struts.maxX()) right = std::min(right, workArea->maxX());
  }
  if (!(right > left) || !(bottom > top)) return monitor;
  return Rect(left, top, right - left, bottom - top);
}

}  // namespace tessarapane
