#pragma once

#include <memory>

#include "platform/Screens.h"

namespace tessarapane::ui {

// The platform's screens, each with the scale Qt draws it at (Xft.dpi,
// QT_SCALE_FACTOR, QT_SCREEN_SCALE_FACTORS), which the X server does not
// know.
class ScaledScreens final : public Screens {
 public:
  explicit ScaledScreens(std::shared_ptr<Screens> screens);

  std::vector<Screen> screens() override;
  std::optional<Screen> mainScreen() override;
  Subscription subscribeScreenParametersChanged(std::function<void()> handler) override;

 private:
  Screen scaled(Screen screen) const;

  std::shared_ptr<Screens> screens_;
};

}  // namespace tessarapane::ui
