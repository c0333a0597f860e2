#include "windows/WindowCloseResult.h"

namespace tessarapane {

namespace WindowCloseResults {

WindowCloseResult classify(AXError actionError, bool hasBlockingModalUI) {
  switch (actionError) {
    case AXError::invalidUIElement: return WindowCloseResult::closed;
    case AXError::success: return WindowCloseResult::requested;
    case AXError::apiDisabled: return WindowCloseResult::accessibilityDisabled;
    default: break;
  }
  if (hasBlockingModalUI) return WindowCloseResult::blockedByDialog;
  switch (actionError) {
    case AXError::cannotComplete: return WindowCloseResult::temporarilyUnavailable;
    case AXError::attributeUnsupported:
    case AXError::actionUnsupported:
    case AXError::notImplemented:
    case AXError::noValue:
      return WindowCloseResult::noCloseControl;
    default: return WindowCloseResult::failed;
  }
}

}  // namespace WindowCloseResults

std::string_view toString(WindowCloseResult result) {
  switch (result) {
    case WindowCloseResult::requested: return "requested";
    case WindowCloseResult::closed: return "closed";
    case WindowCloseResult::blockedByDialog: return "blockedByDialog";
    case WindowCloseResult::temporarilyUnavailable: return "temporarilyUnavailable";
    case WindowCloseResult::accessibilityDisabled: return "accessibilityDisabled";
    case WindowCloseResult::noCloseControl: return "noCloseControl";
    case WindowCloseResult::failed: return "failed";
  }
  return "unknown";
}

}  // namespace tessarapane
