#include "ui/tray/QtStatusBar.h"

#include <utility>

#include "ui/tray/QtStatusItem.h"
#include "ui/tray/QtStatusMenu.h"

namespace tessarapane::ui {

QtStatusBar::QtStatusBar(ToolkitSpace space) : space_(std::move(space)) {}

std::shared_ptr<StatusItem> QtStatusBar::makeSquareItem() { return std::make_shared<QtStatusItem>(space_); }

void QtStatusBar::removeItem(const std::shared_ptr<StatusItem>& item) {
  // Out of the tray now; the object goes when its last holder lets go.
  if (item) item->setVisible(false);
}

std::shared_ptr<StatusMenu> QtStatusBar::makeMenu() { return std::make_shared<QtStatusMenu>(); }

}  // namespace tessarapane::ui
