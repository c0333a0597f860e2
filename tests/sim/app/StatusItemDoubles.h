#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/LayoutControl.h"
#include "app/StatusItem.h"
#include "app/StatusMenuEntry.h"

namespace tessarapane::testing_support {

// The coordinator's side of the menu: a settable running layout and a log of
// the commands received.
struct FakeLayoutControl final : LayoutControl {
  std::optional<LayoutKind> runningLayoutKind() const override { return runningKind; }
  std::optional<std::size_t> runningBentoTileCount() const override { return bentoTiles; }
  void startLayout(LayoutKind kind) override { commands.push_back("startLayout " + std::string(rawValue(kind))); }
  void startBento() override { commands.push_back("startBento"); }
  void exitLayout(bool keeping) override { commands.push_back(keeping ? "exitLayout keeping" : "exitLayout forgetting"); }

  std::optional<LayoutKind> runningKind;
  std::optional<std::size_t> bentoTiles;
  std::vector<std::string> commands;
};

struct RecordingStatusMenu final : StatusMenu {
  void setDelegate(std::weak_ptr<StatusMenuDelegate> newDelegate) override { delegate = std::move(newDelegate); }
  void setEntries(const std::vector<StatusMenuEntry>& newEntries) override { entries = newEntries; }

  // What the toolkit does when the user opens the menu and picks an entry.
  void open() {
    if (const auto live = delegate.lock()) live->menuWillOpen();
  }
  void choose(std::size_t index) {
    if (const auto live = delegate.lock()) live->menuEntryChosen(index);
  }
  // Opens the menu and chooses the entry with that title (the end when none).
  void choose(const std::string& title) {
    open();
    std::size_t index = 0;
    while (index < entries.size() && entries[index].title != title) ++index;
    choose(index);
  }

  std::weak_ptr<StatusMenuDelegate> delegate;
  std::vector<StatusMenuEntry> entries;
};

struct RecordingStatusItem final : StatusItem {
  void setVisible(bool value) override { visible = value; }
  bool isVisible() const override { return visible && *trayHost; }
  bool hasButton() const override { return button; }
  void setButtonImage(const LayoutKindIcon::Image& value) override {
    if (takesImages) image = value;
  }
  bool buttonHasImage() const override { return image.has_value(); }
  void setButtonTitle(const std::string& value) override { title = value; }
  void setButtonToolTip(const std::string& value) override { toolTip = value; }
  void setMenu(std::shared_ptr<StatusMenu> value) override { menu = std::dynamic_pointer_cast<RecordingStatusMenu>(value); }
  std::optional<Rect> buttonWindowFrame() const override { return button ? windowFrame : std::nullopt; }
  std::optional<Screen> buttonWindowScreen() const override { return screen; }

  bool visible = false;
  std::shared_ptr<bool> trayHost = std::make_shared<bool>(true);
  bool button = true;
  bool takesImages = true;
  std::optional<LayoutKindIcon::Image> image;
  std::optional<std::string> title;
  std::optional<std::string> toolTip;
  std::shared_ptr<RecordingStatusMenu> menu;
  // Where the menu bar put the item: by default its proper place at the
  // right of a 1440 x 900 screen with a 25-point menu bar.
  std::optional<Rect> windowFrame = Rect(1300, 875, 24, 25);
  std::optional<Screen> screen;
};

// Hands out items; `nextItemFrames` script where each new item lands.
struct RecordingStatusBar final : StatusBar {
  std::shared_ptr<StatusItem> makeSquareItem() override {
    auto item = std::make_shared<RecordingStatusItem>();
    item->button = itemsHaveButtons;
    item->takesImages = itemsTakeImages;
    item->trayHost = trayHost;
    if (made.size() < nextItemFrames.size()) item->windowFrame = nextItemFrames[made.size()];
    made.push_back(item);
    return item;
  }
  void removeItem(const std::shared_ptr<StatusItem>& item) override {
    removed.push_back(std::dynamic_pointer_cast<RecordingStatusItem>(item));
  }
  std::shared_ptr<StatusMenu> makeMenu() override { return std::make_shared<RecordingStatusMenu>(); }

  std::vector<std::optional<Rect>> nextItemFrames;
  // Whether the desktop has a tray to show the items.
  std::shared_ptr<bool> trayHost = std::make_shared<bool>(true);
  bool itemsHaveButtons = true;
  bool itemsTakeImages = true;
  std::vector<std::shared_ptr<RecordingStatusItem>> made;
  std::vector<std::shared_ptr<RecordingStatusItem>> removed;
};

}  // namespace tessarapane::testing_support
