#pragma once

#include <xcb/xcb.h>

#include <map>
#include <optional>
#include <set>
#include <vector>

#include "backends/x11/X11ClientInfo.h"
#include "backends/x11/X11Connection.h"

namespace tessarapane {

// What was read about the managed clients, kept until the server reports a
// change of it. A pass over the windows asks about every window, and the
// window manager's list is read again and again within one layout change:
// without this each pass cost a dozen requests per window. Only windows
// whose changes this connection is told of (tracked) are kept; the others
// are read afresh every time.
//
// Which change ends what: a property event the field read from that
// property; a configure event of the client (real, or the synthetic one
// window managers send when they move a frame) its frame; a map change of the
// client whether it is viewable (window managers unmap the client with its
// frame when they hide it); a reparenting everything. All eight window
// managers the project is tried on keep to that.
class X11ClientCache {
 public:
  explicit X11ClientCache(X11Connection& connection) : x_(connection) {}

  void track(xcb_window_t window) { tracked_.insert(window); }
  void untrack(xcb_window_t window);

  // `fields` of every window, in order; what is not known is read in one
  // batch. Failed reads are returned but not kept.
  std::vector<ClientInfo> read(const std::vector<xcb_window_t>& windows, unsigned fields, Deadline deadline);
  ClientInfo read(xcb_window_t window, unsigned fields);
  // The window as kept, when every one of `fields` is; no reading.
  const ClientInfo* known(xcb_window_t window, unsigned fields);

  // This process asked for a move or resize. The window manager carries it
  // out on its own time, so until it reports the new frame the server still
  // tells the old one: the kept frame stays, rather than every window just
  // moved being read again for nothing. A manager that reports nothing is
  // read again after kFrameReportWait.
  void frameChanging(xcb_window_t window);
  static constexpr double kFrameReportWait = 0.25;
  void forget(xcb_window_t window) { entries_.erase(window); }
  // Every event passes here before anyone acts on it.
  void eventArrived(const xcb_generic_event_t& event);

 private:
  struct Entry {
    ClientInfo info;
    unsigned known = 0;  // ClientField bits read and unchanged since
    std::optional<double> frameAskedAt;  // a move or resize not yet reported
  };
  // The fields of `entry` still known now.
  unsigned knownNow(Entry& entry) const;
  void drop(xcb_window_t window, unsigned fields);
  void dropEverywhere(unsigned fields);
  unsigned fieldsOfProperty(xcb_atom_t atom) const;

  X11Connection& x_;
  std::set<xcb_window_t> tracked_;
  std::map<xcb_window_t, Entry> entries_;
};

}  // namespace tessarapane
