#pragma once

#include <array>
#include <string_view>

#include "platform/AXError.h"

namespace tessarapane {

// What came of asking another application's window to close; it decides
// what the user is told.
enum class WindowCloseResult {
  requested,               // pressed, but the window was still there when the confirmation period ended
  closed,                  // the window is gone
  blockedByDialog,         // a sheet or modal dialog keeps it from closing
  temporarilyUnavailable,  // the application could not complete the request, even after the retries
  accessibilityDisabled,   // accessibility is switched off for this process
  noCloseControl,          // the window offers no usable close control
  failed,                  // any other accessibility error
};

inline constexpr std::array<WindowCloseResult, 7> kAllWindowCloseResults = {
    WindowCloseResult::requested,       WindowCloseResult::closed,
    WindowCloseResult::blockedByDialog, WindowCloseResult::temporarilyUnavailable,
    WindowCloseResult::accessibilityDisabled, WindowCloseResult::noCloseControl,
    WindowCloseResult::failed,
};

namespace WindowCloseResults {

// The case for the code a close attempt gave, knowing whether a sheet or
// modal dialog is showing. The order of the checks matters: a vanished
// element is closed whatever else holds, and a dialog explains any failure
// except a disabled interface.
WindowCloseResult classify(AXError actionError, bool hasBlockingModalUI);

}  // namespace WindowCloseResults

// The case name, for logs and test output.
std::string_view toString(WindowCloseResult result);

}  // namespace tessarapane
