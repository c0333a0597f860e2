#pragma once

#include <functional>
#include <span>
#include <string>

#include "platform/Accessibility.h"
#include "platform/Workspace.h"

namespace tessarapane {

// The permission test and the help that explains what to do without it.
namespace Permissions {

// Whether the permission is usable; never prompts.
bool isTrusted(Accessibility& accessibility);

// Asks the platform to check again (and, where it has one, to prompt the
// user); the answer is not used.
void prompt(Accessibility& accessibility);

// Where the system-tray help lives, to be tried in order: the copy installed
// with the program, then the project's web page.
std::span<const std::string> trayHelpAddresses();

// Tries the addresses in order until one opens; `done` gets the address that
// opened, or an empty text when none did.
void openFirst(std::span<const std::string> addresses, Workspace& workspace,
               std::function<void(const std::string& opened)> done);

}  // namespace Permissions

}  // namespace tessarapane
