#include "hotkeys/HotKeyAction.h"

#include "platform/Localizer.h"

namespace tessarapane {

std::string_view rawValue(HotKeyAction action) {
  switch (action) {
    case HotKeyAction::moveLeft: return "moveLeft";
    case HotKeyAction::moveRight: return "moveRight";
    case HotKeyAction::moveUp: return "moveUp";
    case HotKeyAction::moveDown: return "moveDown";
    case HotKeyAction::fullScreen: return "fullScreen";
  }
  return {};
}

template <>
std::optional<HotKeyAction> fromRawValue<HotKeyAction>(std::string_view raw) {
  for (HotKeyAction action : kAllHotKeyActions) {
    if (rawValue(action) == raw) return action;
  }
  return std::nullopt;
}

std::string title(HotKeyAction action) {
  switch (action) {
    case HotKeyAction::moveLeft: return localized("移到左侧");
    case HotKeyAction::moveRight: return localized("移到右侧");
    case HotKeyAction::moveUp: return localized("移到上方");
    case HotKeyAction::moveDown: return localized("移到下方");
    case HotKeyAction::fullScreen: return localized("全屏");
  }
  return {};
}

}  // namespace tessarapane
