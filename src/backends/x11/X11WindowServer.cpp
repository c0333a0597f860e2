#include "backends/x11/X11WindowServer.h"

#include <utility>

namespace tessarapane {

namespace {
// _NET_WM_DESKTOP of a window shown on every desktop.
constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;
// Status of a display query that could not be answered (the platform's
// "failure").
constexpr std::int32_t kDisplayError = 1000;
}  // namespace

X11WindowServer::X11WindowServer(std::shared_ptr<X11Desktop> desktop) : desktop_(std::move(desktop)) {}

std::optional<std::vector<WindowInfo>> X11WindowServer::onScreenWindowList() {
  X11Connection& x = desktop_->x();
  const Deadline deadline = x.deadline();
  auto stacking = desktop_->stackingList(deadline);
  if (!stacking) return std::nullopt;
  const auto current = desktop_->currentDesktop(deadline);
  if (!current) return std::nullopt;
  const unsigned fields = ClientField::kFrame | ClientField::kType | ClientField::kState | ClientField::kTitle |
                          ClientField::kClass | ClientField::kDesktop | ClientField::kOpacity;
  const std::vector<ClientInfo> infos = desktop_->clientCache().read(*stacking, fields, deadline);
  for (const ClientInfo& info : infos) {
    if (info.error == AXError::cannotComplete) return std::nullopt;
  }
  const auto pids = desktop_->pidsOf(*stacking, deadline);

  std::vector<WindowInfo> list;
  // The stacking list runs bottom to top; the window list front to back.
  for (std::size_t i = infos.size(); i-- > 0;) {
    const ClientInfo& info = infos[i];
    if (info.error != AXError::success || !info.viewable) continue;
    if (info.desktop && *info.desktop != *current && *info.desktop != kAllDesktops) continue;
    // Desktop elements are never in the list.
    if (info.kind == ClientKind::desktop) continue;
    WindowInfo entry;
    entry.number = info.window;
    if (pids[i]) entry.ownerPID = *pids[i];
    if (info.kind == ClientKind::dock) {
      entry.layer = kDockLayer;
    } else if (info.hasState(x.atom(Atom::_NET_WM_STATE_ABOVE))) {
      entry.layer = kFloatingLayer;
    } else {
      entry.layer = kNormalLayer;
    }
    entry.bounds = desktop_->toAccessibility(info.frame);
    if (info.opacity) entry.alpha = static_cast<double>(*info.opacity) / 0xFFFFFFFFU;
    if (info.className) entry.ownerName = *info.className;
    if (info.title) entry.name = *info.title;
    list.push_back(std::move(entry));
  }
  return list;
}

ActiveDisplayList X11WindowServer::activeDisplayList(std::uint32_t maxDisplays) {
  const auto monitors = desktop_->monitors(desktop_->x().deadline());
  if (!monitors) return ActiveDisplayList{kDisplayError, 0, {}};
  ActiveDisplayList result;
  result.count = static_cast<std::uint32_t>(monitors->size());
  if (maxDisplays == 0) return result;
  for (const X11Monitor& monitor : *monitors) {
    if (result.displays.size() >= maxDisplays) break;
    result.displays.push_back(monitor.id);
  }
  result.count = static_cast<std::uint32_t>(result.displays.size());
  return result;
}

Rect X11WindowServer::displayBounds(DisplayID display) {
  const auto monitors = desktop_->monitors(desktop_->x().deadline());
  if (!monitors) return Rect::null();
  for (const X11Monitor& monitor : *monitors) {
    if (monitor.id == display) return desktop_->toAccessibility(monitor.frame);
  }
  return Rect::null();
}

}  // namespace tessarapane
