#include "permission/Permissions.h"

#include <memory>
#include <utility>
#include <vector>

#ifndef TESSARAPANE_HELP_DIR
#define TESSARAPANE_HELP_DIR "/usr/share/doc/tessarapane"
#endif

namespace tessarapane::Permissions {

namespace {

void openFrom(std::shared_ptr<const std::vector<std::string>> addresses, std::size_t index, Workspace& workspace,
              std::function<void(const std::string&)> done) {
  if (index >= addresses->size()) {
    if (done) done({});
    return;
  }
  const std::string& address = (*addresses)[index];
  // The workspace outlives every open it starts (both live as long as the
  // program's platform).
  workspace.openAddress(address, [addresses, index, &workspace, done = std::move(done)](bool opened) mutable {
    if (opened) {
      if (done) done((*addresses)[index]);
      return;
    }
    openFrom(std::move(addresses), index + 1, workspace, std::move(done));
  });
}

}  // namespace

bool isTrusted(Accessibility& accessibility) { return accessibility.isProcessTrusted(); }

void prompt(Accessibility& accessibility) { static_cast<void>(accessibility.isProcessTrustedWithPrompt()); }

std::span<const std::string> trayHelpAddresses() {
  static const std::vector<std::string> addresses = {
      "file://" TESSARAPANE_HELP_DIR "/system-tray.html",
      "https://tessarapane.org/help/system-tray",
  };
  return addresses;
}

void openFirst(std::span<const std::string> addresses, Workspace& workspace,
               std::function<void(const std::string& opened)> done) {
  openFrom(std::make_shared<const std::vector<std::string>>(addresses.begin(), addresses.end()), 0, workspace,
           std::move(done));
}

}  // namespace tessarapane::Permissions
