#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "geometry/Point.h"
#include "geometry/Size.h"
#include "platform/AXElement.h"
#include "platform/AXError.h"

namespace tessarapane {

// The value of an accessibility attribute. Typed readers check the
// alternative, so a value of another type reads as absent: "AXPosition" is a
// Point, "AXSize" a Size, "AXRole"/"AXSubrole"/"AXTitle" strings,
// "AXMinimized"/"AXFullScreen"/"AXModal"/"AXEnabled" bools, "AXFocusedWindow"
// and the buttons elements, "AXWindows"/"AXSheets" element lists. Numbers
// stand for any numeric attribute the platform may report.
using AXAttributeValue = std::variant<bool, double, std::string, Point, Size, AXElement, std::vector<AXElement>>;

// What copying an attribute gives: the code, and the value when there is one.
// Callers treat a non-zero code or a missing value alike, as "absent"; the
// code alone tells a vanished element (-25202) from an unsupported attribute.
struct AXCopyResult {
  AXError error = AXError::success;
  std::optional<AXAttributeValue> value;
};

// Whether an attribute may be written; `settable` means nothing unless
// `error` is success.
struct AXSettableResult {
  AXError error = AXError::success;
  bool settable = false;
};

}  // namespace tessarapane
