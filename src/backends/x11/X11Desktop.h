#pragma once

#include <xcb/xcb.h>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "backends/x11/X11ClientCache.h"
#include "backends/x11/X11ClientInfo.h"
#include "backends/x11/X11Connection.h"
#include "backends/x11/X11Monitors.h"
#include "geometry/Point.h"
#include "platform/ManagedWindow.h"
#include "platform/WindowManagerReport.h"
#include "platform/Subscription.h"

namespace tessarapane {

// What the desktop reports as it changes; every call comes from event
// dispatch on the main thread.
class X11DesktopListener {
 public:
  virtual ~X11DesktopListener() = default;
  // Every event, before the desktop acts on it and tells of it: what was
  // read about the window it concerns is out of date from here on.
  virtual void eventArrived(const xcb_generic_event_t& /*event*/) {}
  virtual void clientAdded(xcb_window_t /*window*/, ProcessID /*pid*/) {}
  virtual void clientRemoved(xcb_window_t /*window*/, ProcessID /*pid*/) {}
  // The active window moved to another window (never to none).
  virtual void activeWindowChanged(xcb_window_t /*window*/, ProcessID /*pid*/) {}
  virtual void titleChanged(xcb_window_t /*window*/, ProcessID /*pid*/) {}
  // The client entered or left the window manager's full-screen state.
  virtual void fullScreenChanged(xcb_window_t /*window*/, ProcessID /*pid*/) {}
  virtual void currentDesktopChanged() {}
  virtual void monitorsChanged() {}
};

// The window manager's view of the desktop, shared by every interface of
// the backend: the managed clients and their processes, the active window,
// the monitors and the offset between root coordinates and accessibility
// space, plus the requests that go to the window manager.
//
// Accessibility space has its origin at the top-left corner of the primary
// monitor (the flip to toolkit space depends on it); root coordinates have
// theirs at the root window's corner. They differ only when the primary
// monitor does not sit at the root's origin.
class X11Desktop {
 public:
  static std::shared_ptr<X11Desktop> create(std::shared_ptr<X11Connection> connection);
  ~X11Desktop();

  X11Desktop(const X11Desktop&) = delete;
  X11Desktop& operator=(const X11Desktop&) = delete;

  X11Connection& x() { return *connection_; }
  // What is known about the clients, kept current by the server's events.
  X11ClientCache& clientCache() { return clientCache_; }
  const std::shared_ptr<X11Connection>& connection() const { return connection_; }

  // Fresh reads of the root's properties; none when they cannot be read.
  std::optional<std::vector<xcb_window_t>> clientList(Deadline deadline);
  std::optional<std::vector<xcb_window_t>> stackingList(Deadline deadline);  // bottom to top
  std::optional<xcb_window_t> activeWindow(Deadline deadline);              // XCB_NONE: none
  std::optional<std::uint32_t> currentDesktop(Deadline deadline);

  // A window's process: _NET_WM_PID, else the X-Resource extension's client
  // pid. Remembered while the window is a client.
  std::vector<std::optional<ProcessID>> pidsOf(const std::vector<xcb_window_t>& windows, Deadline deadline);
  std::optional<ProcessID> pidOf(xcb_window_t window);

  // The process's clients in the window manager's list order.
  std::optional<std::vector<xcb_window_t>> clientsOf(ProcessID pid, Deadline deadline);

  // Whether an EWMH window manager is running (_NET_SUPPORTING_WM_CHECK
  // names a window that names itself).
  bool windowManagerRunning();
  // That, its name, and which of the requests the layouts need it does not
  // list in _NET_SUPPORTED. Kept until the manager announces a change.
  WindowManagerReport windowManagerReport();

  // Monitors in root coordinates, read fresh (which also refreshes the
  // origin of accessibility space).
  std::optional<std::vector<X11Monitor>> monitors(Deadline deadline);
  Point origin();
  Rect toAccessibility(const Rect& rootRect);
  Point toRoot(const Point& accessibilityPoint);

  // The window asked to become active: an activation request (source:
  // pager) to the window manager.
  void requestActivation(xcb_window_t window);
  // The window of `pid` this process last asked to activate, while the
  // window manager may not have caught up yet.
  std::optional<xcb_window_t> recentActivation(ProcessID pid);
  // Where a process's focus goes: its recent activation, else its active
  // window, else its top-most client.
  std::optional<xcb_window_t> frontWindowOf(ProcessID pid, Deadline deadline);

  void addListener(std::weak_ptr<X11DesktopListener> listener);

 private:
  explicit X11Desktop(std::shared_ptr<X11Connection> connection);
  void start();
  void handleEvent(const xcb_generic_event_t& event);
  void refreshClients();
  void refreshActiveWindow();
  void refreshMonitors();
  void removeClient(xcb_window_t window);
  void fullScreenStateChanged(xcb_window_t window);
  const XProperty& rootProperty(Atom property, Deadline deadline);
  WindowManagerReport readWindowManagerReport(xcb_window_t& checkWindow);
  void managerAnnouncementChanged(const xcb_generic_event_t& event);
  template <class Call>
  void notify(Call call);

  std::shared_ptr<X11Connection> connection_;
  X11ClientCache clientCache_;
  Subscription events_;
  std::vector<std::weak_ptr<X11DesktopListener>> listeners_;

  std::map<xcb_window_t, ProcessID> clients_;  // pid 0: unknown process
  std::map<xcb_window_t, ProcessID> pidCache_;
  std::map<xcb_window_t, std::string> titles_;  // the last title told, per client
  std::set<xcb_window_t> fullScreen_;           // clients last seen in full screen
  // Root properties as last read; each dropped when the window manager
  // changes it.
  std::map<xcb_atom_t, XProperty> rootProperties_;
  XProperty failedRead_;
  xcb_window_t lastActive_ = XCB_NONE;
  std::optional<std::vector<X11Monitor>> monitors_;
  bool monitorsRead_ = false;

  struct Activation {
    xcb_window_t window = XCB_NONE;
    ProcessID pid = 0;
    double time = 0.0;
  };
  std::optional<Activation> activation_;
  bool activeChangedSinceRequest_ = false;
  std::optional<WindowManagerReport> managerReport_;
  xcb_window_t managerCheckWindow_ = XCB_NONE;
};

}  // namespace tessarapane
