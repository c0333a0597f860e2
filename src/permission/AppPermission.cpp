#include "permission/AppPermission.h"

#include "platform/Localizer.h"

namespace tessarapane {

std::string permissionName(AppPermission permission) {
  switch (permission) {
    case AppPermission::accessibility: return localized("窗口管理器");
  }
  return {};
}

}  // namespace tessarapane
