#include "permission/PermissionHelperHint.h"

#include "platform/Localizer.h"

namespace tessarapane {

std::string text(PermissionHelperHint hint) {
  switch (hint) {
    case PermissionHelperHint::turnOnOrDrag: return localized("在上方列表打开 Tessarapane，或把图标拖进去");
    case PermissionHelperHint::removeAndAuthorize: return localized("仍无效？选中 Tessarapane 点“−”删除，再点授权");
  }
  return {};
}

}  // namespace tessarapane
