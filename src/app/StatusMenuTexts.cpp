#include "app/StatusMenuTexts.h"

#include "app/TextFormat.h"
#include "platform/Localizer.h"

namespace tessarapane::StatusMenuTexts {

std::string layoutItemTitle(LayoutKind kind) {
  const int panes = paneCount(kind);
  const std::string count =
      panes == 1 ? localized("1 格") : TextFormat::format(localized("%ld 格"), {std::to_string(panes)});
  return TextFormat::format(localized("%@（%@）"), {displayTitle(kind), count});
}

std::string hiddenIconMessage() {
  return localized("Tessarapane 正在运行，但 macOS 没有给它分配菜单栏槽位，图标被停在了看不见的位置。") + "\n\n" +
         localized("请打开“系统设置 → 菜单栏”，把 Tessarapane 的开关关掉再打开；") + "\n" +
         localized("若仍不显示，请检查 Bartender、iBar 等菜单栏管理工具是否把它收进了隐藏区。");
}

}  // namespace tessarapane::StatusMenuTexts
