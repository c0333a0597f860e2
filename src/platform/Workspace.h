#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ManagedWindow.h"
#include "platform/Subscription.h"

namespace tessarapane {

// Whether an application shows up as an ordinary application with windows.
// Only regular applications are managed or observed.
enum class ActivationPolicy : std::uint8_t { regular, accessory, prohibited };

// An application's icon as plain pixels, so the core stays toolkit-free.
struct ApplicationIcon {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;  // width * height pixels, row by row, 0xAARRGGBB
};

// A running application as the workspace reports it: a snapshot value.
struct RunningApplication {
  ProcessID processIdentifier = 0;
  ActivationPolicy activationPolicy = ActivationPolicy::regular;
  std::optional<std::string> bundleIdentifier;
  std::optional<std::string> localizedName;  // callers fall back to "应用"
  std::shared_ptr<const ApplicationIcon> icon;  // null when the platform has none
};

// Whether bringing a process to the front could be tried and what it gave.
enum class FrontProcessResult : std::uint8_t {
  unavailable,  // the platform offers no such call, or the process is unknown to it
  failed,
  succeeded,
};

// One application notification of the workspace.
struct WorkspaceNotification {
  enum class Kind : std::uint8_t {
    applicationLaunched,
    applicationTerminated,
    applicationActivated,
    activeSpaceChanged,  // the user switched to another desktop
  };

  Kind kind = Kind::applicationLaunched;
  // The application concerned; may be missing, and always is for
  // activeSpaceChanged.
  std::optional<RunningApplication> application;
};

// The running applications and the desktop's notifications about them.
class Workspace {
 public:
  virtual ~Workspace() = default;

  // Every running application, in no particular order.
  virtual std::vector<RunningApplication> runningApplications() = 0;

  // The application of a process, or none when no application runs under it
  // (its windows are then not managed).
  virtual std::optional<RunningApplication> runningApplication(ProcessID pid) = 0;

  // The application that has the keyboard focus; none when the platform
  // cannot tell.
  virtual std::optional<RunningApplication> frontmostApplication() = 0;

  // This process, as the platform knows it: its own panels are never managed.
  virtual ProcessID currentProcessID() = 0;

  // Makes the application frontmost, even when another application is active
  // (used for this application's own windows). False when it is not running.
  virtual bool activate(ProcessID pid) = 0;

  // Brings the process's front window forward as if the user had clicked it.
  // An optional extra after the accessibility raise; `unavailable` makes the
  // caller rely on that raise alone.
  virtual FrontProcessResult bringProcessToFront(ProcessID pid) = 0;

  // Opens an address (a URL) with its default handler and tells `done`
  // (on the main thread, at once or later) whether it opened: false for an
  // address that is not a valid URL or that the opener failed on, so callers
  // can try the next one. Never blocks the main loop on the opener.
  virtual void openAddress(std::string_view address, std::function<void(bool opened)> done) = 0;

  // Delivers every workspace notification on the main thread until the
  // handle is cancelled.
  virtual Subscription subscribe(std::function<void(const WorkspaceNotification&)> handler) = 0;
};

}  // namespace tessarapane
