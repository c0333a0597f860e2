#pragma once

#include <QPointer>
#include <QSystemTrayIcon>

#include <memory>
#include <optional>
#include <string>

#include "app/StatusItem.h"
#include "ui/services/ToolkitSpace.h"

namespace tessarapane::ui {

// The tray icon standing in for the menu-bar item. Its window frame is the
// tray's geometry when a system tray embeds it; desktops whose tray reports
// no geometry (or that have no tray) give none, so the icon never counts as
// parked there.
class QtStatusItem final : public StatusItem {
 public:
  explicit QtStatusItem(ToolkitSpace space);
  ~QtStatusItem() override;

  QtStatusItem(const QtStatusItem&) = delete;
  QtStatusItem& operator=(const QtStatusItem&) = delete;

  void setVisible(bool visible) override;
  bool isVisible() const override;
  bool hasButton() const override;
  void setButtonImage(const LayoutKindIcon::Image& image) override;
  bool buttonHasImage() const override;
  void setButtonTitle(const std::string& title) override;
  void setButtonToolTip(const std::string& text) override;
  void setMenu(std::shared_ptr<StatusMenu> menu) override;
  std::optional<Rect> buttonWindowFrame() const override;
  std::optional<Screen> buttonWindowScreen() const override;

  QSystemTrayIcon* trayIcon() const { return tray_; }
  const std::shared_ptr<StatusMenu>& menu() const { return menu_; }

 private:
  void showWhenDrawable();

  ToolkitSpace space_;
  QPointer<QSystemTrayIcon> tray_;
  std::shared_ptr<StatusMenu> menu_;
  bool hasImage_ = false;
  bool wantsVisible_ = false;
};

}  // namespace tessarapane::ui
