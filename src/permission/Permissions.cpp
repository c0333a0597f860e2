#include "permission/Permissions.h"

#include <span>
#include <string_view>

namespace tessarapane::Permissions {

namespace {

bool openFirst(std::span<const std::string_view> addresses, Workspace& workspace) {
  for (std::string_view address : addresses) {
    if (workspace.openAddress(address)) return true;
  }
  return false;
}

}  // namespace

bool isTrusted(Accessibility& accessibility) { return accessibility.isProcessTrusted(); }

void prompt(Accessibility& accessibility) { static_cast<void>(accessibility.isProcessTrustedWithPrompt()); }

bool openSettings(AppPermission permission, Workspace& workspace) {
  return openFirst(settingsAddresses(permission), workspace);
}

bool openMenuBarSettings(Workspace& workspace) { return openFirst(menuBarSettingsAddresses(), workspace); }

}  // namespace tessarapane::Permissions
