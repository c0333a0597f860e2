#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/SystemEvents.h"

namespace tessarapane::program {

// Maps what logind and the screensaver announce onto the system events the
// coordinator pauses on:
//   PrepareForSleep(true/false)          systemWillSleep / systemDidWake
//   session Lock / Unlock                screenLocked / screenUnlocked (the
//                                        unlock ends every pause reason)
//   session LockedHint true/false        as Lock / Unlock, for lockers that
//                                        only set the hint
//   session Active false/true            sessionDidResignActive / sessionDidBecomeActive
//   screensaver ActiveChanged(true/false) screensDidSleep / screensDidWake
// The session's properties are reported on every change of any of them, so
// Active and LockedHint pass only when they differ from what is known; Lock
// and Unlock signals always pass (a second Lock changes nothing downstream).
class PauseSignalMapping {
 public:
  // What the session reported when it was first read; none when unknown.
  void setInitialSession(std::optional<bool> active, std::optional<bool> locked);

  std::optional<SystemEvent> prepareForSleep(bool sleeping);
  std::optional<SystemEvent> sessionLock();
  std::optional<SystemEvent> sessionUnlock();
  std::optional<SystemEvent> sessionLockedHint(bool locked);
  std::optional<SystemEvent> sessionActive(bool active);
  std::optional<SystemEvent> screenSaverActive(bool active);

 private:
  std::optional<bool> active_;
  std::optional<bool> locked_;
};

// logind's object path of the session `sessionID`, escaped as logind does:
// letters and digits stay (a leading digit does not), every other byte
// becomes "_" and two lower-case hex digits. "2" → .../session/_32.
std::string loginSessionObjectPath(std::string_view sessionID);

}  // namespace tessarapane::program
