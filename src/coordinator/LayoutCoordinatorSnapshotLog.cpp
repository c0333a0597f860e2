// One log line with the displays and every managed window, for diagnosing
// pauses and resumes.
#include <charconv>
#include <cmath>
#include <string>

#include "coordinator/LayoutCoordinator.h"

namespace tessarapane {

namespace {

// The shortest text that reads back as the same number ("1440", "10.5").
std::string numberText(double value) {
  if (value == 0.0) value = 0.0;  // no "-0"
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// "{{x, y}, {width, height}}", the platform's rectangle text.
std::string rectText(const Rect& rect) {
  return "{{" + numberText(rect.x()) + ", " + numberText(rect.y()) + "}, {" + numberText(rect.width()) + ", " +
         numberText(rect.height()) + "}}";
}

template <typename Items, typename Describe>
std::string joined(const Items& items, Describe&& describe) {
  std::string text;
  for (const auto& item : items) {
    if (!text.empty()) text += ' ';
    text += describe(item);
  }
  return text;
}

}  // namespace

void LayoutCoordinator::logLayoutSnapshot(std::string_view reason) {
  const std::string screens = joined(platform.screens->screens(), [](const Screen& screen) {
    return std::to_string(screen.displayID) + ":" + rectText(screen.frame);
  });
  const std::optional<WindowIDSet> onScreen = windowController.onScreenWindowIDs();
  const std::string windows = joined(managedWindows(), [&](const ManagedWindow& window) {
    const char* marker = !onScreen ? "?" : (onScreen->count(window.windowID) != 0 ? "on" : "off");
    const std::optional<Rect> frame = liveFrame(window);
    return std::to_string(window.windowID) + "[" + marker + "]" + (frame ? rectText(*frame) : std::string("nil"));
  });
  pauseLog.write(std::string(reason) + " screens=" + screens + " windows=" + windows);
}

}  // namespace tessarapane
