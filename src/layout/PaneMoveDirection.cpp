#include "layout/PaneMoveDirection.h"

#include "platform/Localizer.h"

namespace tessarapane {

std::string_view rawValue(PaneMoveDirection direction) {
  switch (direction) {
    case PaneMoveDirection::left: return "left";
    case PaneMoveDirection::right: return "right";
    case PaneMoveDirection::up: return "up";
    case PaneMoveDirection::down: return "down";
  }
  return {};
}

template <>
std::optional<PaneMoveDirection> fromRawValue<PaneMoveDirection>(std::string_view raw) {
  for (PaneMoveDirection direction : kAllPaneMoveDirections) {
    if (rawValue(direction) == raw) return direction;
  }
  return std::nullopt;
}

std::string tooltip(PaneMoveDirection direction) {
  switch (direction) {
    case PaneMoveDirection::left: return localized("移到左侧");
    case PaneMoveDirection::right: return localized("移到右侧");
    case PaneMoveDirection::up: return localized("移到上方");
    case PaneMoveDirection::down: return localized("移到下方");
  }
  return {};
}

}  // namespace tessarapane
