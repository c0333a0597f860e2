#include "ui/tray/QtStatusMenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include <utility>

#include "ui/services/QtConversions.h"
#include "ui/tray/LayoutKindIconEngine.h"
#include "ui/tray/StatusMenuStyle.h"

namespace tessarapane::ui {

namespace {

constexpr int kSectionHeaderFontSize = 11;

// The key equivalent with the default Command modifier, which Linux
// desktops spell Control (Ctrl+Q quits, as everywhere else here).
QKeySequence keySequence(const std::string& keyEquivalent) {
  if (keyEquivalent.empty()) return {};
  return QKeySequence(QStringLiteral("Ctrl+") + toQString(keyEquivalent).toUpper());
}

}  // namespace

QtStatusMenu::QtStatusMenu()
    : self_(std::make_shared<QtStatusMenu*>(this)), style_(std::make_unique<StatusMenuStyle>()), menu_(new QMenu) {
  menu_->setStyle(style_.get());
  // The popup's name for window lists and rules; never shown.
  menu_->setWindowTitle(QStringLiteral("Tessarapane menu"));
  QObject::connect(menu_, &QMenu::aboutToShow, menu_, [self = std::weak_ptr<QtStatusMenu*>(self_)] {
    const auto live = self.lock();
    if (!live) return;
    if (const auto delegate = (*live)->delegate_.lock()) delegate->menuWillOpen();
  });
}

QtStatusMenu::~QtStatusMenu() {
  // The menu may be the one whose signal is running now.
  if (menu_) {
    menu_->hide();
    menu_->setStyle(nullptr);
    menu_->deleteLater();
  }
}

void QtStatusMenu::setDelegate(std::weak_ptr<StatusMenuDelegate> delegate) { delegate_ = std::move(delegate); }

bool QtStatusMenu::sameShape(const std::vector<StatusMenuEntry>& a, const std::vector<StatusMenuEntry>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t index = 0; index < a.size(); ++index) {
    if (a[index].kind != b[index].kind || a[index].title != b[index].title ||
        a[index].keyEquivalent != b[index].keyEquivalent || a[index].image != b[index].image) {
      return false;
    }
  }
  return true;
}

void QtStatusMenu::applyState(QAction& action, const StatusMenuEntry& entry) {
  if (entry.kind == StatusMenuEntry::Kind::item) {
    action.setCheckable(true);
    action.setChecked(entry.isOn);
  }
  action.setEnabled(entry.kind == StatusMenuEntry::Kind::item && entry.isEnabled);
}

void QtStatusMenu::setEntries(const std::vector<StatusMenuEntry>& entries) {
  if (!menu_) return;
  if (!sameShape(entries, entries_)) {
    rebuild(entries);
  } else {
    // Refreshed states only: the open menu keeps its actions.
    for (std::size_t index = 0; index < entries.size(); ++index) applyState(*actions_[index], entries[index]);
  }
  entries_ = entries;
}

void QtStatusMenu::rebuild(const std::vector<StatusMenuEntry>& entries) {
  ++rebuilds_;
  menu_->clear();
  actions_.clear();
  for (std::size_t index = 0; index < entries.size(); ++index) {
    const StatusMenuEntry& entry = entries[index];
    QAction* action = nullptr;
    switch (entry.kind) {
      case StatusMenuEntry::Kind::separator:
        action = menu_->addSeparator();
        break;
      case StatusMenuEntry::Kind::sectionHeader: {
        action = menu_->addAction(toQString(entry.title));
        QFont font = menu_->font();
        font.setPixelSize(kSectionHeaderFontSize);
        font.setBold(true);
        action->setFont(font);
        action->setProperty(StatusMenuStyle::kSectionHeaderProperty, true);
        break;
      }
      case StatusMenuEntry::Kind::item: {
        action = menu_->addAction(toQString(entry.title));
        if (entry.image) action->setIcon(iconFor(*entry.image));
        if (entry.representedObject) action->setData(toQString(*entry.representedObject));
        if (const QKeySequence keys = keySequence(entry.keyEquivalent); !keys.isEmpty()) {
          action->setShortcut(keys);
          action->setShortcutVisibleInContextMenu(true);
        }
        QObject::connect(action, &QAction::triggered, menu_, [self = std::weak_ptr<QtStatusMenu*>(self_), index] {
          const auto live = self.lock();
          if (!live) return;
          if (const auto delegate = (*live)->delegate_.lock()) delegate->menuEntryChosen(index);
        });
        break;
      }
    }
    applyState(*action, entry);
    actions_.push_back(action);
  }
}

}  // namespace tessarapane::ui
