#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "geometry/Rect.h"
#include "platform/AXElement.h"
#include "platform/Accessibility.h"

namespace tessarapane {

// Typed readers over copyAttributeValue that all window code uses. A value
// that cannot be read — an error, no value, or a value of another type —
// reads as absent.
namespace AXHelpers {

// "AXPosition" plus "AXSize" as one rectangle (accessibility space); none
// when either cannot be read as a point or size respectively.
std::optional<Rect> frame(Accessibility& accessibility, const AXElement& element);

// A truth-valued attribute ("AXMinimized", "AXFullScreen" ...). Named
// `boolean` because `bool` is taken by the language.
std::optional<bool> boolean(Accessibility& accessibility, std::string_view attribute, const AXElement& element);

// A text attribute ("AXRole", "AXTitle" ...).
std::optional<std::string> string(Accessibility& accessibility, std::string_view attribute,
                                  const AXElement& element);

// The application's "AXWindows"; empty on any failure.
std::vector<AXElement> windows(Accessibility& accessibility, const AXElement& application);

}  // namespace AXHelpers

}  // namespace tessarapane
