#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <map>
#include <memory>
#include <set>

#include "backends/x11/AddressOpener.h"
#include "backends/x11/X11Desktop.h"
#include "platform/Workspace.h"

namespace tessarapane {

// Running applications are the processes that own clients of the window
// manager. Name and bundle identifier come from WM_CLASS; an application is
// regular when it owns a normal window. Launch and termination are a
// process's first and last client, activation the active window moving to
// another process.
class X11Workspace final : public Workspace,
                           public X11DesktopListener,
                           public std::enable_shared_from_this<X11Workspace> {
 public:
  // Without an opener no address opens.
  static std::shared_ptr<X11Workspace> create(std::shared_ptr<X11Desktop> desktop,
                                              std::shared_ptr<AddressOpener> opener = nullptr);

  std::vector<RunningApplication> runningApplications() override;
  std::optional<RunningApplication> runningApplication(ProcessID pid) override;
  std::optional<RunningApplication> frontmostApplication() override;
  ProcessID currentProcessID() override;
  bool activate(ProcessID pid) override;
  FrontProcessResult bringProcessToFront(ProcessID pid) override;
  void openAddress(std::string_view address, std::function<void(bool)> done) override;
  Subscription subscribe(std::function<void(const WorkspaceNotification&)> handler) override;

  // X11DesktopListener
  void clientAdded(xcb_window_t window, ProcessID pid) override;
  void clientRemoved(xcb_window_t window, ProcessID pid) override;
  void activeWindowChanged(xcb_window_t window, ProcessID pid) override;
  void currentDesktopChanged() override;
  void fullScreenChanged(xcb_window_t window, ProcessID pid) override;

 private:
  X11Workspace(std::shared_ptr<X11Desktop> desktop, std::shared_ptr<AddressOpener> opener);
  void start();
  // The application made of these clients of one process.
  RunningApplication describe(ProcessID pid, const std::vector<ClientInfo>& clients, Deadline deadline);
  std::shared_ptr<const ApplicationIcon> iconOf(ProcessID pid, const std::vector<ClientInfo>& clients,
                                                Deadline deadline);
  void post(WorkspaceNotification notification);

  std::shared_ptr<X11Desktop> desktop_;
  std::shared_ptr<AddressOpener> opener_;
  std::map<ProcessID, std::set<xcb_window_t>> windowsByPid_;
  std::map<ProcessID, RunningApplication> known_;
  // Processes whose known_ entry still describes their clients.
  std::set<ProcessID> current_;
  std::map<ProcessID, std::shared_ptr<const ApplicationIcon>> icons_;
  ProcessID lastActivePid_ = 0;
  std::map<std::uint64_t, std::shared_ptr<std::function<void(const WorkspaceNotification&)>>> handlers_;
  std::uint64_t nextHandler_ = 1;
};

}  // namespace tessarapane
