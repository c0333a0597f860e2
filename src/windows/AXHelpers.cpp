#include "windows/AXHelpers.h"

#include <utility>

namespace tessarapane::AXHelpers {

namespace {

// The value of the attribute when it reads without error as a T.
template <class T>
std::optional<T> read(Accessibility& accessibility, std::string_view attribute, const AXElement& element) {
  AXCopyResult result = accessibility.copyAttributeValue(element, attribute);
  if (result.error != AXError::success || !result.value) return std::nullopt;
  if (T* typed = std::get_if<T>(&*result.value)) return std::move(*typed);
  return std::nullopt;
}

}  // namespace

std::optional<Rect> frame(Accessibility& accessibility, const AXElement& element) {
  const auto position = read<Point>(accessibility, "AXPosition", element);
  if (!position) return std::nullopt;
  const auto size = read<Size>(accessibility, "AXSize", element);
  if (!size) return std::nullopt;
  return Rect(*position, *size);
}

std::optional<bool> boolean(Accessibility& accessibility, std::string_view attribute, const AXElement& element) {
  return read<bool>(accessibility, attribute, element);
}

std::optional<std::string> string(Accessibility& accessibility, std::string_view attribute,
                                  const AXElement& element) {
  return read<std::string>(accessibility, attribute, element);
}

std::vector<AXElement> windows(Accessibility& accessibility, const AXElement& application) {
  return read<std::vector<AXElement>>(accessibility, "AXWindows", application).value_or(std::vector<AXElement>{});
}

}  // namespace tessarapane::AXHelpers
