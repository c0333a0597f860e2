#include "chrome/PaneTabTexts.h"

#include "platform/Localizer.h"

namespace tessarapane::PaneTabTexts {

std::string closeButtonDescription() { return localized("关闭窗口"); }

std::string overflowTitle(int hiddenCount) {
  std::string title = "+";
  title += std::to_string(hiddenCount);
  return title;
}

std::string overflowToolTip(int hiddenCount) {
  if (hiddenCount == 1) return localized("还有 1 个窗口");
  std::string text = localized("还有 %ld 个窗口");
  // A translation may move or drop the placeholder; fill the first one only.
  if (const auto at = text.find("%ld"); at != std::string::npos) {
    text.replace(at, 3, std::to_string(hiddenCount));
  }
  return text;
}

}  // namespace tessarapane::PaneTabTexts
