#include "app/HeldHotKeysNotice.h"

#include "platform/Localizer.h"
#include "text/TextFormat.h"

namespace tessarapane::HeldHotKeysNotice {

std::string title() { return localized("快捷键已被占用"); }

std::string message(const HotKeyBindings& held) {
  std::string text = localized("窗口管理器已在使用以下快捷键，Tessarapane 不会响应它们：") + "\n";
  for (const auto& [action, chord] : held) {
    text += TextFormat::format(localized("%@（%@）"), {chord.displayString(), tessarapane::title(action)}) + "\n";
  }
  return text + "\n" + localized("可以在快捷键设置中为这些操作另选快捷键，或在窗口管理器的设置中解除这些快捷键。");
}

}  // namespace tessarapane::HeldHotKeysNotice
