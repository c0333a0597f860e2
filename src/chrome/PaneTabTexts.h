#pragma once

#include <string>

namespace tessarapane {

// The tab strip's own user-visible texts, each through the localizer.
namespace PaneTabTexts {

// Accessibility description and tooltip of a tab's close button.
std::string closeButtonDescription();

// The overflow button's title: "+" and the number of hidden tabs.
std::string overflowTitle(int hiddenCount);

// The overflow button's tooltip, singular for one hidden tab.
std::string overflowToolTip(int hiddenCount);

}  // namespace PaneTabTexts

}  // namespace tessarapane
