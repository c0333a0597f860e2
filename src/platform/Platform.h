#pragma once

#include <memory>

#include "platform/Accessibility.h"
#include "platform/Alerts.h"
#include "platform/HotKeys.h"
#include "platform/Input.h"
#include "platform/Localizer.h"
#include "platform/Log.h"
#include "platform/Scheduler.h"
#include "platform/Screens.h"
#include "platform/SystemEvents.h"
#include "platform/UserDefaults.h"
#include "platform/WindowServer.h"
#include "platform/Workspace.h"

namespace tessarapane {

// Everything a service may ask of the platform, handed over as one value.
// A backend (X11, the simulated desktop) fills every member; services keep a
// copy and use only what they need.
struct Platform {
  std::shared_ptr<Accessibility> accessibility;
  std::shared_ptr<WindowServer> windowServer;
  std::shared_ptr<Workspace> workspace;
  std::shared_ptr<Screens> screens;
  std::shared_ptr<Scheduler> scheduler;
  std::shared_ptr<Input> input;
  std::shared_ptr<HotKeys> hotKeys;
  std::shared_ptr<SystemEvents> systemEvents;
  std::shared_ptr<UserDefaults> userDefaults;
  std::shared_ptr<Log> log;
  std::shared_ptr<Alerts> alerts;
  std::shared_ptr<const Localizer> localizer;
};

}  // namespace tessarapane
