#pragma once

#include <string>
#include <vector>

#include "permission/AppPermission.h"

namespace tessarapane {

class PermissionGuideModel;

// One requirement row of the guide, texts localised.
struct PermissionGuideRow {
  AppPermission permission = AppPermission::accessibility;
  std::string name;    // "窗口管理器"
  std::string detail;  // "移动和调整其他 App 的窗口"
  // What the desktop offers now and, when something is missing, what to do.
  std::string status;
  bool granted = false;        // a check mark; otherwise the check-again button
  std::string authorizeTitle;  // "重新检查"

  friend bool operator==(const PermissionGuideRow&, const PermissionGuideRow&) = default;
};

// Everything the guide window draws.
struct PermissionGuideContent {
  std::string title;     // "设置 Tessarapane"
  std::string subtitle;  // "一切就绪" when ready, else "开启以下权限后即可使用"
  std::vector<PermissionGuideRow> rows;
  // "开始使用" (the default button, Return) when ready, else "稍后"; both close.
  std::string closeButtonTitle;
  bool closeButtonIsDefault = false;

  friend bool operator==(const PermissionGuideContent&, const PermissionGuideContent&) = default;

  static PermissionGuideContent make(const PermissionGuideModel& model);
};

}  // namespace tessarapane
