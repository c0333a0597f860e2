// Observers of the X11 accessibility interface: registrations per process,
// fed by the desktop's client list, active window and title changes.
#include <algorithm>
#include <array>
#include <utility>

#include "backends/x11/X11Accessibility.h"

namespace tessarapane {

namespace {

constexpr std::array<std::string_view, 3> kApplicationNotifications = {
    "AXWindowCreated", "AXFocusedWindowChanged", "AXMainWindowChanged"};
constexpr std::array<std::string_view, 2> kWindowNotifications = {"AXUIElementDestroyed", "AXTitleChanged"};

template <std::size_t N>
bool contains(const std::array<std::string_view, N>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

AXObserverCreateResult X11Accessibility::createObserver(ProcessID pid, AXObserverCallback callback) {
  if (pid <= 0 || !callback) return {AXError::illegalArgument, std::nullopt};
  const std::uint64_t token = nextObserver_++;
  observers_.emplace(token, ObserverEntry{pid, std::make_shared<AXObserverCallback>(std::move(callback)), {}});
  return {AXError::success, AXObserver{token}};
}

AXError X11Accessibility::addNotification(AXObserver observer, const AXElement& element,
                                          std::string_view notification) {
  auto found = observers_.find(observer.token);
  if (found == observers_.end()) return AXError::invalidUIElementObserver;
  ObserverEntry& entry = found->second;
  if (element.pid != entry.pid) return AXError::illegalArgument;
  if (element.kind == AXElementKind::application) {
    if (!contains(kApplicationNotifications, notification)) return AXError::notificationUnsupported;
  } else if (element.kind == AXElementKind::window) {
    if (!contains(kWindowNotifications, notification)) return AXError::notificationUnsupported;
    const ClientInfo info = desktop_->clientCache().read(static_cast<xcb_window_t>(element.token), 0);
    if (info.error != AXError::success) return info.error;
  } else {
    return AXError::notificationUnsupported;
  }
  for (const Registration& registration : entry.registrations) {
    if (registration.element == element && registration.notification == notification) {
      return AXError::notificationAlreadyRegistered;
    }
  }
  entry.registrations.push_back(Registration{element, std::string(notification)});
  return AXError::success;
}

AXError X11Accessibility::removeNotification(AXObserver observer, const AXElement& element,
                                             std::string_view notification) {
  auto found = observers_.find(observer.token);
  if (found == observers_.end()) return AXError::invalidUIElementObserver;
  auto& registrations = found->second.registrations;
  const auto before = registrations.size();
  std::erase_if(registrations, [&](const Registration& registration) {
    return registration.element == element && registration.notification == notification;
  });
  return registrations.size() == before ? AXError::notificationNotRegistered : AXError::success;
}

void X11Accessibility::destroyObserver(AXObserver observer) { observers_.erase(observer.token); }

void X11Accessibility::deliver(ProcessID pid, const AXElement& registeredOn, const AXElement& subject,
                               const std::string& name) {
  std::vector<std::uint64_t> tokens;
  for (const auto& [token, entry] : observers_) {
    if (entry.pid == pid) tokens.push_back(token);
  }
  for (std::uint64_t token : tokens) {
    // Checked afresh before each call: an earlier callback may have
    // destroyed this observer or dropped the registration.
    auto found = observers_.find(token);
    if (found == observers_.end()) continue;
    const bool registered = std::any_of(
        found->second.registrations.begin(), found->second.registrations.end(),
        [&](const Registration& r) { return r.element == registeredOn && r.notification == name; });
    if (!registered) continue;
    const auto callback = found->second.callback;
    (*callback)(AXObserver{token}, subject, name);
  }
}

void X11Accessibility::clientAdded(xcb_window_t window, ProcessID pid) {
  deliver(pid, createApplication(pid), windowElement(pid, window), "AXWindowCreated");
}

void X11Accessibility::clientRemoved(xcb_window_t window, ProcessID pid) {
  restoring_.erase(window);
  const AXElement element = windowElement(pid, window);
  deliver(pid, element, element, "AXUIElementDestroyed");
  // The element is gone, and so is everything registered on it.
  for (auto& [token, entry] : observers_) {
    std::erase_if(entry.registrations, [&](const Registration& r) { return r.element == element; });
  }
}

void X11Accessibility::activeWindowChanged(xcb_window_t window, ProcessID pid) {
  const AXElement application = createApplication(pid);
  const AXElement element = windowElement(pid, window);
  deliver(pid, application, element, "AXFocusedWindowChanged");
  deliver(pid, application, element, "AXMainWindowChanged");
}

void X11Accessibility::titleChanged(xcb_window_t window, ProcessID pid) {
  const AXElement element = windowElement(pid, window);
  deliver(pid, element, element, "AXTitleChanged");
}

}  // namespace tessarapane
