#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/StatusMenuEntry.h"
#include "chrome/LayoutKindIcon.h"
#include "geometry/Rect.h"
#include "platform/Screens.h"

namespace tessarapane {

// Receives what the user does with the status menu (the controller).
class StatusMenuDelegate {
 public:
  virtual ~StatusMenuDelegate() = default;

  // Just before the menu is shown: the entries' states are refreshed.
  virtual void menuWillOpen() = 0;
  // The entry at `index` of the entries last set was chosen.
  virtual void menuEntryChosen(std::size_t index) = 0;
};

// A menu of the status item (the toolkit side implements it).
class StatusMenu {
 public:
  virtual ~StatusMenu() = default;

  virtual void setDelegate(std::weak_ptr<StatusMenuDelegate> delegate) = 0;
  // Replaces every entry; also how refreshed states arrive.
  virtual void setEntries(const std::vector<StatusMenuEntry>& entries) = 0;
};

// The application's icon in the menu bar (the toolkit side implements it).
class StatusItem {
 public:
  virtual ~StatusItem() = default;

  virtual void setVisible(bool visible) = 0;
  // Shown, or waiting to be shown, by a tray that exists: without a tray
  // host the item counts as hidden.
  virtual bool isVisible() const = 0;
  virtual bool hasButton() const = 0;
  // Shows the image only, shrunk proportionally but never enlarged.
  virtual void setButtonImage(const LayoutKindIcon::Image& image) = 0;
  virtual bool buttonHasImage() const = 0;
  // The fallback when no image could be set: a text title, image before it.
  virtual void setButtonTitle(const std::string& title) = 0;
  // The tooltip and the accessibility label.
  virtual void setButtonToolTip(const std::string& text) = 0;
  virtual void setMenu(std::shared_ptr<StatusMenu> menu) = 0;
  // The frame of the button's window in toolkit space; none without a
  // button or a window.
  virtual std::optional<Rect> buttonWindowFrame() const = 0;
  // The screen of the button's window, when the toolkit knows it.
  virtual std::optional<Screen> buttonWindowScreen() const = 0;
};

// The system status bar (the toolkit side implements it).
class StatusBar {
 public:
  virtual ~StatusBar() = default;

  // A new item of square length.
  virtual std::shared_ptr<StatusItem> makeSquareItem() = 0;
  virtual void removeItem(const std::shared_ptr<StatusItem>& item) = 0;
  virtual std::shared_ptr<StatusMenu> makeMenu() = 0;
};

}  // namespace tessarapane
