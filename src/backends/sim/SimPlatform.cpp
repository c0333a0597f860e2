#include "backends/sim/SimPlatform.h"

#include "backends/sim/SimAccessibility.h"
#include "backends/sim/SimAlerts.h"
#include "backends/sim/SimHotKeys.h"
#include "backends/sim/SimInput.h"
#include "backends/sim/SimLog.h"
#include "backends/sim/SimScreens.h"
#include "backends/sim/SimSystemEvents.h"
#include "backends/sim/SimUserDefaults.h"
#include "backends/sim/SimWindowServer.h"
#include "backends/sim/SimWorkspace.h"

namespace tessarapane {

Platform makeSimPlatform(const std::shared_ptr<SimDesktop>& desktop) {
  Platform platform;
  platform.accessibility = std::make_shared<SimAccessibility>(desktop);
  platform.windowServer = std::make_shared<SimWindowServer>(desktop);
  platform.workspace = std::make_shared<SimWorkspace>(desktop);
  platform.screens = std::make_shared<SimScreens>(desktop);
  platform.scheduler = desktop->scheduler();
  platform.input = std::make_shared<SimInput>(desktop);
  platform.hotKeys = desktop->hotKeys();
  platform.systemEvents = std::make_shared<SimSystemEvents>(desktop);
  platform.userDefaults = desktop->userDefaults();
  platform.log = desktop->log();
  platform.alerts = desktop->alerts();
  platform.localizer = std::make_shared<IdentityLocalizer>();
  return platform;
}

}  // namespace tessarapane
