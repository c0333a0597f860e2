#pragma once

#include <QMenu>
#include <QPointer>

#include <memory>
#include <vector>

#include "app/StatusItem.h"
#include "app/StatusMenuEntry.h"

class QAction;

namespace tessarapane::ui {

class StatusMenuStyle;

// The status menu as a QMenu: section headers, separators, items with their
// pictures, check marks, enabled states and key equivalents. Just before it
// shows, the delegate refreshes the states; a chosen item is reported by its
// index in the entries.
class QtStatusMenu final : public StatusMenu {
 public:
  QtStatusMenu();
  ~QtStatusMenu() override;

  QtStatusMenu(const QtStatusMenu&) = delete;
  QtStatusMenu& operator=(const QtStatusMenu&) = delete;

  void setDelegate(std::weak_ptr<StatusMenuDelegate> delegate) override;
  void setEntries(const std::vector<StatusMenuEntry>& entries) override;

  QMenu* menu() const { return menu_; }
  // One action per entry, in entry order.
  const std::vector<QAction*>& actions() const { return actions_; }
  // How many times the actions were made anew (a refresh of states alone
  // keeps them).
  int rebuilds() const { return rebuilds_; }

 private:
  void rebuild(const std::vector<StatusMenuEntry>& entries);
  static void applyState(QAction& action, const StatusMenuEntry& entry);
  static bool sameShape(const std::vector<StatusMenuEntry>& a, const std::vector<StatusMenuEntry>& b);

  // Lets the menu's deferred deletion outlive this object safely.
  std::shared_ptr<QtStatusMenu*> self_;
  std::unique_ptr<StatusMenuStyle> style_;
  QPointer<QMenu> menu_;
  std::weak_ptr<StatusMenuDelegate> delegate_;
  std::vector<StatusMenuEntry> entries_;
  std::vector<QAction*> actions_;
  int rebuilds_ = 0;
};

}  // namespace tessarapane::ui
