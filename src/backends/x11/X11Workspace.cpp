#include "backends/x11/X11Workspace.h"

#include <unistd.h>

#include <algorithm>
#include <string>
#include <utility>

namespace tessarapane {

namespace {

// Icons are chosen as close to this size as the client offers, not above.
constexpr std::uint32_t kPreferredIconSize = 64;
constexpr std::uint32_t kMaxIconLongs = 1U << 18;

}  // namespace

std::shared_ptr<X11Workspace> X11Workspace::create(std::shared_ptr<X11Desktop> desktop,
                                                   std::shared_ptr<AddressOpener> opener) {
  std::shared_ptr<X11Workspace> workspace(new X11Workspace(desktop, std::move(opener)));
  workspace->start();
  desktop->addListener(workspace);
  return workspace;
}

X11Workspace::X11Workspace(std::shared_ptr<X11Desktop> desktop, std::shared_ptr<AddressOpener> opener)
    : desktop_(std::move(desktop)), opener_(std::move(opener)) {}

void X11Workspace::start() {
  const Deadline deadline = desktop_->x().deadline();
  if (auto list = desktop_->clientList(deadline)) {
    const auto pids = desktop_->pidsOf(*list, deadline);
    for (std::size_t i = 0; i < list->size(); ++i) {
      if (pids[i]) windowsByPid_[*pids[i]].insert((*list)[i]);
    }
  }
  if (const auto active = desktop_->activeWindow(deadline); active && *active != XCB_NONE) {
    lastActivePid_ = desktop_->pidOf(*active).value_or(0);
  }
  // Every application described now, with one batch for all their windows,
  // rather than one round trip after another when a layout starts.
  runningApplications();
}

std::shared_ptr<const ApplicationIcon> X11Workspace::iconOf(ProcessID pid, const std::vector<ClientInfo>& clients,
                                                            Deadline deadline) {
  if (auto found = icons_.find(pid); found != icons_.end()) return found->second;
  X11Connection& x = desktop_->x();
  std::shared_ptr<const ApplicationIcon> best;
  for (const ClientInfo& client : clients) {
    const XProperty property =
        x.awaitProperty(x.requestProperty(client.window, x.atom(Atom::_NET_WM_ICON), XCB_ATOM_CARDINAL, kMaxIconLongs),
                        deadline);
    const auto values = property.values32();
    std::size_t offset = 0;
    std::uint32_t bestSize = 0;
    std::size_t bestOffset = 0;
    while (offset + 2 <= values.size()) {
      const std::uint32_t width = values[offset];
      const std::uint32_t height = values[offset + 1];
      const std::size_t pixels = static_cast<std::size_t>(width) * height;
      if (width == 0 || height == 0 || offset + 2 + pixels > values.size()) break;
      const std::uint32_t size = std::max(width, height);
      // The largest not above the preferred size, else the smallest.
      const bool better = bestSize == 0 || (size <= kPreferredIconSize && (bestSize > kPreferredIconSize || size > bestSize)) ||
                          (size > kPreferredIconSize && bestSize > kPreferredIconSize && size < bestSize);
      if (better) {
        bestSize = size;
        bestOffset = offset;
      }
      offset += 2 + pixels;
    }
    if (bestSize == 0) continue;
    auto icon = std::make_shared<ApplicationIcon>();
    icon->width = static_cast<int>(values[bestOffset]);
    icon->height = static_cast<int>(values[bestOffset + 1]);
    icon->argb.assign(values.begin() + static_cast<std::ptrdiff_t>(bestOffset + 2),
                      values.begin() + static_cast<std::ptrdiff_t>(bestOffset + 2 + static_cast<std::size_t>(icon->width) * icon->height));
    best = std::move(icon);
    break;
  }
  icons_[pid] = best;
  return best;
}

RunningApplication X11Workspace::describe(ProcessID pid, const std::vector<ClientInfo>& clients, Deadline deadline) {
  RunningApplication application;
  application.processIdentifier = pid;
  bool regular = false;
  for (const ClientInfo& client : clients) {
    if (client.error != AXError::success) continue;
    // A window without a type of its own is a normal one.
    if (client.kind == ClientKind::normal || client.kind == ClientKind::none) regular = true;
    if (!application.localizedName && client.className && !client.className->empty()) {
      application.localizedName = *client.className;
      application.bundleIdentifier = *client.className;
    }
  }
  application.activationPolicy = regular ? ActivationPolicy::regular : ActivationPolicy::accessory;
  application.icon = iconOf(pid, clients, deadline);
  known_[pid] = application;
  if (windowsByPid_.count(pid) != 0) current_.insert(pid);
  return application;
}

std::vector<RunningApplication> X11Workspace::runningApplications() {
  X11Connection& x = desktop_->x();
  const Deadline deadline = x.deadline();
  const auto list = desktop_->clientList(deadline);
  if (!list) return {};
  const auto pids = desktop_->pidsOf(*list, deadline);
  const std::vector<ClientInfo> infos = desktop_->clientCache().read(*list, ClientField::kType | ClientField::kClass, deadline);
  std::map<ProcessID, std::vector<ClientInfo>> byPid;
  for (std::size_t i = 0; i < list->size(); ++i) {
    if (pids[i]) byPid[*pids[i]].push_back(infos[i]);
  }
  std::vector<RunningApplication> applications;
  for (const auto& [pid, clients] : byPid) applications.push_back(describe(pid, clients, deadline));
  return applications;
}

std::optional<RunningApplication> X11Workspace::runningApplication(ProcessID pid) {
  // Described once while the process's set of clients stays the same: a pass
  // over the windows asks about each window's application.
  if (current_.count(pid) != 0 && desktop_->x().isConnected()) {
    if (auto known = known_.find(pid); known != known_.end()) return known->second;
  }
  X11Connection& x = desktop_->x();
  const Deadline deadline = x.deadline();
  const auto windows = desktop_->clientsOf(pid, deadline);
  if (!windows || windows->empty()) return std::nullopt;
  return describe(pid, desktop_->clientCache().read(*windows, ClientField::kType | ClientField::kClass, deadline), deadline);
}

std::optional<RunningApplication> X11Workspace::frontmostApplication() {
  const auto active = desktop_->activeWindow(desktop_->x().deadline());
  if (!active || *active == XCB_NONE) return std::nullopt;
  const auto pid = desktop_->pidOf(*active);
  if (!pid) return std::nullopt;
  return runningApplication(*pid);
}

ProcessID X11Workspace::currentProcessID() { return static_cast<ProcessID>(getpid()); }

bool X11Workspace::activate(ProcessID pid) {
  const auto front = desktop_->frontWindowOf(pid, desktop_->x().deadline());
  if (!front) return false;
  desktop_->requestActivation(*front);
  return true;
}

FrontProcessResult X11Workspace::bringProcessToFront(ProcessID pid) {
  const auto front = desktop_->frontWindowOf(pid, desktop_->x().deadline());
  if (!front) return FrontProcessResult::unavailable;
  desktop_->requestActivation(*front);
  return FrontProcessResult::succeeded;
}

void X11Workspace::openAddress(std::string_view address, std::function<void(bool)> done) {
  if (opener_) {
    opener_->open(address, std::move(done));
  } else if (done) {
    done(false);
  }
}

Subscription X11Workspace::subscribe(std::function<void(const WorkspaceNotification&)> handler) {
  if (!handler) return {};
  const std::uint64_t id = nextHandler_++;
  handlers_.emplace(id, std::make_shared<std::function<void(const WorkspaceNotification&)>>(std::move(handler)));
  return Subscription([weak = weak_from_this(), id] {
    if (auto self = weak.lock()) self->handlers_.erase(id);
  });
}

void X11Workspace::post(WorkspaceNotification notification) {
  std::vector<std::pair<std::uint64_t, std::shared_ptr<std::function<void(const WorkspaceNotification&)>>>> handlers(
      handlers_.begin(), handlers_.end());
  for (const auto& [id, handler] : handlers) {
    if (handlers_.count(id) != 0) (*handler)(notification);
  }
}

void X11Workspace::clientAdded(xcb_window_t window, ProcessID pid) {
  current_.erase(pid);
  auto& windows = windowsByPid_[pid];
  const bool first = windows.empty();
  windows.insert(window);
  if (!first) return;
  icons_.erase(pid);
  post(WorkspaceNotification{WorkspaceNotification::Kind::applicationLaunched, runningApplication(pid)});
}

void X11Workspace::clientRemoved(xcb_window_t window, ProcessID pid) {
  current_.erase(pid);
  auto found = windowsByPid_.find(pid);
  if (found == windowsByPid_.end()) return;
  found->second.erase(window);
  if (!found->second.empty()) return;
  windowsByPid_.erase(found);
  std::optional<RunningApplication> application;
  if (auto known = known_.find(pid); known != known_.end()) {
    application = known->second;
    known_.erase(known);
  } else {
    application = RunningApplication{};
    application->processIdentifier = pid;
  }
  icons_.erase(pid);
  if (lastActivePid_ == pid) lastActivePid_ = 0;
  post(WorkspaceNotification{WorkspaceNotification::Kind::applicationTerminated, application});
}

void X11Workspace::activeWindowChanged(xcb_window_t, ProcessID pid) {
  if (pid == lastActivePid_) return;
  lastActivePid_ = pid;
  post(WorkspaceNotification{WorkspaceNotification::Kind::applicationActivated, runningApplication(pid)});
}

void X11Workspace::currentDesktopChanged() {
  post(WorkspaceNotification{WorkspaceNotification::Kind::activeSpaceChanged, std::nullopt});
}

// A window entering or leaving full screen is a desktop of its own coming or
// going where full screen is a mode of the system; listeners that let go of
// full-screen windows look again.
void X11Workspace::fullScreenChanged(xcb_window_t, ProcessID) { currentDesktopChanged(); }

}  // namespace tessarapane
