#include "ui/services/ScaledScreens.h"

#include <utility>

#include "ui/services/ScreenScale.h"
#include "ui/services/ToolkitSpace.h"

namespace tessarapane::ui {

ScaledScreens::ScaledScreens(std::shared_ptr<Screens> screens) : screens_(std::move(screens)) {}

Screen ScaledScreens::scaled(Screen screen) const {
  const Rect pixels = ToolkitSpace(screens_).toPixels(screen.frame);
  screen.scale = ScreenScale::ratioAt(QPointF(pixels.midX(), pixels.midY()));
  return screen;
}

std::vector<Screen> ScaledScreens::screens() {
  std::vector<Screen> result = screens_->screens();
  for (Screen& screen : result) screen = scaled(screen);
  return result;
}

std::optional<Screen> ScaledScreens::mainScreen() {
  std::optional<Screen> main = screens_->mainScreen();
  if (main) main = scaled(*main);
  return main;
}

Subscription ScaledScreens::subscribeScreenParametersChanged(std::function<void()> handler) {
  return screens_->subscribeScreenParametersChanged(std::move(handler));
}

}  // namespace tessarapane::ui
