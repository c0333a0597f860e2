#include "app/StatusMenuTexts.h"

#include "text/TextFormat.h"
#include "platform/Localizer.h"

namespace tessarapane::StatusMenuTexts {

std::string layoutItemTitle(LayoutKind kind) {
  const int panes = paneCount(kind);
  const std::string count =
      panes == 1 ? localized("1 格") : TextFormat::format(localized("%ld 格"), {std::to_string(panes)});
  return TextFormat::format(localized("%@（%@）"), {displayTitle(kind), count});
}

std::string missingTrayMessage() {
  return localized("Tessarapane 正在运行，但这个桌面没有能显示它图标的系统托盘（StatusNotifier 或 XEmbed 托盘）。") +
         "\n\n" + localized("快捷键和“tessarapane ctl”命令照常可用。") + "\n" +
         localized("在 GNOME 中请安装并启用 AppIndicator 扩展（软件包 gnome-shell-extension-appindicator）；"
                   "在其他桌面请在面板上添加“系统托盘”或“通知区域”。");
}

}  // namespace tessarapane::StatusMenuTexts
