#include "program/PauseSignalMapping.h"

#include <cstddef>

namespace tessarapane::program {

void PauseSignalMapping::setInitialSession(std::optional<bool> active, std::optional<bool> locked) {
  active_ = active;
  locked_ = locked;
}

std::optional<SystemEvent> PauseSignalMapping::prepareForSleep(bool sleeping) {
  return sleeping ? SystemEvent::systemWillSleep : SystemEvent::systemDidWake;
}

std::optional<SystemEvent> PauseSignalMapping::sessionLock() {
  locked_ = true;
  return SystemEvent::screenLocked;
}

std::optional<SystemEvent> PauseSignalMapping::sessionUnlock() {
  locked_ = false;
  return SystemEvent::screenUnlocked;
}

std::optional<SystemEvent> PauseSignalMapping::sessionLockedHint(bool locked) {
  if (locked_ == locked) return std::nullopt;
  return locked ? sessionLock() : sessionUnlock();
}

std::optional<SystemEvent> PauseSignalMapping::sessionActive(bool active) {
  if (active_ == active) return std::nullopt;
  active_ = active;
  return active ? SystemEvent::sessionDidBecomeActive : SystemEvent::sessionDidResignActive;
}

std::optional<SystemEvent> PauseSignalMapping::screenSaverActive(bool active) {
  return active ? SystemEvent::screensDidSleep : SystemEvent::screensDidWake;
}

std::string loginSessionObjectPath(std::string_view sessionID) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string path = "/org/freedesktop/login1/session/";
  if (sessionID.empty()) return path + "_";
  for (std::size_t i = 0; i < sessionID.size(); ++i) {
    const auto byte = static_cast<unsigned char>(sessionID[i]);
    const bool letter = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z');
    const bool digit = byte >= '0' && byte <= '9';
    if (letter || (digit && i > 0)) {
      path.push_back(static_cast<char>(byte));
    } else {
      path.push_back('_');
      path.push_back(kHex[byte >> 4]);
      path.push_back(kHex[byte & 0xF]);
    }
  }
  return path;
}

}  // namespace tessarapane::program
