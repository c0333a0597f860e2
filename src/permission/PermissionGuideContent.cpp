#include "permission/PermissionGuideContent.h"

#include "permission/PermissionGuideModel.h"
#include "platform/Localizer.h"

namespace tessarapane {

PermissionGuideContent PermissionGuideContent::make(const PermissionGuideModel& model, int osMajorVersion) {
  PermissionGuideContent content;
  const bool ready = model.isReady();
  content.title = localized("设置 Tessarapane");
  content.subtitle = ready ? localized("一切就绪") : localized("开启以下权限后即可使用");
  for (AppPermission permission : kAllAppPermissions) {
    PermissionGuideRow row;
    row.permission = permission;
    row.name = settingsName(permission, osMajorVersion);
    row.detail = localized("移动和调整其他 App 的窗口");
    row.granted = model.granted().count(permission) != 0;
    row.authorizeTitle = localized("授权");
    content.rows.push_back(std::move(row));
  }
  content.closeButtonTitle = ready ? localized("开始使用") : localized("稍后");
  content.closeButtonIsDefault = ready;
  return content;
}

}  // namespace tessarapane
