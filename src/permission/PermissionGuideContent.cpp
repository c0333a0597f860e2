#include "permission/PermissionGuideContent.h"

#include "text/TextFormat.h"
#include "permission/PermissionGuideModel.h"
#include "platform/Localizer.h"

namespace tessarapane {

namespace {

std::string statusText(const WindowManagerReport& report) {
  if (!report.found) {
    return localized("没有检测到支持 EWMH 的窗口管理器。请启动一个窗口管理器（例如 openbox、xfwm4 或 KWin），"
                     "Tessarapane 会自动继续。");
  }
  const std::string name = report.name.empty() ? localized("未命名") : report.name;
  if (report.tiling) {
    return TextFormat::format(localized("窗口管理器「%@」会自己平铺窗口，不接受 Tessarapane 的摆放。请换用堆叠式窗口管理器"
                                        "（例如 openbox、xfwm4 或 KWin）。"),
                              {name});
  }
  if (report.missing.empty()) return TextFormat::format(localized("窗口管理器「%@」已就绪。"), {name});
  std::string features;
  for (const std::string& feature : report.missing) features += (features.empty() ? "" : ", ") + feature;
  return TextFormat::format(localized("窗口管理器「%@」不支持 %@。请换用支持 EWMH 的窗口管理器（例如 openbox、"
                                      "xfwm4 或 KWin）。"),
                            {name, features});
}

}  // namespace

PermissionGuideContent PermissionGuideContent::make(const PermissionGuideModel& model) {
  PermissionGuideContent content;
  const bool ready = model.isReady();
  content.title = localized("设置 Tessarapane");
  content.subtitle = ready ? localized("一切就绪") : localized("开启以下权限后即可使用");
  for (AppPermission permission : kAllAppPermissions) {
    PermissionGuideRow row;
    row.permission = permission;
    row.name = permissionName(permission);
    row.detail = localized("移动和调整其他 App 的窗口");
    row.status = statusText(model.report());
    row.granted = model.granted().count(permission) != 0;
    row.authorizeTitle = localized("重新检查");
    content.rows.push_back(std::move(row));
  }
  content.closeButtonTitle = ready ? localized("开始使用") : localized("稍后");
  content.closeButtonIsDefault = ready;
  return content;
}

}  // namespace tessarapane
