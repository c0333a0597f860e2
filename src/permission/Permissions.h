#pragma once

#include "permission/AppPermission.h"
#include "platform/Accessibility.h"
#include "platform/Workspace.h"

namespace tessarapane {

// The accessibility permission test and the settings panes that grant it.
namespace Permissions {

// Whether the permission is usable; never prompts.
bool isTrusted(Accessibility& accessibility);

// Asks the platform to prompt the user and list this application in its
// settings; the answer is not used.
void prompt(Accessibility& accessibility);

// Tries the permission's settings addresses in order and stops at the first
// that opens. False when none did.
bool openSettings(AppPermission permission, Workspace& workspace);

// The same for the menu-bar settings.
bool openMenuBarSettings(Workspace& workspace);

}  // namespace Permissions

}  // namespace tessarapane
