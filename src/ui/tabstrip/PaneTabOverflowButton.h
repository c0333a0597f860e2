#pragma once

#include <QWidget>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "chrome/PaneTabPresentation.h"
#include "ui/overlay/ApplicationIcons.h"

class QMenu;
class QPushButton;

namespace tessarapane::ui {

// "+N" after the last visible tab: its menu lists the hidden tabs, and
// choosing one selects it.
class PaneTabOverflowButton final : public QWidget {
 public:
  using Entry = std::pair<int, PaneTabPresentation>;  // tab index and tab

  PaneTabOverflowButton(std::function<void(int tabIndex)> selectionHandler, std::shared_ptr<ApplicationIcons> icons,
                        QWidget* parent = nullptr);

  // Title "+" and the count, tooltip through the localizer.
  void updateEntries(std::vector<Entry> entries);
  const std::vector<Entry>& entries() const { return entries_; }

  QPushButton* button() const { return button_; }

  // The pop-up menu of the entries (title, icon, the tab index as data);
  // choosing an item calls the selection handler. Deleted when it closes.
  QMenu* makeMenu();
  // Pops the menu up just below the button.
  void showMenu();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  std::function<void(int)> selectionHandler_;
  std::shared_ptr<ApplicationIcons> icons_;
  QPushButton* button_ = nullptr;
  std::vector<Entry> entries_;
};

}  // namespace tessarapane::ui
