#include "layout/LayoutKind.h"

#include "platform/Localizer.h"

namespace tessarapane {

std::string_view rawValue(LayoutKind kind) {
  switch (kind) {
    case LayoutKind::fullScreen: return "fullScreen";
    case LayoutKind::split2: return "split2";
    case LayoutKind::split3: return "split3";
    case LayoutKind::topBottom: return "topBottom";
    case LayoutKind::focusStack: return "focusStack";
    case LayoutKind::stackFocus: return "stackFocus";
    case LayoutKind::split4: return "split4";
  }
  return {};
}

template <>
std::optional<LayoutKind> fromRawValue<LayoutKind>(std::string_view raw) {
  for (LayoutKind kind : kAllLayoutKinds) {
    if (rawValue(kind) == raw) return kind;
  }
  return std::nullopt;
}

int paneCount(LayoutKind kind) {
  switch (kind) {
    case LayoutKind::fullScreen: return 1;
    case LayoutKind::split2: return 2;
    case LayoutKind::split3: return 3;
    case LayoutKind::topBottom: return 2;
    case LayoutKind::focusStack: return 3;
    case LayoutKind::stackFocus: return 3;
    case LayoutKind::split4: return 4;
  }
  return 0;
}

std::string displayTitle(LayoutKind kind) {
  switch (kind) {
    case LayoutKind::fullScreen: return localized("全屏");
    case LayoutKind::split2: return localized("左右二分");
    case LayoutKind::split3: return localized("左右三等分");
    case LayoutKind::topBottom: return localized("上下二分");
    case LayoutKind::focusStack: return localized("1+2");
    case LayoutKind::stackFocus: return localized("2+1");
    case LayoutKind::split4: return localized("四等分");
  }
  return {};
}

}  // namespace tessarapane
