#pragma once

#include <memory>

#include "app/StatusItem.h"
#include "ui/services/ToolkitSpace.h"

namespace tessarapane::ui {

// The system tray as the status bar: items are tray icons, menus QMenus.
class QtStatusBar final : public StatusBar {
 public:
  explicit QtStatusBar(ToolkitSpace space = ToolkitSpace());

  std::shared_ptr<StatusItem> makeSquareItem() override;
  void removeItem(const std::shared_ptr<StatusItem>& item) override;
  std::shared_ptr<StatusMenu> makeMenu() override;

 private:
  ToolkitSpace space_;
};

}  // namespace tessarapane::ui
